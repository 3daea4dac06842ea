// Writers for the skin's file formats: Windows DIBs (24-bit and 4-bit), raw sprites, cursors, icons.
// Every writer produces the same bytes for the same pixels, so the generator is reproducible.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace skingen {

// One straight (not premultiplied) RGBA pixel; a = 255 is opaque.
struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// A picture in memory, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
    Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// 24-bit uncompressed DIB; alpha is ignored.
bool writeBmp24(const std::string& path, const Picture& pic);

// 4-bit uncompressed DIB with the given palette (at most 16 entries, padded to 16). Each pixel is
// mapped to the nearest palette entry; the caller chooses the palette so that this is exact.
bool writeBmp4(const std::string& path, const Picture& pic, const std::vector<Rgb>& palette);

// Raw sprite: width*height*4 bytes, red, green, blue, transparency (255 - alpha), top row first.
bool writeSprite(const std::string& path, const Picture& pic);

// Monochrome cursor (.cur) of one image. Pixels: alpha < 128 transparent, otherwise black or white
// by brightness.
bool writeCursor(const std::string& path, const Picture& pic, int hotX, int hotY);

// Icon file with, per picture, a 32-bit image with alpha and a 4-bit image in the standard
// 16-colour palette (for displays without alpha), both with their AND masks.
bool writeIcon(const std::string& path, const std::vector<Picture>& sizes);

// Nearest palette entry by squared RGB distance.
int nearestIndex(const std::vector<Rgb>& palette, Rgb c);

// Reads back the formats written above (for the preview tool and checks).
bool readBmp(const std::string& path, Picture& out);
bool readSprite(const std::string& path, int w, int h, Picture& out);

}  // namespace skingen
