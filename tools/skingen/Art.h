// The skin's pictures. Each function draws one image at its exact size at 100 %, scaled by the art
// scale (Canvas.h).
#pragma once

#include "EditorLayout.h"
#include "SkinFiles.h"

#include <vector>

namespace skingen {

// Button faces. Split buttons (the setup button and the type button with their arrows) join
// flush: the left part has square right corners, the arrow part square left ones.
enum class ButtonShape {
    Single,
    SplitLeft,
    SplitRight
};
Picture buttonFace(int w, int h, bool pressed, ButtonShape shape);

Picture editFace();          // 40 x 21
Picture sliderThumb();       // qv::kSliderThumbLength x kSliderThumbThickness
Picture meterBar(bool lit);  // 12 x 144, opaque
// The lamp's rectangle in device pixels of the background; 0 off, 1 held, 2 on.
Picture clipLamp(const Picture& background, qv::layout::Rect lamp, int state);

Picture editorBackground();  // qv::layout::kEditorW x kEditorH
Picture editorLabels();      // the texts and marks of the background alone, on transparency
Picture graphBackground();   // qv::layout::kGraph
Picture bandHandles();       // 60 x 40 (cells of handleSize() + 1), magenta keyed
int handleSize();            // 9 at 100 %, odd at every scale so that a handle has a centre pixel

// Filter type icons: 0 peak/dip, 1 low shelf, 2 high shelf, 3 lowpass, 4 highpass. Keyed 0xC0C0C0.
Picture typeIcon(int type);
std::vector<Rgb> typeIconPalette();

Picture menuMark();  // 7 x 11, magenta keyed
std::vector<Rgb> menuMarkPalette();

Picture graphCursor();  // 32 x 32, hot spot (15, 15)

// Preset Manager tree icons at a given size. The tree asks for the small-icon size of its window's
// DPI (16 at 96, 20 at 120, 24 at 144, 32 at 192), and each of those is drawn, not stretched.
constexpr int kTreeIconSizes[] = {16, 20, 24, 32};
enum class TreeIcon {
    Root,
    Preset,
    Bank,
    OpenBank
};
Picture treeIcon(TreeIcon which, int size);

// Six band colours, shared by handles and any band markings on the background.
Rgb bandColour(int band);

}  // namespace skingen
