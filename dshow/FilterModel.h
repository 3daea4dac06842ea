#pragma once
// The editor's model over a filter's IEqualizerControl: the property page's editor reaches the
// engine through the filter's interface only. Without an interface (the page disconnected while
// its editor still runs a menu or a message box) every read gives a neutral value and every write
// is dropped.

#include "EqualizerModel.h"
#include "IEqualizerControl.h"
#include "base/ComBase.h"

namespace qv {

class FilterModel final : public EqualizerModel {
public:
    void connect(IEqualizerControl* control) { control_.reset(control); }
    void disconnect()
    {
        releaseAnalyzerRing();
        control_.reset();
    }
    IEqualizerControl* control() const { return control_.get(); }

    int32_t value(int index) override;
    void store(int index, int32_t value) override;
    int currentSetup() override;
    void selectSetup(int setup) override;
    void copySetup(int from, int to) override;
    void snapshotForUndo(int tag) override;
    void undo() override;
    bool bypassed() override;
    void setBypass(bool on) override;
    void designDisplay() override;
    BandRecord* bandRecord(int column) override;
    void readPeaks(float& left, float& right) override;
    int32_t clipCounter(int channel, int pair) override;
    void setClipCounter(int channel, int pair, int32_t value) override;
    float sampleRate() override;
    int32_t currentPreset() override;
    void setCurrentPreset(int32_t id) override;
    void setEditorOpen(bool open) override;
    bool editorOpen() override;
    AnalyzerRing* claimAnalyzerRing() override;
    void releaseAnalyzerRing() override;

private:
    ds::ComPtr<IEqualizerControl> control_;
    ds::ComPtr<IEqualizerAnalyzer> analyzer_;  // while its ring is claimed
};

}  // namespace qv
