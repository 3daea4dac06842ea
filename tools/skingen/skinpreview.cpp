// skinpreview: puts the generated skin together the way the editor shows it, for looking at.
//
//     build/host/bin/skinpreview resources/skin OUT-DIR
// writes OUT-DIR/editor.png (the background with every control face at its place, a few in their
// pressed, checked, focused and disabled looks, the graph with a curve and handles, lit meters) and
// OUT-DIR/sheet.png (every image enlarged four times). Blending follows the controls' rules
// (transparency weights, tint, fade), so what is seen here is what the controls draw.
#include "Art.h"
#include "Canvas.h"
#include "Layout.h"
#include "SkinFiles.h"
#include "ValueMath.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

using namespace skingen;

namespace {

std::string gDir;

Picture bmp(const char* name)
{
    Picture p;
    if (!readBmp(gDir + "/" + name, p))
        std::fprintf(stderr, "skinpreview: cannot read %s\n", name);
    return p;
}

Picture sprite(const char* name, int w, int h)
{
    Picture p;
    if (!readSprite(gDir + "/" + name, w, h, p)) {
        std::fprintf(stderr, "skinpreview: bad sprite %s\n", name);
        p = Picture(w, h);
    }
    return p;
}

// The controls' sprite blend: transparency t from the sprite (and fade), weight t + 1, tint inside
// the border.
void blend(Picture& dst, int x0, int y0, const Picture& spr, int fade = 255, uint32_t tint = 0, int border = 1,
           int srcY = 0, int rows = -1)
{
    if (rows < 0)
        rows = spr.height;
    for (int r = 0; r < rows; ++r) {
        int y = y0 + r;
        for (int cI = 0; cI < spr.width; ++cI) {
            int x = x0 + cI;
            if (x < 0 || y < 0 || x >= dst.width || y >= dst.height)
                continue;
            const Rgba& s = spr.at(cI, srcY + r);
            int T = 255 - s.a;
            int t = fade == 255 ? T : fade + (255 - fade) * T / 255;
            int wgt = t > 0 ? t + 1 : 0;
            int sr = s.r, sg = s.g, sb = s.b;
            bool inner =
                border == 0 || (border == 1 ? (cI >= 2 && cI <= spr.width - 2 && r >= 2 && r <= spr.height - 2)
                                            : (cI >= 1 && cI <= spr.width - 3 && r >= 1 && r <= spr.height - 3));
            if (tint && inner) {
                int div = tint >> 24;
                sr = std::min(255u, sr * (tint & 255) / div);
                sg = std::min(255u, sg * ((tint >> 8) & 255) / div);
                sb = std::min(255u, sb * ((tint >> 16) & 255) / div);
            }
            Rgba& d = dst.at(x, y);
            d.r = static_cast<uint8_t>(sr + (((d.r - sr) * wgt) >> 8));
            d.g = static_cast<uint8_t>(sg + (((d.g - sg) * wgt) >> 8));
            d.b = static_cast<uint8_t>(sb + (((d.b - sb) * wgt) >> 8));
        }
    }
}

void keyed(Picture& dst, int x0, int y0, const Picture& src, int sx, int sy, int w, int h, Rgb key)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgba& s = src.at(sx + x, sy + y);
            if (s.r == key.r && s.g == key.g && s.b == key.b)
                continue;
            if (x0 + x < dst.width && y0 + y < dst.height)
                dst.at(x0 + x, y0 + y) = Rgba{s.r, s.g, s.b, 255};
        }
}

// Runs cairo drawing over a picture.
void draw(Picture& pic, const std::function<void(Canvas&)>& f)
{
    Canvas c(pic.width, pic.height);
    c.paste(pic, 0, 0);
    f(c);
    pic = c.picture();
}

void line(Canvas& c, double x0, double y0, double x1, double y1, unsigned bgr)
{
    unsigned rgb = ((bgr & 255) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 255);
    c.fillRect(std::min(x0, x1), std::min(y0, y1), std::max(1.0, std::fabs(x1 - x0)), std::max(1.0, std::fabs(y1 - y0)),
               hex(rgb));
}

struct Button {
    Rect r;
    const char* face;
    const char* text;
    bool pressed = false, checked = false, disabled = false, focus = false, arrow = false;
    int icon = -1;
};

const double kGuiFont = 11.0;  // close to the system's default GUI font

