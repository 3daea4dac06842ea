#include "Canvas.h"

#include <cmath>

#include "ScaleMath.h"
#include <fontconfig/fontconfig.h>

namespace skingen {

Colour hex(unsigned rgb, double alpha)
{
    return Colour{((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, alpha};
}

Colour mix(Colour a, Colour b, double t)
{
    return Colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

namespace {
qv::Scale gArtScale = qv::kScale100;
}

qv::Scale artScale() { return gArtScale; }
void setArtScale(qv::Scale scale) { gArtScale = scale; }
int artPx(int v) { return qv::scalePx(v, gArtScale); }

Canvas::Canvas(int w, int h) : Canvas(artPx(w), artPx(h), qv::percentOf(gArtScale) / 100.0) {}

Canvas::Canvas(int deviceW, int deviceH, double scale) : w_(deviceW), h_(deviceH), scale_(scale)
{
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w_, h_);
    cr_ = cairo_create(surface_);
    if (scale_ != 1.0)
        cairo_scale(cr_, scale_, scale_);
    // Fixed font rendering so that every run gives the same pixels.
    cairo_font_options_t* fo = cairo_font_options_create();
    cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_subpixel_order(fo, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_set_font_options(cr_, fo);
    cairo_font_options_destroy(fo);
}

Canvas::~Canvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::set(Colour c) { cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a); }

void Canvas::roundRect(double x, double y, double w, double h, double r) { roundRect4(x, y, w, h, r, r, r, r); }

void Canvas::roundRect4(double x, double y, double w, double h, double tl, double tr, double br, double bl)
{
    const double q = M_PI / 2;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x + w - tr, y + tr, tr, -q, 0);
    cairo_arc(cr_, x + w - br, y + h - br, br, 0, q);
    cairo_arc(cr_, x + bl, y + h - bl, bl, q, 2 * q);
    cairo_arc(cr_, x + tl, y + tl, tl, 2 * q, 3 * q);
    cairo_close_path(cr_);
}

void Canvas::fillRect(double x, double y, double w, double h, Colour c)
{
    set(c);
    cairo_rectangle(cr_, x, y, w, h);
    cairo_fill(cr_);
}

void Canvas::vgradient(double y0, double y1, Colour top, Colour bottom)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr_, p);
    cairo_pattern_destroy(p);
}

void Canvas::font(double size, bool bold, bool condensed)
{
    cairo_select_font_face(cr_, condensed ? "DejaVu Sans Condensed" : "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
}

double Canvas::textWidth(const char* s, double size, bool bold, bool condensed)
{
    font(size, bold, condensed);
    cairo_text_extents_t e;
    cairo_text_extents(cr_, s, &e);
    return e.x_advance;
}

void Canvas::text(const char* s, double x, double y, double size, Colour c, double align, bool bold, bool condensed)
{
    double w = textWidth(s, size, bold, condensed);
    set(c);
    // Whole device pixels across, so that a scaled text is as crisp as at 100 %.
    cairo_move_to(cr_, std::round((x - w * align) * scale_) / scale_, y);
    cairo_show_text(cr_, s);
}

Picture Canvas::picture() const
{
    cairo_surface_flush(surface_);
    Picture pic(w_, h_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < h_; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w_; ++x) {
            uint32_t v = row[x];
            unsigned a = v >> 24;
            Rgba& p = pic.at(x, y);
            p.a = static_cast<uint8_t>(a);
            if (a == 0)
                continue;
            auto un = [a](unsigned c) { return static_cast<uint8_t>(std::min(255u, (c * 255 + a / 2) / a)); };
            p.r = un((v >> 16) & 255);
            p.g = un((v >> 8) & 255);
            p.b = un(v & 255);
        }
    }
    return pic;
}

void Canvas::paste(const Picture& pic, int x, int y, int scale)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pic.width, pic.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int j = 0; j < pic.height; ++j) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(j) * stride);
        for (int i = 0; i < pic.width; ++i) {
            const Rgba& p = pic.at(i, j);
            unsigned a = p.a;
            auto pm = [a](unsigned c) { return (c * a + 127) / 255; };
            row[i] = (a << 24) | (pm(p.r) << 16) | (pm(p.g) << 8) | pm(p.b);
        }
    }
    cairo_surface_mark_dirty(s);
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    // The picture's pixels are device pixels already.
    cairo_scale(cr_, scale / scale_, scale / scale_);
    cairo_set_source_surface(cr_, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
    cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_surface_destroy(s);
}

bool Canvas::savePng(const char* path) const
{
    return cairo_surface_write_to_png(surface_, path) == CAIRO_STATUS_SUCCESS;
}

void releaseFontCaches()
{
    cairo_debug_reset_static_data();
    FcFini();
}

Picture flatten(const Picture& pic, Rgb under)
{
    Picture out = pic;
    for (Rgba& p : out.pixels) {
        auto m = [&p](uint8_t c, uint8_t u) { return static_cast<uint8_t>((c * p.a + u * (255 - p.a) + 127) / 255); };
        p = Rgba{m(p.r, under.r), m(p.g, under.g), m(p.b, under.b), 255};
    }
    return out;
}

}  // namespace skingen
