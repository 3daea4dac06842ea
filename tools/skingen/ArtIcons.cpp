// Filter type icons, menu mark, graph cursor and the Preset Manager's tree icons.
#include "Art.h"
#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace skingen {
namespace {

const Rgb kIconKey{192, 192, 192};
const Rgb kMagenta{255, 0, 255};
const Rgb kInk{52, 58, 66};
// Mid colour of the type button's face, which the icon's smoothed edges blend towards.
const Rgb kFace{226, 229, 233};
constexpr int kInkSteps = 15;

Rgb inkStep(int i)
{
    double t = (i + 1) / double(kInkSteps);
    auto m = [t](uint8_t f, uint8_t k) { return static_cast<uint8_t>(std::lround(f + (k - f) * t)); };
    return Rgb{m(kFace.r, kInk.r), m(kFace.g, kInk.g), m(kFace.b, kInk.b)};
}

// Maps a drawn picture (ink with alpha) onto the key colour and the ink ramp.
Picture quantiseInk(const Picture& drawn, Rgb key)
{
    Picture out(drawn.width, drawn.height);
    for (size_t i = 0; i < drawn.pixels.size(); ++i) {
        int a = drawn.pixels[i].a;
        Rgb c = key;
        if (a >= 40) {
            int step = std::min(kInkSteps - 1, static_cast<int>(std::lround(a / 255.0 * kInkSteps)) - 1);
            c = inkStep(std::max(0, step));
        }
        out.pixels[i] = Rgba{c.r, c.g, c.b, 255};
    }
    return out;
}

// Response shapes of the five filter types, as y (0 top .. 1 bottom) over x (0 .. 1).
double shape(int type, double x)
{
    auto s = [](double v) { return 1.0 / (1.0 + std::exp(-v)); };
    switch (type) {
    case 0:
        return 0.62 - 0.5 * std::exp(-std::pow((x - 0.5) / 0.14, 2));  // peak
    case 1:
        return 0.22 + 0.5 * s((x - 0.45) * 14);  // low shelf
    case 2:
        return 0.72 - 0.5 * s((x - 0.55) * 14);  // high shelf
    // Pass filters fall to the floor after a small resonance, which tells them from the shelves.
    case 3:
        return 0.36 - 0.14 * std::exp(-std::pow((x - 0.6) / 0.08, 2)) + 0.64 * s((x - 0.7) * 18);  // lowpass
    default:
        return 0.36 - 0.14 * std::exp(-std::pow((x - 0.4) / 0.08, 2)) + 0.64 * s((0.3 - x) * 18);  // highpass
    }
}

}  // namespace

std::vector<Rgb> typeIconPalette()
{
    std::vector<Rgb> pal{kIconKey};
    for (int i = 0; i < kInkSteps; ++i)
        pal.push_back(inkStep(i));
    return pal;
}

Picture typeIcon(int type)
{
    // Only the left 23 columns show on the 27-wide button (26-wide icon from x = 1, the others from
    // x = 0), so the glyph stays in columns 4..21 of the button.
    int w = type == 0 ? 26 : 29;
    int shift = type == 0 ? 1 : 0;  // icon column = button column - shift
    Canvas c(w, 15);
    cairo_t* cr = c.cr();
    const double x0 = 4.5 - shift, x1 = 21.5 - shift, top = 1.5, bottom = 13.0;
    // Faint zero line.
    c.fillRect(x0 - 1, 8, x1 - x0 + 2, 1, hex(0x343A42, 0.28));
    cairo_set_line_width(cr, 1.7);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int i = 0; i <= 60; ++i) {
        double t = i / 60.0;
        double x = x0 + (x1 - x0) * t;
        double y = top + (bottom - top) * shape(type, t);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    c.set(hex(0x343A42));
    cairo_stroke(cr);
    return quantiseInk(c.picture(), kIconKey);
}

std::vector<Rgb> menuMarkPalette() { return {kMagenta, Rgb{64, 64, 64}}; }

Picture menuMark()
{
    static const char* rows[11] = {
        ".......", "#######", ".......", "#######", ".......", "#######",
        ".......", "#######", ".#####.", "..###..", "...#...",
    };
    Picture pic(7, 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 7; ++x)
            pic.at(x, y) = rows[y][x] == '#' ? Rgba{64, 64, 64, 255} : Rgba{255, 0, 255, 255};
    // Separate the list lines from the arrow: row 7 is a gap.
    for (int x = 0; x < 7; ++x)
        pic.at(x, 7) = Rgba{255, 0, 255, 255};
    return pic;
}

Picture graphCursor()
{
    // Crosshair with an open centre, black with a white outline so it shows on any colour.
    Picture pic(32, 32);
    auto put = [&pic](int x, int y, bool white) {
        if (x < 0 || y < 0 || x >= 32 || y >= 32)
            return;
        Rgba& p = pic.at(x, y);
        if (!white || p.a == 0)
            p = white ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255};
    };
    const int cx = 15, cy = 15;
    auto arm = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        put(x + dx, y + dy, true);
    };
    arm(cx - 10, cy, cx - 3, cy);
    arm(cx + 3, cy, cx + 10, cy);
    arm(cx, cy - 10, cx, cy - 3);
    arm(cx, cy + 3, cx, cy + 10);
    arm(cx, cy, cx, cy);
    for (int i = 3; i <= 10; ++i) {
        put(cx - i, cy, false);
        put(cx + i, cy, false);
        put(cx, cy - i, false);
        put(cx, cy + i, false);
    }
    put(cx, cy, false);
    return pic;
}

