// skingen: draws the editor skin and writes it in the formats the plug-in DLLs carry.
//
// Run from the repository root after a host build:
//     cmake --preset host && cmake --build build/host --target skingen
//     build/host/bin/skingen resources/skin
// (or: cmake --build build/host --target skin). The output is committed, so the Windows builds
// need no generator; the same sources give the same bytes on every run.
#include "Art.h"
#include "Canvas.h"
#include "Layout.h"
#include "SkinFiles.h"

#include <cstdio>
#include <string>
#include <vector>
#include <sys/stat.h>

using namespace skingen;

namespace {

struct Writer {
    std::string dir;
    bool ok = true;
    std::string path(const char* name) const { return dir + "/" + name; }
    void bmp24(const char* name, const Picture& p) { ok = writeBmp24(path(name), p) && ok; }
    void bmp4(const char* name, const Picture& p, const std::vector<Rgb>& pal)
    {
        ok = writeBmp4(path(name), p, pal) && ok;
    }
    void sprite(const char* name, const Picture& p) { ok = writeSprite(path(name), p) && ok; }
};

// Everything the editor draws at its own scale.
void drawScaledArt(Writer& w)
{
    Picture background = editorBackground();
    w.bmp24("background.bmp", background);
    w.bmp24("graph.bmp", graphBackground());
    w.bmp24("handles.bmp", bandHandles());

    const char* types[5] = {"type_peak.bmp", "type_lowshelf.bmp", "type_highshelf.bmp", "type_lowpass.bmp",
                            "type_highpass.bmp"};
    for (int t = 0; t < 5; ++t)
        w.bmp4(types[t], typeIcon(t), typeIconPalette());

    const Rect lamp = clipLamp(0, artScale());
    w.bmp24("clip_off.bmp", clipLamp(background, lamp, 0));
    w.bmp24("clip_held.bmp", clipLamp(background, lamp, 1));
    w.bmp24("clip_active.bmp", clipLamp(background, lamp, 2));

    w.sprite("thumb.raw", sliderThumb());
    w.sprite("edit.raw", editFace());
    struct Face {
        const char* name;
        int width;
        ButtonShape shape;
    };
    const Face faces[] = {
        {"arrow", 15, ButtonShape::SplitRight}, {"band", 24, ButtonShape::Single},
        {"type", 27, ButtonShape::SplitLeft},   {"flat", 50, ButtonShape::Single},
        {"setup", 61, ButtonShape::SplitLeft},  {"button", 76, ButtonShape::Single},
    };
    for (const Face& f : faces) {
        w.sprite((std::string(f.name) + ".raw").c_str(), buttonFace(f.width, 21, false, f.shape));
        w.sprite((std::string(f.name) + "_down.raw").c_str(), buttonFace(f.width, 21, true, f.shape));
    }
    w.sprite("meter.raw", meterBar(false));
    w.sprite("meter_lit.raw", meterBar(true));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen OUTPUT-DIR   (normally resources/skin)\n");
        return 2;
    }
    Writer w{argv[1]};
    mkdir(w.dir.c_str(), 0755);
    mkdir(w.path("icons").c_str(), 0755);
    // The editor's art at 100 % in the folder itself, at 150 % and 200 % in sub-folders of those
    // names. Menu mark and cursor are drawn once: Windows sizes those itself. The tree icons hold each
    // small-icon size in one file, from which the Preset Manager loads the size of its DPI.
    for (qv::Scale scale : {qv::kScale100, qv::kScale150, qv::kScale200}) {
        const int percent = qv::percentOf(scale);
        Writer at{percent == 100 ? w.dir : w.path(std::to_string(percent).c_str())};
        mkdir(at.dir.c_str(), 0755);
        setArtScale(scale);
        drawScaledArt(at);
        w.ok = at.ok && w.ok;
    }
    setArtScale(qv::kScale100);
    w.bmp4("menumark.bmp", menuMark(), menuMarkPalette());
    w.ok = writeCursor(w.path("graph.cur"), graphCursor(), 15, 15) && w.ok;

    const struct {
        const char* name;
        TreeIcon icon;
    } icons[] = {
        {"icons/root.ico", TreeIcon::Root},
        {"icons/preset.ico", TreeIcon::Preset},
        {"icons/bank.ico", TreeIcon::Bank},
        {"icons/openbank.ico", TreeIcon::OpenBank},
    };
    for (const auto& i : icons) {
        std::vector<Picture> sizes;
        for (int size : kTreeIconSizes)
            sizes.push_back(treeIcon(i.icon, size));
        w.ok = writeIcon(w.path(i.name), sizes) && w.ok;
    }

    releaseFontCaches();
    return w.ok ? 0 : 1;
}
