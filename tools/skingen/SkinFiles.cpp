#include "SkinFiles.h"

#include <algorithm>
#include <cstdio>

#include "WholeFile.h"

namespace skingen {
namespace {

class Bytes {
public:
    void u8(unsigned v) { data.push_back(static_cast<uint8_t>(v)); }
    void u16(unsigned v)
    {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void pad4()
    {
        while (data.size() % 4)
            u8(0);
    }
    size_t size() const { return data.size(); }
    void put32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    std::vector<uint8_t> data;
};

bool save(const std::string& path, const std::vector<uint8_t>& data)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "skingen: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok)
        std::fprintf(stderr, "skingen: write failed: %s\n", path.c_str());
    return ok;
}

void infoHeader(Bytes& b, int w, int h, int bits, uint32_t imageSize, uint32_t colours, bool inIcon = false)
{
    b.u32(40);
    b.i32(w);
    b.i32(h);
    b.u16(1);
    b.u16(bits);
    b.u32(0);  // BI_RGB
    b.u32(imageSize);
    // Icon and cursor images leave the resolution 0; a bitmap says 72 dpi.
    b.i32(inIcon ? 0 : 2835);
    b.i32(inIcon ? 0 : 2835);
    b.u32(colours);
    b.u32(0);
}

int stride(int w, int bits) { return ((w * bits + 31) / 32) * 4; }

Rgb rgbOf(const Rgba& p) { return Rgb{p.r, p.g, p.b}; }

// The standard 16-colour palette, in the usual order.
const std::vector<Rgb>& vgaPalette()
{
    static const std::vector<Rgb> p = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                       {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                       {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                       {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    return p;
}

// For the 16-colour fallback images: greyish colours map onto the four greys, so that a slate or
// silver surface does not turn teal or navy.
int vgaIndex(Rgb c)
{
    int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
    if (hi - lo < 48) {
        static const std::vector<Rgb> greys = {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
        static const int index[4] = {0, 8, 7, 15};
        return index[nearestIndex(greys, c)];
    }
    return nearestIndex(vgaPalette(), c);
}

// Pixel rows of a 4-bit image, bottom row first, each padded to 4 bytes. Icon images use the
// standard palette with masked pixels black.
void fourBitRows(Bytes& b, const Picture& pic, const std::vector<Rgb>& palette, bool iconImage)
{
    int s = stride(pic.width, 4);
    for (int y = pic.height - 1; y >= 0; --y) {
        size_t start = b.size();
        for (int x = 0; x < pic.width; x += 2) {
            unsigned hi = 0, lo = 0;
            const Rgba& p0 = pic.at(x, y);
            auto index = [&](const Rgba& p) -> unsigned {
                if (iconImage && p.a < 128)
                    return 0;
                return iconImage ? vgaIndex(rgbOf(p)) : nearestIndex(palette, rgbOf(p));
            };
            hi = index(p0);
            if (x + 1 < pic.width) {
                const Rgba& p1 = pic.at(x + 1, y);
                lo = index(p1);
            }
            b.u8((hi << 4) | lo);
        }
        while (b.size() - start < static_cast<size_t>(s))
            b.u8(0);
    }
}

// AND mask rows, bottom row first: 1 = transparent.
void maskRows(Bytes& b, const Picture& pic)
{
    int s = stride(pic.width, 1);
    for (int y = pic.height - 1; y >= 0; --y) {
        size_t start = b.size();
        for (int x = 0; x < pic.width; x += 8) {
            unsigned v = 0;
            for (int i = 0; i < 8; ++i) {
                bool clear = (x + i >= pic.width) || pic.at(x + i, y).a < 128;
                if (clear)
                    v |= 0x80u >> i;
            }
            b.u8(v);
        }
        while (b.size() - start < static_cast<size_t>(s))
            b.u8(0);
    }
}

}  // namespace

int nearestIndex(const std::vector<Rgb>& palette, Rgb c)
{
    int best = 0;
    long bestD = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long dr = long(palette[i].r) - c.r, dg = long(palette[i].g) - c.g, db = long(palette[i].b) - c.b;
        long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) {
            bestD = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

bool writeBmp24(const std::string& path, const Picture& pic)
{
    int s = stride(pic.width, 24);
    uint32_t imageSize = static_cast<uint32_t>(s) * pic.height;
    Bytes b;
    b.u16(0x4D42);
    b.u32(14 + 40 + imageSize);
    b.u32(0);
    b.u32(14 + 40);
    infoHeader(b, pic.width, pic.height, 24, imageSize, 0);
    for (int y = pic.height - 1; y >= 0; --y) {
        size_t start = b.size();
        for (int x = 0; x < pic.width; ++x) {
            const Rgba& p = pic.at(x, y);
            b.u8(p.b);
            b.u8(p.g);
            b.u8(p.r);
        }
        while (b.size() - start < static_cast<size_t>(s))
            b.u8(0);
    }
    return save(path, b.data);
}

bool writeBmp4(const std::string& path, const Picture& pic, const std::vector<Rgb>& palette)
{
    std::vector<Rgb> pal = palette;
    pal.resize(16, Rgb{0, 0, 0});
    int s = stride(pic.width, 4);
    uint32_t imageSize = static_cast<uint32_t>(s) * pic.height;
    Bytes b;
    b.u16(0x4D42);
    b.u32(14 + 40 + 64 + imageSize);
    b.u32(0);
    b.u32(14 + 40 + 64);
    infoHeader(b, pic.width, pic.height, 4, imageSize, 16);
    for (const Rgb& c : pal) {
        b.u8(c.b);
        b.u8(c.g);
        b.u8(c.r);
        b.u8(0);
    }
    // Map only onto the caller's entries, not onto the padding.
    fourBitRows(b, pic, palette, false);
    return save(path, b.data);
}

bool writeSprite(const std::string& path, const Picture& pic)
{
    Bytes b;
    for (const Rgba& p : pic.pixels) {
        b.u8(p.r);
        b.u8(p.g);
        b.u8(p.b);
        b.u8(255 - p.a);
    }
    return save(path, b.data);
}

bool writeCursor(const std::string& path, const Picture& pic, int hotX, int hotY)
{
    // Image: header (height doubled for XOR + AND), 2-entry palette, XOR rows, AND rows.
    Bytes img;
    int xs = stride(pic.width, 1);
    uint32_t bits = static_cast<uint32_t>(xs) * pic.height;
    infoHeader(img, pic.width, pic.height * 2, 1, bits * 2, 2, true);
    img.u32(0x000000);
    img.u32(0xFFFFFF);
    for (int y = pic.height - 1; y >= 0; --y) {
        size_t start = img.size();
        for (int x = 0; x < pic.width; x += 8) {
            unsigned v = 0;
            for (int i = 0; i < 8 && x + i < pic.width; ++i) {
                const Rgba& p = pic.at(x + i, y);
                bool white = p.a >= 128 && (p.r + p.g + p.b) >= 384;
                if (white)
                    v |= 0x80u >> i;
            }
            img.u8(v);
        }
        while (img.size() - start < static_cast<size_t>(xs))
            img.u8(0);
    }
    maskRows(img, pic);

    Bytes b;
    b.u16(0);
    b.u16(2);  // cursor
    b.u16(1);
    b.u8(pic.width & 0xFF);
    b.u8(pic.height & 0xFF);
    b.u8(0);
    b.u8(0);
    b.u16(hotX);
    b.u16(hotY);
    b.u32(static_cast<uint32_t>(img.size()));
    b.u32(6 + 16);
    b.data.insert(b.data.end(), img.data.begin(), img.data.end());
    return save(path, b.data);
}

bool writeIcon(const std::string& path, const std::vector<Picture>& sizes)
{
    std::vector<Bytes> images;
    std::vector<int> depth;
    for (int pass = 0; pass < 2; ++pass) {
        for (const Picture& pic : sizes) {
            Bytes img;
            if (pass == 0) {
                uint32_t bits = static_cast<uint32_t>(pic.width) * 4 * pic.height;
                infoHeader(img, pic.width, pic.height * 2, 32, bits + stride(pic.width, 1) * pic.height, 0, true);
                for (int y = pic.height - 1; y >= 0; --y)
                    for (int x = 0; x < pic.width; ++x) {
                        const Rgba& p = pic.at(x, y);
                        img.u8(p.b);
                        img.u8(p.g);
                        img.u8(p.r);
                        img.u8(p.a);
                    }
                depth.push_back(32);
            } else {
                uint32_t bits = static_cast<uint32_t>(stride(pic.width, 4)) * pic.height;
                infoHeader(img, pic.width, pic.height * 2, 4, bits + stride(pic.width, 1) * pic.height, 16, true);
                for (const Rgb& c : vgaPalette()) {
                    img.u8(c.b);
                    img.u8(c.g);
                    img.u8(c.r);
                    img.u8(0);
                }
                fourBitRows(img, pic, vgaPalette(), true);
                depth.push_back(4);
            }
            maskRows(img, pic);
            images.push_back(img);
        }
    }
    size_t n = images.size();
    Bytes b;
    b.u16(0);
    b.u16(1);  // icon
    b.u16(static_cast<unsigned>(n));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * n);
    for (size_t i = 0; i < n; ++i) {
        const Picture& pic = sizes[i % sizes.size()];
        b.u8(pic.width & 0xFF);
        b.u8(pic.height & 0xFF);
        b.u8(depth[i] == 4 ? 16 : 0);
        b.u8(0);
        b.u16(1);
        b.u16(depth[i]);
        b.u32(static_cast<uint32_t>(images[i].size()));
        b.u32(offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const Bytes& img : images)
        b.data.insert(b.data.end(), img.data.begin(), img.data.end());
    return save(path, b.data);
}

namespace {

bool load(const std::string& path, std::vector<uint8_t>& data) { return qv::readWholeFile(path, data); }

uint32_t le(const std::vector<uint8_t>& d, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | d[at + i];
    return v;
}

}  // namespace

bool readBmp(const std::string& path, Picture& out)
{
    std::vector<uint8_t> d;
    if (!load(path, d) || d.size() < 54 || d[0] != 'B' || d[1] != 'M')
        return false;
    uint32_t off = le(d, 10, 4);
    int w = static_cast<int>(le(d, 18, 4));
    int h = static_cast<int>(le(d, 22, 4));
    int bits = static_cast<int>(le(d, 28, 2));
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096 || le(d, 30, 4) != 0)
        return false;
    if (bits != 24 && bits != 4)
        return false;
    int s = stride(w, bits);
    if (off + static_cast<size_t>(s) * h > d.size())
        return false;
    out = Picture(w, h);
    for (int y = 0; y < h; ++y) {
        size_t row = off + static_cast<size_t>(h - 1 - y) * s;
        for (int x = 0; x < w; ++x) {
            Rgba& p = out.at(x, y);
            p.a = 255;
            if (bits == 24) {
                p.b = d[row + 3 * x];
                p.g = d[row + 3 * x + 1];
                p.r = d[row + 3 * x + 2];
            } else {
                unsigned v = d[row + x / 2];
                unsigned i = (x % 2) ? (v & 15) : (v >> 4);
                size_t pal = 14 + 40 + 4 * i;
                p.b = d[pal];
                p.g = d[pal + 1];
                p.r = d[pal + 2];
            }
        }
    }
    return true;
}

bool readSprite(const std::string& path, int w, int h, Picture& out)
{
    std::vector<uint8_t> d;
    if (!load(path, d) || d.size() != static_cast<size_t>(w) * h * 4)
        return false;
    out = Picture(w, h);
    for (size_t i = 0; i < out.pixels.size(); ++i)
        out.pixels[i] = Rgba{d[4 * i], d[4 * i + 1], d[4 * i + 2], static_cast<uint8_t>(255 - d[4 * i + 3])};
    return true;
}

}  // namespace skingen