namespace {

// The tree icons are designed on 16 pixels, their outlines on pixel centres. At another size an
// outline keeps a whole number of pixels (one, two from 32) and moves to the nearest place where it
// covers them exactly, so that it stays as crisp as in the design rather than smeared over two.
struct IconGrid {
    double k;  // device pixels per design pixel
    int line;  // outline width in device pixels

    explicit IconGrid(int size) : k(size / 16.0), line(std::max(1, static_cast<int>(k + 0.25))) {}
    // An outline's centre coordinate, in design units.
    double at(double u) const
    {
        if (k == 1.0)
            return u;
        return (std::round(u * k - line / 2.0) + line / 2.0) / k;
    }
    double lineWidth() const { return line / k; }
};

}  // namespace

Picture treeIcon(TreeIcon which, int size)
{
    Canvas c(size, size);
    cairo_t* cr = c.cr();
    const IconGrid g(size);
    cairo_scale(cr, g.k, g.k);
    cairo_set_line_width(cr, g.lineWidth());
    // A path through outline points of the design.
    auto path = [&](std::initializer_list<std::pair<double, double>> points) {
        bool first = true;
        for (const auto& p : points) {
            (first ? cairo_move_to : cairo_line_to)(cr, g.at(p.first), g.at(p.second));
            first = false;
        }
    };
    switch (which) {
    case TreeIcon::Root: {
        // The product's mark: an EQ panel with three coloured faders.
        c.roundRect(g.at(0.5), g.at(1.5), g.at(15.5) - g.at(0.5), g.at(14.5) - g.at(1.5), 2.5);
        c.vgradient(1.5, 14.5, hex(0x4A5563), hex(0x262C34));
        cairo_fill_preserve(cr);
        c.set(hex(0x1A1F25));
        cairo_stroke(cr);
        const double knobs[3] = {9.5, 5.5, 8.0};
        for (int i = 0; i < 3; ++i) {
            double x = 4.0 + i * 4.0;
            c.fillRect(g.at(x) - g.lineWidth() / 2, 3.5, g.lineWidth(), 9, hex(0x10141A));
            Rgb b = bandColour(i == 0 ? 1 : i == 1 ? 3 : 5);
            c.roundRect(x - 1.75, knobs[i] - 1.25, 3.5, 2.5, 0.8);
            c.set(Colour{b.r / 255.0, b.g / 255.0, b.b / 255.0});
            cairo_fill(cr);
        }
        break;
    }
    case TreeIcon::Preset: {
        // A page with a folded corner and a response curve on it.
        path({{2.5, 0.5}, {10.5, 0.5}, {13.5, 3.5}, {13.5, 15.5}, {2.5, 15.5}});
        cairo_close_path(cr);
        c.vgradient(0, 16, hex(0xFFFFFF), hex(0xE4E8EC));
        cairo_fill_preserve(cr);
        c.set(hex(0x5C6570));
        cairo_stroke(cr);
        path({{10.5, 0.5}, {10.5, 3.5}, {13.5, 3.5}});
        c.set(hex(0x5C6570));
        cairo_stroke(cr);
        cairo_set_line_width(cr, 1.3);
        for (int i = 0; i <= 20; ++i) {
            double t = i / 20.0;
            double x = 4.0 + 8.0 * t;
            double y = 10.5 - 4.0 * std::exp(-std::pow((t - 0.45) / 0.2, 2));
            if (i == 0)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
        c.set(hex(0x2F7FC1));
        cairo_stroke(cr);
        c.fillRect(4, g.at(13.0) - g.lineWidth() / 2, 8, g.lineWidth(), hex(0x9AA4AF));
        break;
    }
    case TreeIcon::Bank:
    case TreeIcon::OpenBank: {
        bool open = which == TreeIcon::OpenBank;
        // Back of the folder with its tab.
        path({{0.5, 3.5}, {5.5, 3.5}, {7.0, 5.0}, {14.5, 5.0}, {14.5, 13.5}, {0.5, 13.5}});
        cairo_close_path(cr);
        c.vgradient(3, 14, hex(0xE9B949), hex(0xC98F1E));
        cairo_fill_preserve(cr);
        c.set(hex(0x7A5410));
        cairo_stroke(cr);
        if (open) {
            c.fillRect(2.5, 5.5, 10, 6, hex(0xFFFFFF));
            path({{3.0, 7.5}, {15.5, 7.5}, {13.0, 13.5}, {0.5, 13.5}});
            cairo_close_path(cr);
        } else {
            path({{0.5, 6.5}, {14.5, 6.5}, {14.5, 13.5}, {0.5, 13.5}});
            cairo_close_path(cr);
        }
        c.vgradient(6, 14, hex(0xFFD873), hex(0xE7A93A));
        cairo_fill_preserve(cr);
        c.set(hex(0x7A5410));
        cairo_stroke(cr);
        break;
    }
    }
    return c.picture();
}

}  // namespace skingen
