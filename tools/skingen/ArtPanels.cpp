// Editor background, graph background and band handles.
#include "Art.h"
#include "Canvas.h"
#include "Layout.h"

#include <cmath>
#include <cstdio>

namespace skingen {
namespace {

const Colour kLabel = hex(0x343C47);
const Colour kLabelSoft = hex(0x56606C);
// Outer edges shared by the tray, the panels and the name plate.
constexpr int kLeft = 12;
constexpr int kRight = 494;

// Fixed-seed generator for the brushed texture: same grain every run.
struct Grain {
    uint32_t s = 0x2545F491u;
    double next()
    {
        s = s * 1664525u + 1013904223u;
        return ((s >> 8) & 0xFFFF) / 65535.0;
    }
};

// An inset panel: darker upper-left edge, lighter lower-right edge.
void panel(Canvas& c, double x, double y, double w, double h, double r)
{
    cairo_t* cr = c.cr();
    c.roundRect(x + 0.5, y + 0.5, w - 1, h - 1, r);
    c.vgradient(y, y + h, hex(0xD9DDE2), hex(0xCDD2D8));
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    c.set(hex(0x8C96A1));
    cairo_stroke(cr);
    c.roundRect(x + 1.5, y + 1.5, w - 3, h - 3, r - 1);
    c.set(hex(0xFFFFFF, 0.45));
    cairo_stroke(cr);
}

void label(Canvas& c, const char* s, double cx, double baseline, double align = 0.5)
{
    c.text(s, cx, baseline, 10, kLabel, align, true, true);
}

// Texts and marks on the background. Kept apart so that a check can prove none of them lies
// under a control.
void drawLabels(Canvas& c)
{
    cairo_t* cr = c.cr();
    // Column headings over the band rows, between the graph and the first row.
    const double hb = 202;
    label(c, "Band", bandNumber(1).x + bandNumber(1).w / 2.0, hb);
    label(c, "Type", bandType(1).x + (bandType(1).w + bandArrow(1).w) / 2.0, hb);
    label(c, "Freq Hz", bandFreq(1).x + bandFreq(1).w / 2.0, hb);
    label(c, "Q", bandQ(1).x + bandQ(1).w / 2.0, hb);
    label(c, "Gain dB", bandGain(1).x + bandGain(1).w / 2.0, hb);
    // Scale over the gain sliders, at their tick positions.
    const Rect s = bandSlider(1);
    const char* marks[] = {"-18", "-12", "-6", "0", "+6", "+12", "+18"};
    for (int i = 0; i < 7; ++i) {
        int v = -180 + 60 * i;
        double x = s.x + sliderTickX(v, -180, 180) + 0.5;
        c.text(marks[i], x, hb, i == 3 ? 10 : 9, i == 3 ? kLabel : kLabelSoft, 0.5, i == 3, true);
    }

    // Small band colour marks left of the number buttons tie rows to graph handles.
    for (int b = 1; b <= 6; ++b) {
        Rgb rgb = bandColour(b);
        Rect n = bandNumber(b);
        c.roundRect(14, n.y + 5, 4, n.h - 10, 1.5);
        c.set(Colour{rgb.r / 255.0, rgb.g / 255.0, rgb.b / 255.0});
        cairo_fill_preserve(cr);
        c.set(hex(0x000000, 0.35));
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }

    // Output row: the label sits left of the gain field.
    label(c, "Output gain", kOutGain.x - 6, kOutGain.y + 15, 1.0);

    // Meter area: the dB scale between the two bars, signed, as large as the gap between the bars
    // allows; channel letters underneath.
    const double mid = (kMeterL.right() + kMeterR.x) / 2.0;
    // The bars' frames take a pixel or two of the gap on each side.
    const double room = kMeterR.x - kMeterL.right() - 4;
    double size = 10.0;
    while (size > 7.0 && c.textWidth("-60", size, true, true) > room)
        size -= 0.25;
    const int dbs[] = {0, -6, -12, -20, -30, -40, -50, -60};
    for (int db : dbs) {
        int row = meterRow(db * 10);
        double y = kMeterL.y + row + 0.5;
        char t[16];
        std::snprintf(t, sizeof t, "%d", db);
        c.text(t, mid, y + size * 0.36, size, kLabel, 0.5, true, true);
    }
    label(c, "L", kMeterL.x + kMeterL.w / 2.0, kMeterL.bottom() + 12);
    label(c, "R", kMeterR.x + kMeterR.w / 2.0, kMeterR.bottom() + 12);
    c.text("dB", mid, kMeterL.bottom() + 12, 8, kLabelSoft, 0.5, false, true);
}

}  // namespace

Picture editorLabels()
{
    Canvas c(kEditorW, kEditorH);
    drawLabels(c);
    return c.picture();
}

Picture editorBackground()
{
    Canvas c(kEditorW, kEditorH);
    cairo_t* cr = c.cr();

    // Base: cool light grey with a faint horizontal brush.
    c.vgradient(0, kEditorH, hex(0xC9CED4), hex(0xB9BFC6));
    cairo_paint(cr);
    Grain g;
    for (int y = 0; y < kEditorH; ++y) {
        double a = 0.035 * (g.next() - 0.5);
        c.fillRect(0, y, kEditorW, 1, a > 0 ? hex(0xFFFFFF, a * 2) : hex(0x000000, -a * 2));
    }
    // Outer edge of the window.
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, 0.5, 0.5, kEditorW - 1, kEditorH - 1);
    c.set(hex(0x7D8792));
    cairo_stroke(cr);
    cairo_rectangle(cr, 1.5, 1.5, kEditorW - 3, kEditorH - 3);
    c.set(hex(0xFFFFFF, 0.5));
    cairo_stroke(cr);

