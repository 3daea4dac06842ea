#pragma once
// Where the two plug-in DLLs' editors differ, as data: each DLL defines its profile in its own folder
// (vst/, dshow/) and hands it to the editor, which knows neither. Free of any platform header.

#include <cstdint>

namespace qv {

// A band's type, frequency (Hz) and Q (tenths), as "Set band defaults" applies them.
struct BandDefault {
    int32_t type;
    int32_t frequency;
    int32_t q;
};

// Which user actions take an undo snapshot where the DLLs disagree.
struct UndoPolicy {
    bool dismissedMenu;   // band or type menu closed without a choice
    bool editCommit;      // frequency, Q or gain typed in
    bool setupClick;      // the setup button
    bool taggedGestures;  // slider moves, edit steps, graph drags: one tagged snapshot per gesture
};

enum class HelpSource {
    kRegistry,    // "PluginPath", else the registered DLL path
    kModulePath,  // beside the DLL itself
};

struct EditorProfile {
    // Module resources.
    int backgroundBitmap;
    int graphBitmap;
    int clipOffBitmap;
    int clipHeldBitmap;
    int clipActiveBitmap;
    int spriteShift;  // raw skin image id = the VST DLL's id - spriteShift
    // The two clip lamps: left, right.
    int clipLampIds[2];
    unsigned timerId;
    UndoPolicy undo;
    // Bands 1..6 for "Set band defaults".
    const BandDefault* bandDefaults;
    HelpSource help;
    // A second identity the preset store accepts in imported files; null for none.
    const char* alternativePresetKey;
};

}  // namespace qv
