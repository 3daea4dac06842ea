// A cairo image surface with the few drawing helpers the skin needs.
#pragma once

#include "ScaleMath.h"
#include "SkinFiles.h"

#include <cairo.h>

namespace skingen {

struct Colour {
    double r, g, b, a = 1.0;
};

// 0xRRGGBB to a colour.
Colour hex(unsigned rgb, double alpha = 1.0);
Colour mix(Colour a, Colour b, double t);

// The scale, in percent, the art is drawn at; 100 unless a skingen pass sets another. Canvases take
// their sizes and coordinates at 100 % and draw at this scale.
qv::Scale artScale();
void setArtScale(qv::Scale scale);
// A length of the art at the current scale, rounded as the editor rounds its layout.
int artPx(int v);

class Canvas {
public:
    // A w x h picture at 100 %, artPx(w) x artPx(h) device pixels at the art scale.
    Canvas(int w, int h);
    // deviceW x deviceH pixels, drawing coordinates multiplied by `scale`.
    Canvas(int deviceW, int deviceH, double scale);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }

    void set(Colour c);
    void roundRect(double x, double y, double w, double h, double r);
    // Rounded rectangle with independent corner radii: top-left, top-right, bottom-right, bottom-left.
    void roundRect4(double x, double y, double w, double h, double tl, double tr, double br, double bl);
    void fillRect(double x, double y, double w, double h, Colour c);
    void vgradient(double y0, double y1, Colour top, Colour bottom);
    // Text in DejaVu Sans; align 0 left, 0.5 centre, 1 right of x; y is the baseline.
    void text(const char* s, double x, double y, double size, Colour c, double align = 0.0, bool bold = false,
              bool condensed = false);
    double textWidth(const char* s, double size, bool bold = false, bool condensed = false);

    // Unpremultiplied pixels.
    Picture picture() const;
    // Draw a picture of device pixels at (x, y), alpha-blended; scale > 1 enlarges it without smoothing.
    void paste(const Picture& pic, int x, int y, int scale = 1);
    bool savePng(const char* path) const;

private:
    void font(double size, bool bold, bool condensed);
    int w_, h_;  // device pixels
    double scale_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Frees cairo's and fontconfig's process-wide caches; call once at exit so leak checkers stay quiet.
void releaseFontCaches();

// Flattens a picture onto a solid colour (alpha becomes 255).
Picture flatten(const Picture& pic, Rgb under);

}  // namespace skingen
