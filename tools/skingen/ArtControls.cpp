// Button faces, edit field, slider thumb, meter bars and clip lamps.
#include "Art.h"
#include "Canvas.h"
#include "ValueMath.h"

#include <algorithm>
#include <cmath>

namespace skingen {
namespace {

const Colour kBorder = hex(0x5C6570);
const Colour kFaceTop = hex(0xF6F7F8);
const Colour kFaceBottom = hex(0xCDD2D8);
const Colour kDownTop = hex(0xB7BDC4);
const Colour kDownBottom = hex(0xDCE0E4);

void shapePath(Canvas& c, double x, double y, double w, double h, double r, ButtonShape shape)
{
    double l = shape == ButtonShape::SplitRight ? 0 : r;
    double rr = shape == ButtonShape::SplitLeft ? 0 : r;
    c.roundRect4(x, y, w, h, l, rr, rr, l);
}

}  // namespace

Picture buttonFace(int w, int h, bool pressed, ButtonShape shape)
{
    Canvas c(w, h);
    cairo_t* cr = c.cr();
    const double r = 3.5;
    // Outer border.
    shapePath(c, 0, 0, w, h, r, shape);
    c.set(kBorder);
    cairo_fill(cr);
    // Face.
    shapePath(c, 1, 1, w - 2, h - 2, r - 1, shape);
    if (pressed)
        c.vgradient(1, h - 1, kDownTop, kDownBottom);
    else
        c.vgradient(1, h - 1, kFaceTop, kFaceBottom);
    cairo_fill(cr);
    if (pressed) {
        // Shadow along the top inner edge: the face sits lower.
        c.fillRect(2, 1, w - 4, 1, hex(0x000000, 0.22));
        c.fillRect(2, 2, w - 4, 1, hex(0x000000, 0.08));
        c.fillRect(1, 1, 1, h - 2, hex(0x000000, 0.10));
    } else {
        // Light upper edge and a soft lower one give the face its relief.
        c.fillRect(2, 1, w - 4, 1, hex(0xFFFFFF, 0.95));
        c.fillRect(2, h - 2, w - 4, 1, hex(0x000000, 0.10));
    }
    // The joint of a split button: a divider in the arrow part's first column.
    if (shape == ButtonShape::SplitRight) {
        c.fillRect(0, 0, 1, h, kBorder);
        c.fillRect(1, 2, 1, h - 4, hex(0xFFFFFF, pressed ? 0.15 : 0.6));
    }
    return c.picture();
}

Picture editFace()
{
    const int w = 40, h = 21;
    Canvas c(w, h);
    cairo_t* cr = c.cr();
    c.roundRect(0, 0, w, h, 2.5);
    c.vgradient(0, h, hex(0x7D8792), hex(0xA9B1BA));
    cairo_fill(cr);
    c.roundRect(1, 1, w - 2, h - 2, 1.5);
    c.vgradient(1, h - 1, hex(0xE3E3DE), hex(0xFAF9F5));
    cairo_fill(cr);
    // Recessed look: inner shadow under the top edge.
    c.fillRect(2, 1, w - 4, 1, hex(0x000000, 0.16));
    c.fillRect(1, 2, 1, h - 4, hex(0x000000, 0.06));
    return c.picture();
}

Picture sliderThumb()
{
    // Body 25 wide (columns 0..24) centred on column 12, the value's tick; a point underneath
    // reaches down between the tick marks. Columns 25..28 stay transparent.
    const int w = qv::kSliderThumbLength, h = qv::kSliderThumbThickness;
    Canvas c(w, h);
    cairo_t* cr = c.cr();
    auto outline = [cr](double inset) {
        double l = 0.5 + inset, r = 24.5 - inset, t = 0.5 + inset, mid = 12.5;
        double shoulder = 10.5 - inset * 0.3, tip = 15.2 - inset * 1.4;
        double rad = 3.0;
        cairo_new_path(cr);
        cairo_move_to(cr, l + rad, t);
        cairo_line_to(cr, r - rad, t);
        cairo_arc(cr, r - rad, t + rad, rad, -M_PI / 2, 0);
        cairo_line_to(cr, r, shoulder);
        cairo_line_to(cr, mid, tip);
        cairo_line_to(cr, l, shoulder);
        cairo_line_to(cr, l, t + rad);
        cairo_arc(cr, l + rad, t + rad, rad, M_PI, 1.5 * M_PI);
        cairo_close_path(cr);
    };
    outline(0);
    c.set(kBorder);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    outline(1.0);
    c.vgradient(1, 14, hex(0xFBFBFC), hex(0xBFC5CC));
    cairo_fill(cr);
    // Grip lines either side of the value mark, and the mark itself.
    for (int x : {6, 8, 16, 18}) {
        c.fillRect(x, 3, 1, 6, hex(0x000000, 0.18));
        c.fillRect(x + 1, 3, 1, 6, hex(0xFFFFFF, 0.7));
    }
    c.fillRect(12, 2, 1, 11, hex(0x30363D));
    return c.picture();
}

Picture meterBar(bool lit)
{
    // Drawn per device pixel from the 12 x 144 design: a pixel takes the design's row and column it
    // falls in, so the frame and the segments grow with the scale.
    const int w = artPx(12), h = artPx(144);
    const int percent = qv::percentOf(artScale());
    Picture pic(w, h);
    const Rgb frame{30, 34, 40};
    for (int dy = 0; dy < h; ++dy) {
        for (int dx = 0; dx < w; ++dx) {
            Rgba& p = pic.at(dx, dy);
            p.a = 255;
            const int x = dx * 100 / percent, y = dy * 100 / percent;
            bool border = x == 0 || x == 11 || y < 2 || y > 141;
            if (border) {
                // Rows 0..1 and 142..143 and the side columns form the frame; the sides are the same
                // in both pictures because the lit bar is blended full width.
                p.r = frame.r;
                p.g = frame.g;
                p.b = frame.b;
                continue;
            }
            // Level of this row in dB: row 2 is 0 dB, row 142 is -60 dB.
            double db = (142.0 - y) * 60.0 / 140.0 - 60.0;
            double rr, gg, bb;
            if (db > -3.0) {
                rr = 250;
                gg = 64;
                bb = 48;
            } else if (db > -12.0) {
                double t = std::clamp((db + 12.0) / 9.0, 0.0, 1.0);
                rr = 240 + 10 * t;
                gg = 212 - 60 * t * t;
                bb = 56 - 10 * t;
            } else {
                rr = 70;
                gg = 214;
                bb = 96;
            }
            // Across the bar: brighter in the middle, like a lens.
            double cx = (x - 5.5) / 5.0;
            double lens = 1.0 - 0.32 * cx * cx;
            // Segments: every third row a little darker.
            double seg = (y % 3 == 1) ? 0.62 : 1.0;
            if (!lit) {
                double k = 0.17 * lens * (seg < 1 ? 0.7 : 1.0);
                rr = 22 + rr * k;
                gg = 26 + gg * k;
                bb = 26 + bb * k;
            } else {
                double k = lens * seg;
                rr = std::min(255.0, rr * k + 30 * (1 - cx * cx) * seg);
                gg = std::min(255.0, gg * k + 30 * (1 - cx * cx) * seg);
                bb = std::min(255.0, bb * k + 30 * (1 - cx * cx) * seg);
            }
            p.r = static_cast<uint8_t>(std::lround(rr));
            p.g = static_cast<uint8_t>(std::lround(gg));
            p.b = static_cast<uint8_t>(std::lround(bb));
        }
    }
    return pic;
}

Picture clipLamp(const Picture& background, qv::layout::Rect lamp, int state)
{
    Canvas c(12, 9);
    Picture under(lamp.w, lamp.h);
    for (int y = 0; y < lamp.h; ++y)
        for (int x = 0; x < lamp.w; ++x)
            under.at(x, y) = background.at(lamp.x + x, lamp.y + y);
    c.paste(under, 0, 0);
    cairo_t* cr = c.cr();
    c.roundRect(0.5, 1, 11, 7, 2);
    c.set(hex(0x1E2228));
    cairo_fill(cr);
    Colour colour = state == 0 ? hex(0x4A1A1A) : state == 1 ? hex(0xB8402C) : hex(0xFF3A28);
    c.roundRect(1.5, 2, 9, 5, 1.2);
    c.vgradient(2, 7, mix(colour, hex(0xFFFFFF), state == 2 ? 0.45 : 0.18), colour);
    cairo_fill(cr);
    // The lamp's rectangle may be a row shorter than the scaled design (it reaches down to the meter).
    Picture drawn = c.picture();
    Picture out(lamp.w, lamp.h);
    for (int y = 0; y < lamp.h; ++y)
        for (int x = 0; x < lamp.w; ++x)
            out.at(x, y) = drawn.at(x, y);
    return flatten(out, Rgb{0, 0, 0});
}

}  // namespace skingen
