// Draws the manual's response pictures from the engine's own filter design, checks that the pictures
// in a folder are still what it draws, and prints the measured meaning of Q.
//
//   responses write DIR    writes every picture into DIR
//   responses check DIR    exit 1 when a picture in DIR is missing or differs
//   responses measure      the width table of the manual
//   responses presets [FILE]   the factory presets' levels (or those of another preset file)
#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Charts.h"
#include "Measure.h"
#include "PresetLevels.h"

using namespace qvresp;

namespace {

bool samePixels(cairo_surface_t* a, const char* path)
{
    cairo_surface_t* b = cairo_image_surface_create_from_png(path);
    bool same = cairo_surface_status(b) == CAIRO_STATUS_SUCCESS &&
                cairo_image_surface_get_width(b) == cairo_image_surface_get_width(a) &&
                cairo_image_surface_get_height(b) == cairo_image_surface_get_height(a);
    if (same) {
        cairo_surface_flush(a);
        cairo_surface_flush(b);
        const int h = cairo_image_surface_get_height(a), w = cairo_image_surface_get_width(a);
        for (int y = 0; same && y < h; ++y) {
            const unsigned char* ra = cairo_image_surface_get_data(a) + y * cairo_image_surface_get_stride(a);
            const unsigned char* rb = cairo_image_surface_get_data(b) + y * cairo_image_surface_get_stride(b);
            same = std::memcmp(ra, rb, static_cast<size_t>(w) * 4) == 0;
        }
    }
    cairo_surface_destroy(b);
    return same;
}

int measure()
{
    printf("Peak/Dip at 1 kHz, +6 dB: width 3 dB below the top\n");
    printf("%6s %9s %9s %8s %12s\n", "Q", "low Hz", "high Hz", "octaves", "textbook Q");
    for (int q : {5, 10, 20, 40, 100}) {
        const qv::BandRecord b = designBand(qv::kPeakDip, 1000, q, 60);
        const Width w = widthAt(b, 1000, 3.0);
        printf("%6.1f %9.0f %9.0f %8.2f %12.2f\n", q / 10.0, w.low, w.high, w.octaves(),
               equivalentTextbookQ(b, 1000, 6.0));
    }
    printf("Q 1.0, +6 dB, by frequency: textbook Q\n");
    for (int f : {100, 1000, 5000, 10000})
        printf("%6d Hz %6.2f\n", f, equivalentTextbookQ(designBand(qv::kPeakDip, f, 10, 60), f, 6.0));
    printf("Lowpass/Highpass: level at the corner frequency\n");
    for (int q : {3, 7, 10, 14, 40})
        printf("  Q %.1f: lowpass 2 kHz %+.1f dB, highpass 200 Hz %+.1f dB\n", q / 10.0,
               responseDb(designBand(qv::kLowpass, 2000, q, 0), 2000),
               responseDb(designBand(qv::kHighpass, 200, q, 0), 200));
    printf("Shelves, Q 1.0, +/-12 dB: level at the corner frequency\n");
    printf("  low shelf 200 Hz %+.1f dB, high shelf 4 kHz %+.1f dB\n",
           responseDb(designBand(qv::kLowShelf, 200, 10, 120), 200),
           responseDb(designBand(qv::kHighShelf, 4000, 10, 120), 4000));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "measure")
        return measure();
    if (mode == "presets" && argc <= 3)
        return printPresetLevels(argc == 3 ? argv[2] : QV_FACTORY_PRESETS);
    if ((mode != "write" && mode != "check") || argc != 3) {
        fprintf(stderr, "usage: responses write DIR | check DIR | measure | presets [FILE]\n");
        return 2;
    }
    int stale = 0;
    for (const NamedChart& nc : manualCharts()) {
        skingen::Canvas canvas(kChartWidth, kChartHeight);
        drawChart(canvas, nc.chart);
        const std::string path = std::string(argv[2]) + "/" + nc.file;
        if (mode == "write") {
            if (!canvas.savePng(path.c_str())) {
                fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
        } else if (!samePixels(cairo_get_target(canvas.cr()), path.c_str())) {
            fprintf(stderr, "%s is not what the engine's design draws now\n", path.c_str());
            ++stale;
        }
    }
    if (stale)
        fprintf(stderr, "%d picture(s) stale: cmake --build build/host --target manual-responses\n", stale);
    skingen::releaseFontCaches();
    return stale ? 1 : 0;
}