    // Toolbar tray behind the top row of buttons, 4 pixels around them.
    panel(c, kLeft, kBypass.y - 4, kRight - kLeft, kBypass.h + 8, 5);

    // Graph bezel: a dark recess the graph sits in, with a light lower lip.
    c.roundRect(kGraph.x - 2, kGraph.y - 2, kGraph.w + 4, kGraph.h + 4, 2);
    c.set(hex(0x2B323B));
    cairo_fill(cr);
    c.fillRect(kGraph.x - 1, kGraph.bottom() + 2, kGraph.w + 2, 1, hex(0xFFFFFF, 0.5));

    // Band panel and meter panel.
    panel(c, kLeft, 189, 418 - kLeft, 183, 5);
    panel(c, 422, 189, kRight - 422, 183, 5);

    drawLabels(c);

    // Wells around the bars.
    for (const Rect& m : {kMeterL, kMeterR}) {
        c.roundRect(m.x - 1.5, m.y - 0.5, m.w + 3, m.h + 1, 1.5);
        c.set(hex(0xFFFFFF, 0.55));
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }

    // Name plate along the bottom, where the right button opens the home-page menu.
    c.roundRect(kLeft, 377, kRight - kLeft, 28, 5);
    c.vgradient(377, 405, hex(0x3A434E), hex(0x262C34));
    cairo_fill(cr);
    c.fillRect(kLeft + 5, 378, kRight - kLeft - 10, 1, hex(0xFFFFFF, 0.12));
    c.text("qv", 22, 397, 17, hex(0xF2C230), 0.0, true);
    double qw = c.textWidth("qv", 17, true);
    c.text(":equalizer", 22 + qw, 397, 17, hex(0xEEF1F4), 0.0, true);
    c.text("six-band parametric equalizer", kRight - 10, 395, 10, hex(0xB5BEC8), 1.0, false);
    return c.picture();
}