void drawButton(Picture& pic, const Button& b)
{
    std::string n = std::string(b.face) + (b.pressed ? "_down.raw" : ".raw");
    Picture spr = sprite(n.c_str(), b.r.w, b.r.h);
    blend(pic, b.r.x, b.r.y, spr, b.disabled ? 160 : 255, b.checked ? 0xEB78F8FFu : 0, 1);
    int off = b.pressed ? 1 : 0;
    if (b.icon >= 0) {
        const char* names[5] = {"type_peak.bmp", "type_lowshelf.bmp", "type_highshelf.bmp", "type_lowpass.bmp",
                                "type_highpass.bmp"};
        Picture ic = bmp(names[b.icon]);
        int iw = b.r.w - 4;
        int x = 2 + (iw - ic.width + 1) / 2;
        keyed(pic, b.r.x + x + off, b.r.y + 3 + off, ic, 0, 0, std::min(ic.width, iw), 15, Rgb{192, 192, 192});
    }
    draw(pic, [&](Canvas& c) {
        double inL = b.r.x + 2 + off, inT = b.r.y + 2 + off, inR = b.r.right() - 2 + off, inB = b.r.bottom() - 2 + off;
        if (b.text && *b.text) {
            Colour col = b.disabled ? hex(0x808080) : hex(0x404040);
            double cy = (inT + 1 + inB) / 2.0 + 4;
            if (b.arrow)
                c.text(b.text, inL + 3, cy, kGuiFont, col, 0.0);
            else
                c.text(b.text, (inL + inR) / 2.0, cy, kGuiFont, col, 0.5);
        }
        if (b.arrow) {
            double R = inR, T = inT + 1;
            for (int i = 0; i < 4; ++i)
                c.fillRect(R - 10 + i, T + 5 + i, 7 - 2 * i, 1, hex(0x404040));
        }
        if (b.focus) {
            cairo_set_line_width(c.cr(), 1);
            cairo_rectangle(c.cr(), inL - off + 1.5, inT - off + 1.5, inR - inL - 3, inB - inT - 3);
            c.set(hex(0x909090));
            cairo_stroke(c.cr());
        }
    });
}

void drawEdit(Picture& pic, Rect r, const char* text, bool disabled = false, bool focus = false)
{
    blend(pic, r.x, r.y, sprite("edit.raw", 40, 21), disabled ? 160 : 255);
    draw(pic, [&](Canvas& c) {
        if (focus) {
            c.fillRect(r.x + 2, r.y + 2, 36, 1, hex(0xE10000));
            c.fillRect(r.x + 2, r.y + 2, 1, 16, hex(0xE10000));
            c.fillRect(r.x + 2, r.y + 18, 36, 1, hex(0xC80000));
            c.fillRect(r.x + 37, r.y + 2, 1, 17, hex(0xC80000));
        }
        double right = r.right() - 5, base = r.y + 15;
        c.text(text, right + 1, base + 1, kGuiFont, hex(0xC5C7CB), 1.0);
        c.text(text, right, base, kGuiFont, disabled ? hex(0x909090) : hex(0x404145), 1.0);
    });
}

void drawSlider(Picture& pic, Rect r, int value, int min, int max, bool focus = false, bool disabled = false)
{
    draw(pic, [&](Canvas& c) {
        unsigned groove = disabled ? 0xA0A0A0 : 0x202020;
        line(c, r.x + 4, r.y + 6, r.x + r.w - 4, r.y + 6, groove);
        line(c, r.x + 4, r.y + 7, r.x + r.w - 4, r.y + 7, groove);
        for (int v = min;;) {
            bool major = v == min || v == 0 || v == max;
            int x = r.x + sliderTickX(v, min, max);
            line(c, x, r.bottom() - (major ? 10 : 8), x, r.bottom() - 4, major ? 0x505050 : 0x888888);
            if (v == max)
                break;
            v += 20;
            if (v > max)
                v = max;
        }
    });
    int off = ((value - min) * kSliderTravel + (max - min) / 2) / (max - min);
    blend(pic, r.x + off, r.y, sprite("thumb.raw", qv::kSliderThumbLength, qv::kSliderThumbThickness), disabled ? 192 : 255, focus ? 0xEB78F8FFu : 0, 0);
}

void drawMeter(Picture& pic, Rect r, int level, int peak)
{
    Picture bg = sprite("meter.raw", 12, 144), lit = sprite("meter_lit.raw", 12, 144);
    blend(pic, r.x, r.y, bg);
    int row = meterRow(level);
    if (row < 142)
        blend(pic, r.x, r.y + row, lit, 255, 0, 1, row, 142 - row);
    int prow = meterRow(peak);
    if (prow < 142)
        blend(pic, r.x, r.y + prow, lit, 255, 0, 1, prow, 2);
}

