#pragma once
// The editor window inside the host's window.

#include "EffectEditor.h"

namespace qv {

EffectEditor* makeWindowEditor(EqualizerEffect& effect);

}  // namespace qv
