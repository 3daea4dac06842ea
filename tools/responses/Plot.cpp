#include "Plot.h"

#include <cmath>
#include <cstdio>

namespace qvresp {

namespace {

constexpr double kLeft = 46, kRight = 16, kTop = 40, kBottom = 62;
constexpr double kFmin = 20, kFmax = 20000;

double xOf(double hz)
{
    const double w = kChartWidth - kLeft - kRight;
    return kLeft + w * std::log10(hz / kFmin) / std::log10(kFmax / kFmin);
}

double hzOf(double x)
{
    const double w = kChartWidth - kLeft - kRight;
    return kFmin * std::pow(kFmax / kFmin, (x - kLeft) / w);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

// A curve's pen: its colour, 2 pixels, dashed or solid.
void curvePen(skingen::Canvas& c, const Curve& curve)
{
    c.set(skingen::hex(curve.colour));
    cairo_set_line_width(c.cr(), 2.0);
    const double dash[] = {6, 4};
    cairo_set_dash(c.cr(), curve.dashed ? dash : nullptr, curve.dashed ? 2 : 0, 0);
}

}  // namespace

void drawChart(skingen::Canvas& c, const Chart& chart)
{
    using skingen::hex;
    cairo_t* cr = c.cr();
    const double bottom = kChartHeight - kBottom, right = kChartWidth - kRight;
    auto yOf = [&](double db) { return kTop + (chart.dbMax - db) / (chart.dbMax - chart.dbMin) * (bottom - kTop); };

    c.fillRect(0, 0, kChartWidth, kChartHeight, hex(0xFFFFFF));
    c.fillRect(kLeft, kTop, right - kLeft, bottom - kTop, hex(0xF7F8FA));
    c.text(chart.title.c_str(), kLeft, 19, 13, hex(0x202020), 0.0, true);

    // Grid: decades and their 2 and 5, dB steps; 0 dB darker.
    cairo_set_line_width(cr, 1.0);
    const double ticks[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
    const char* names[] = {"20", "50", "100", "200", "500", "1k", "2k", "5k", "10k", "20k"};
    for (int i = 0; i < 10; ++i) {
        const double x = std::round(xOf(ticks[i])) + 0.5;
        c.set(hex(0xDADDE3));
        line(cr, x, kTop, x, bottom);
        c.text(names[i], x, bottom + 14, 10, hex(0x505050), 0.5);
    }
    c.text("Hz", right, bottom + 28, 10, hex(0x505050), 1.0);
    for (double db = std::ceil(chart.dbMin / chart.dbStep) * chart.dbStep; db <= chart.dbMax + 1e-9;
         db += chart.dbStep) {
        const double y = std::round(yOf(db)) + 0.5;
        c.set(db == 0 ? hex(0x9AA0A8) : hex(0xDADDE3));
        line(cr, kLeft, y, right, y);
        char buf[16];
        snprintf(buf, sizeof(buf), "%+g", db);
        c.text(db == 0 ? "0" : buf, kLeft - 5, y + 4, 10, hex(0x505050), 1.0);
    }
    c.text("dB", kLeft - 5, kTop - 10, 10, hex(0x505050), 1.0);

    cairo_save(cr);
    cairo_rectangle(cr, kLeft, kTop, right - kLeft, bottom - kTop);
    cairo_clip(cr);
    if (chart.hasLevel) {
        const double dots[] = {2, 3};
        cairo_set_dash(cr, dots, 2, 0);
        c.set(hex(0x606060));
        const double y = std::round(yOf(chart.level)) + 0.5;
        line(cr, kLeft, y, right, y);
        for (double hz : chart.markers) {
            const double x = std::round(xOf(hz)) + 0.5;
            line(cr, x, kTop, x, bottom);
        }
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (const Curve& curve : chart.curves) {
        curvePen(c, curve);
        for (double x = kLeft; x <= right; x += 0.5) {
            double db = curve.db(hzOf(x));
            // Keep deep notches drawable.
            if (!(db > chart.dbMin - 20))
                db = chart.dbMin - 20;
            if (x == kLeft)
                cairo_move_to(cr, x, yOf(db));
            else
                cairo_line_to(cr, x, yOf(db));
        }
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    cairo_restore(cr);
    if (chart.hasLevel)
        c.text(chart.levelLabel.c_str(), right - 4, yOf(chart.level) - 4, 10, hex(0x404040), 1.0);
    c.set(hex(0x8A9099));
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, kLeft + 0.5, kTop + 0.5, right - kLeft - 1, bottom - kTop - 1);
    cairo_stroke(cr);

    // Legend under the axis, one swatch and label per curve.
    double x = kLeft;
    const double y = kChartHeight - 14;
    for (const Curve& curve : chart.curves) {
        curvePen(c, curve);
        line(cr, x, y - 4, x + 22, y - 4);
        cairo_set_dash(cr, nullptr, 0, 0);
        c.text(curve.label.c_str(), x + 28, y, 11, hex(0x202020));
        x += 28 + c.textWidth(curve.label.c_str(), 11) + 18;
    }
}

}  // namespace qvresp