// A peak filter's response in dB, for the preview curve only.
double bell(double f, double f0, double gain, double q)
{
    double x = std::log2(f / f0) * q * 1.6;
    return gain * std::exp(-x * x);
}

void drawGraph(Picture& pic)
{
    Picture g = bmp("graph.bmp");
    const int W = 469, T = 2, B = 138, Hc = (T + B) / 2, Hh = (B - T) / 2, R = 20, S = 6;
    const double L = std::log10(22050.0 / 16.0);
    auto xf = [&](double f) { return static_cast<int>(std::log10(f / 16.0) * W / L); };
    auto yg = [&](double db) { return Hc - static_cast<int>(Hh * db / R); };
    struct Band {
        double f, gain, q;
        bool on, sel;
    };
    const Band bands[6] = {{60, 4.5, 0.8, true, false}, {180, -3, 1.2, true, false}, {700, 0, 1, false, false},
                           {2500, 6, 1.5, true, true},  {6000, -2, 1, true, true},   {14000, 3, 0.7, true, false}};
    draw(g, [&](Canvas& c) {
        cairo_rectangle(c.cr(), 2, 2, W - 2, B - 2);
        cairo_clip(c.cr());
        for (int G = -18; G <= 18; G += S) {
            int y = Hc - (G * Hh) / R;
            line(c, 2, y, W, y, G == 0 ? 0x5E4839 : 0x95754B);
            char t[8];
            std::snprintf(t, sizeof t, "%d", G);
            c.text(t, 10, y + 4, 10, hex(0x253A49), 0.5, false, true);
        }
        for (double f = 31.25; f < 44100; f *= 2) {
            line(c, xf(f), T, xf(f), B, 0x95754B);
            char t[8];
            if (f >= 1000)
                std::snprintf(t, sizeof t, "%dk", static_cast<int>(f * 0.001));
            else
                std::snprintf(t, sizeof t, "%d", static_cast<int>(f));
            c.text(t, xf(f), B - 2, 10, hex(0x253A49), 0.5, false, true);
        }
        cairo_set_line_width(c.cr(), 1.0);
        for (int k = 0; k < W - 2; ++k) {
            double f = 16.0 * std::pow(10.0, (k + 2) * L / W);
            double db = 0;
            for (const Band& b : bands)
                if (b.on)
                    db += bell(f, b.f, b.gain, b.q);
            if (k == 0)
                cairo_move_to(c.cr(), 2 + k + 0.5, yg(db) + 0.5);
            else
                cairo_line_to(c.cr(), 2 + k + 0.5, yg(db) + 0.5);
        }
        c.set(hex(0xFFFFFF));
        cairo_stroke(c.cr());
        // A rubber band in progress, as a plain dotted frame.
        cairo_set_dash(c.cr(), std::vector<double>{2, 2}.data(), 2, 0);
        cairo_rectangle(c.cr(), 330.5, 20.5, 110, 70);
        c.set(hex(0x000000, 0.7));
        cairo_stroke(c.cr());
    });
    Picture handles = bmp("handles.bmp");
    for (int pass = 0; pass < 2; ++pass)
        for (int n = 0; n < 6; ++n) {
            const Band& b = bands[n];
            if (b.on != (pass == 1))
                continue;
            int row = 10 * ((b.sel ? 1 : 0) + (b.on ? 2 : 0));
            keyed(g, xf(b.f) - 1, yg(b.gain) - 4, handles, n * 10, row, 9, 9, Rgb{255, 0, 255});
        }
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            pic.at(kGraph.x + x, kGraph.y + y) = g.at(x, y);
}