Picture graphBackground()
{
    Canvas c(kGraphW, kGraphH);
    cairo_t* cr = c.cr();
    // Mid steel blue: dark enough for the white curve, light enough for the dark grid labels.
    c.vgradient(0, kGraphH, hex(0xA0B8CE), hex(0x849EB6));
    cairo_paint(cr);
    // Soft light from the top centre.
    cairo_pattern_t* p = cairo_pattern_create_radial(kGraphW / 2.0, -40, 20, kGraphW / 2.0, -40, 300);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.16);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0.0);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    // Two-pixel frame outside the drawing area.
    c.fillRect(0, 0, kGraphW, 1, hex(0x1C232B));
    c.fillRect(0, 0, 1, kGraphH, hex(0x1C232B));
    c.fillRect(0, kGraphH - 1, kGraphW, 1, hex(0x4F6072));
    c.fillRect(kGraphW - 1, 0, 1, kGraphH, hex(0x4F6072));
    c.fillRect(1, 1, kGraphW - 2, 1, hex(0x000000, 0.28));
    c.fillRect(1, 1, 1, kGraphH - 2, hex(0x000000, 0.28));
    c.fillRect(1, kGraphH - 2, kGraphW - 2, 1, hex(0xFFFFFF, 0.18));
    c.fillRect(kGraphW - 2, 1, 1, kGraphH - 2, hex(0xFFFFFF, 0.18));
    // No unit here: the graph's own frequency labels ("1k", "16k") take the bottom right corner.
    return c.picture();
}

Rgb bandColour(int band)
{
    static const Rgb colours[6] = {
        {226, 50, 62},    // red
        {248, 132, 22},   // orange
        {240, 214, 40},   // yellow
        {72, 196, 88},    // green
        {38, 200, 222},   // cyan
        {190, 102, 236},  // violet
    };
    return colours[(band - 1) % 6];
}

int handleSize() { return 2 * artPx(4) + 1; }

Picture bandHandles()
{
    // Cells of 10 x 10 at 100 %, top-left 9 x 9 used. Edges are smoothed against the graph's blue,
    // since the magenta key allows no partial transparency.
    const Rgb under{150, 172, 194};
    const int d = handleSize(), pitch = d + 1;
    Picture sheet(6 * pitch, 4 * pitch);
    for (Rgba& p : sheet.pixels)
        p = Rgba{255, 0, 255, 255};
    for (int row = 0; row < 4; ++row) {
        bool selected = row & 1;
        bool on = row & 2;
        for (int col = 0; col < 6; ++col) {
            Rgb rgb = bandColour(col + 1);
            Colour band{rgb.r / 255.0, rgb.g / 255.0, rgb.b / 255.0};
            Canvas c(d, d, d / 9.0);
            cairo_t* cr = c.cr();
            cairo_arc(cr, 4.5, 4.5, 4.5, 0, 2 * M_PI);
            c.set(selected ? hex(0xFFFFFF) : hex(0x1C232B));
            cairo_fill(cr);
            cairo_arc(cr, 4.5, 4.5, 3.4, 0, 2 * M_PI);
            if (on) {
                c.set(band);
            } else {
                c.set(mix(band, hex(0x2E3A48), 0.72));
            }
            cairo_fill(cr);
            if (on) {
                cairo_arc(cr, 3.6, 3.4, 1.4, 0, 2 * M_PI);
                c.set(hex(0xFFFFFF, 0.55));
                cairo_fill(cr);
            } else {
                cairo_arc(cr, 4.5, 4.5, 1.2, 0, 2 * M_PI);
                c.set(band);
                cairo_fill(cr);
            }
            Picture cell = c.picture();
            for (int y = 0; y < d; ++y)
                for (int x = 0; x < d; ++x) {
                    const Rgba& q = cell.at(x, y);
                    if (q.a < 100)
                        continue;
                    auto m = [&q](uint8_t v, uint8_t u) {
                        return static_cast<uint8_t>((v * q.a + u * (255 - q.a) + 127) / 255);
                    };
                    Rgba out{m(q.r, under.r), m(q.g, under.g), m(q.b, under.b), 255};
                    // Never produce the key colour by accident.
                    if (out.r == 255 && out.g == 0 && out.b == 255)
                        out.g = 1;
                    sheet.at(col * pitch + x, row * pitch + y) = out;
                }
        }
    }
    return sheet;
}

}  // namespace skingen
