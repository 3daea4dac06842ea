#pragma once
// What the editor needs of an equalizer, and nothing more. The VST DLL implements it over its engine
// (reporting the user's stores to the host as automation); the DirectShow DLL over IEqualizerControl.
// The editor never sees the effect or the filter. Free of any platform header.

#include <cstdint>

#include "AnalyzerRing.h"
#include "BandDesign.h"
#include "ParameterModel.h"

namespace qv {

class EqualizerModel {
public:
    virtual ~EqualizerModel() = default;

    // The stored integer of parameter `index` (0..34).
    virtual int32_t value(int index) = 0;
    // A change made by the user, already clamped by the editor.
    virtual void store(int index, int32_t value) = 0;

    virtual int currentSetup() = 0;  // 0: A, 1: B
    virtual void selectSetup(int setup) = 0;
    virtual void copySetup(int from, int to) = 0;  // 0 -> 1 or 1 -> 0; to the working setup applies all

    // Tag -2 always copies; a tag >= 0 copies only when it differs from the last; -1 resets the tag.
    virtual void snapshotForUndo(int tag) = 0;
    virtual void undo() = 0;

    virtual bool bypassed() = 0;
    virtual void setBypass(bool on) = 0;

    // Brings the display records up to date; then bandRecord(1..6) are what the graph reads and
    // edits in place (null when there are none).
    virtual void designDisplay() = 0;
    virtual BandRecord* bandRecord(int column) = 0;

    // Peak hold of both output channels since the last read (starts a new peak period).
    virtual void readPeaks(float& left, float& right) = 0;
    // pair 0: the engine's counter, 1: the editor's copy of the value last shown.
    virtual int32_t clipCounter(int channel, int pair) = 0;
    virtual void setClipCounter(int channel, int pair, int32_t value) = 0;

    // The rate the audio runs at; 0 or less when none is known (no host rate, no connected format).
    virtual float sampleRate() = 0;

    // The preset the presets menu marks as current, -1 for none; kept while the window is closed.
    virtual int32_t currentPreset() = 0;
    virtual void setCurrentPreset(int32_t id) = 0;

    // The ring the audio side hands the analyzer its samples through, this editor's alone
    // until released; null where there is none or another editor holds it.
    virtual AnalyzerRing* claimAnalyzerRing() { return nullptr; }
    virtual void releaseAnalyzerRing() {}

    // The editor's open flag as the DirectShow filter keeps it; while it reads false the editor
    // ignores commands, notifications, ticks and background painting. Always open in the VST DLL.
    virtual void setEditorOpen(bool) {}
    virtual bool editorOpen() { return true; }
};

}  // namespace qv