void editor(const std::string& out)
{
    Picture pic = bmp("background.bmp");
    drawGraph(pic);
    drawButton(pic, {kBypass, "button", "Bypass", false, true});
    drawButton(pic, {kUndo, "button", "Undo", true});
    drawButton(pic, {kSetup, "setup", "Setup A"});
    drawButton(pic, {kSetupArrow, "arrow", "", false, false, false, false, true});
    drawButton(pic, {kReset, "button", "Reset"});
    drawButton(pic, {kPresets, "button", "Presets", false, false, false, true, true});
    drawButton(pic, {kHelp, "button", "Help"});
    const char* freqs[6] = {"60", "180", "700", "2500", "6000", "14000"};
    const char* qs[6] = {"0.8", "1.2", "1.0", "1.5", "1.0", "0.7"};
    const char* gains[6] = {"4.5", "-3.0", "0.0", "6.0", "-2.0", "3.0"};
    const int gainv[6] = {45, -30, 0, 60, -20, 30};
    const int types[6] = {1, 0, 4, 0, 3, 2};
    for (int b = 1; b <= 6; ++b) {
        bool off = b == 3;
        char num[2] = {static_cast<char>('0' + b), 0};
        drawButton(pic, {bandNumber(b), "band", num, b == 2, !off});
        Button t{bandType(b), "type", nullptr, b == 5, false, off};
        t.icon = types[b - 1];
        drawButton(pic, t);
        drawButton(pic, {bandArrow(b), "arrow", "", false, false, off, false, true});
        drawEdit(pic, bandFreq(b), freqs[b - 1], off, b == 4);
        drawEdit(pic, bandQ(b), qs[b - 1], off);
        drawEdit(pic, bandGain(b), gains[b - 1], off);
        drawSlider(pic, bandSlider(b), gainv[b - 1], -180, 180, b == 1, off);
    }
    drawButton(pic, {kFlat, "flat", "Flat"});
    drawEdit(pic, kOutGain, "-1.5");
    drawSlider(pic, kOutSlider, -15, -240, 240);
    drawMeter(pic, kMeterL, -62, -20);
    drawMeter(pic, kMeterR, -185, -95);
    Picture clipOn = bmp("clip_active.bmp"), clipOff = bmp("clip_off.bmp");
    keyed(pic, kClipL.x, kClipL.y, clipOn, 0, 0, 12, 9, Rgb{1, 2, 3});
    keyed(pic, kClipR.x, kClipR.y, clipOff, 0, 0, 12, 9, Rgb{1, 2, 3});
    draw(pic, [&](Canvas& c) {
        c.text("-2.0      -9.5", kReadout.x + kReadout.w / 2.0, kReadout.bottom() - 1, 9, hex(0x000000), 0.5);
    });
    Canvas c(pic.width * 2, pic.height * 2);
    c.paste(pic, 0, 0, 2);
    c.savePng((out + "/editor-2x.png").c_str());
    Canvas one(pic.width, pic.height);
    one.paste(pic, 0, 0);
    one.savePng((out + "/editor.png").c_str());
}

void sheet(const std::string& out)
{
    const int S = 4;
    Canvas c(1100, 1000);
    c.fillRect(0, 0, 1100, 1000, hex(0x9AA3AD));
    int x = 10, y = 10, rowH = 0;
    auto put = [&](const Picture& p) {
        if (x + p.width * S > 1090) {
            x = 10;
            y += rowH + 10;
            rowH = 0;
        }
        c.paste(p, x, y, S);
        x += p.width * S + 10;
        rowH = std::max(rowH, p.height * S);
    };
    for (TreeIcon t : {TreeIcon::Root, TreeIcon::Preset, TreeIcon::Bank, TreeIcon::OpenBank}) {
        for (int size : kTreeIconSizes)
            put(treeIcon(t, size));
    }
    for (const char* n : {"button", "setup", "flat", "type", "band", "arrow"}) {
        int w = std::string(n) == "button"  ? 76
                : std::string(n) == "setup" ? 61
                : std::string(n) == "flat"  ? 50
                : std::string(n) == "type"  ? 27
                : std::string(n) == "band"  ? 24
                                            : 15;
        put(sprite((std::string(n) + ".raw").c_str(), w, 21));
        put(sprite((std::string(n) + "_down.raw").c_str(), w, 21));
    }
    put(sprite("edit.raw", 40, 21));
    put(sprite("thumb.raw", qv::kSliderThumbLength, qv::kSliderThumbThickness));
    for (const char* n :
         {"type_peak.bmp", "type_lowshelf.bmp", "type_highshelf.bmp", "type_lowpass.bmp", "type_highpass.bmp",
          "menumark.bmp", "clip_off.bmp", "clip_held.bmp", "clip_active.bmp", "handles.bmp"})
        put(bmp(n));
    put(sprite("meter.raw", 12, 144));
    put(sprite("meter_lit.raw", 12, 144));
    put(graphCursor());
    c.savePng((out + "/sheet.png").c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: skinpreview SKIN-DIR OUT-DIR\n");
        return 2;
    }
    gDir = argv[1];
    editor(argv[2]);
    sheet(argv[2]);
    releaseFontCaches();
    return 0;
}
