#pragma once
// The engine as the DirectShow side sees it: an EqualizerEngine behind one critical section, with
// the settings-changed flag for persistence, the stored stream format and the notification table.
// Its IUnknown is the filter's.

#include <windows.h>

#include <atomic>

#include "AudioFormat.h"
#include "EqualizerEngine.h"
#include "FilterNotices.h"
#include "IEqualizerControl.h"
#include "NotifyTable.h"
#include "base/ComBase.h"

namespace qv {

class EqualizerControl : public IEqualizerControl, public IEqualizerAnalyzer {
public:
    explicit EqualizerControl(IUnknown* owner) : owner_(owner) {}
    EqualizerControl(const EqualizerControl&) = delete;
    EqualizerControl& operator=(const EqualizerControl&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        return owner_->QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_->Release(); }

    HRESULT STDMETHODCALLTYPE GetParameters(ParameterRecord* record) override;
    HRESULT STDMETHODCALLTYPE SetParameters(const ParameterRecord* record) override;
    HRESULT STDMETHODCALLTYPE GetStreamFormat(WAVEFORMATEX* format) override;
    HRESULT STDMETHODCALLTYPE SetNotifyWindow(HWND window, WORD id) override;
    HRESULT STDMETHODCALLTYPE GetEnabled(int column, int* value) override { return get(kRowEnabled, column, value); }
    HRESULT STDMETHODCALLTYPE SetEnabled(int column, int value) override;
    HRESULT STDMETHODCALLTYPE GetFilterType(int column, int* value) override { return get(kRowFilter, column, value); }
    HRESULT STDMETHODCALLTYPE SetFilterType(int column, int value) override { return set(kRowFilter, column, value); }
    HRESULT STDMETHODCALLTYPE GetFrequency(int column, int* value) override { return get(kRowFreq, column, value); }
    HRESULT STDMETHODCALLTYPE SetFrequency(int column, int value) override { return set(kRowFreq, column, value); }
    HRESULT STDMETHODCALLTYPE GetQ(int column, int* value) override { return get(kRowQ, column, value); }
    HRESULT STDMETHODCALLTYPE SetQ(int column, int value) override { return set(kRowQ, column, value); }
    HRESULT STDMETHODCALLTYPE GetGain(int column, int* value) override { return get(kRowGain, column, value); }
    HRESULT STDMETHODCALLTYPE SetGain(int column, int value) override { return set(kRowGain, column, value); }
    HRESULT STDMETHODCALLTYPE GetClipCounterLeft(int selector, int* value) override
    {
        return getClip(0, selector, value);
    }
    HRESULT STDMETHODCALLTYPE SetClipCounterLeft(int selector, int value) override
    {
        return setClip(0, selector, value);
    }
    HRESULT STDMETHODCALLTYPE GetClipCounterRight(int selector, int* value) override
    {
        return getClip(1, selector, value);
    }
    HRESULT STDMETHODCALLTYPE SetClipCounterRight(int selector, int value) override
    {
        return setClip(1, selector, value);
    }
    HRESULT STDMETHODCALLTYPE DesignCoefficients() override;
    HRESULT STDMETHODCALLTYPE GetBandRecord(int column, BandRecord** record) override;
    HRESULT STDMETHODCALLTYPE SetStreamFormat(const WAVEFORMATEX* format) override;
    float STDMETHODCALLTYPE ReadPeakLeft() override { return engine_.readMeter(0); }
    float STDMETHODCALLTYPE ReadPeakRight() override { return engine_.readMeter(1); }
    HRESULT STDMETHODCALLTYPE SetEditorOpen(int open) override;
    HRESULT STDMETHODCALLTYPE GetEditorOpen(int* open) override;
    HRESULT STDMETHODCALLTYPE GetEditorState(int* value) override;
    HRESULT STDMETHODCALLTYPE SetEditorState(int value) override;
    HRESULT STDMETHODCALLTYPE IsBypassed(int* on) override;
    HRESULT STDMETHODCALLTYPE SetBypass(int on) override;
    HRESULT STDMETHODCALLTYPE GetCurrentSetup(int* setup) override;
    HRESULT STDMETHODCALLTYPE SelectSetup(int setup) override;
    HRESULT STDMETHODCALLTYPE CopySetup(int from, int to) override;
    HRESULT STDMETHODCALLTYPE SnapshotForUndo(int tag) override;
    HRESULT STDMETHODCALLTYPE Undo() override;
    // IEqualizerAnalyzer
    HRESULT STDMETHODCALLTYPE ClaimAnalyzerRing(AnalyzerRing** ring) override;
    HRESULT STDMETHODCALLTYPE ReleaseAnalyzerRing() override;

    // ---- for the filter ----------------------------------------------------------------------
    // The stored format (tag 0 while none) and its hand-over to the engine.
    void setFormat(const StreamFormat& format);
    void clearFormat();
    StreamFormat format();
    // The streaming side's snapshot: the working setup and the dirty flag, taken in one hold.
    void takeSnapshot(ParameterRecord& record, bool& changed);
    void startStream();
    void stopStream();
    // The analyzer gets the buffer's input, when an editor has attached it.
    int processInterleaved(float* buffer, uint32_t* frames, int channels, const ParameterRecord& snapshot, bool changed)
    {
        const AnalyzerRing::Block b = ring_.beginInterleaved(buffer, *frames, channels);
        const int result = engine_.processInterleaved(buffer, frames, channels, snapshot, changed);
        ring_.endInterleaved(b, *frames);
        return result;
    }
    bool settingsChanged() const { return settingsChanged_; }
    void setSettingsChanged(bool on) { settingsChanged_ = on; }
    // Posts WM_COMMAND (id, code) to every registered window, dropping dead ones.
    void post(FilterNotice notice);
    // True when the input is connected, so SetStreamFormat must leave the format alone.
    void setConnected(bool on) { connected_ = on; }

private:
    HRESULT get(int row, int column, int* value);
    HRESULT set(int row, int column, int value);
    HRESULT getClip(int channel, int selector, int* value);
    HRESULT setClip(int channel, int selector, int value);

    IUnknown* owner_;
    ds::CritSec lock_;
    EqualizerEngine engine_;
    AnalyzerRing ring_;
    std::atomic<bool> ringClaimed_{false};
    StreamFormat format_{};
    NotifyTable notify_;
    std::atomic<bool> settingsChanged_{false};
    std::atomic<bool> connected_{false};
    int editorOpen_ = 0;
    int editorState_ = -1;
};

}  // namespace qv
