#include "FilterModel.h"

namespace qv {
namespace {

using Getter = HRESULT (STDMETHODCALLTYPE IEqualizerControl::*)(int, int*);
using Setter = HRESULT (STDMETHODCALLTYPE IEqualizerControl::*)(int, int);

// The per-column operations of each parameter row; each setter clamps in the filter as the editor
// does, under the engine's lock.
struct RowAccess {
    Getter get;
    Setter set;
};
const RowAccess kRowAccess[kRows] = {
    {&IEqualizerControl::GetEnabled, &IEqualizerControl::SetEnabled},
    {&IEqualizerControl::GetFilterType, &IEqualizerControl::SetFilterType},
    {&IEqualizerControl::GetFrequency, &IEqualizerControl::SetFrequency},
    {&IEqualizerControl::GetQ, &IEqualizerControl::SetQ},
    {&IEqualizerControl::GetGain, &IEqualizerControl::SetGain},
};

}  // namespace

int32_t FilterModel::value(int index)
{
    int v = 0;
    if (control_ && isValidIndex(index))
        (control_.get()->*kRowAccess[rowOf(index)].get)(columnOf(index), &v);
    return v;
}

void FilterModel::store(int index, int32_t value)
{
    if (control_ && isValidIndex(index))
        (control_.get()->*kRowAccess[rowOf(index)].set)(columnOf(index), value);
}

int FilterModel::currentSetup()
{
    int setup = 0;
    if (control_)
        control_->GetCurrentSetup(&setup);
    return setup;
}

void FilterModel::selectSetup(int setup)
{
    if (control_)
        control_->SelectSetup(setup);
}

void FilterModel::copySetup(int from, int to)
{
    if (control_)
        control_->CopySetup(from, to);
}

void FilterModel::snapshotForUndo(int tag)
{
    if (control_)
        control_->SnapshotForUndo(tag);
}

void FilterModel::undo()
{
    if (control_)
        control_->Undo();
}

bool FilterModel::bypassed()
{
    int on = 0;
    if (control_)
        control_->IsBypassed(&on);
    return on != 0;
}

void FilterModel::setBypass(bool on)
{
    if (control_)
        control_->SetBypass(on ? 1 : 0);
}

void FilterModel::designDisplay()
{
    if (control_)
        control_->DesignCoefficients();
}

BandRecord* FilterModel::bandRecord(int column)
{
    BandRecord* record = nullptr;
    if (control_ && FAILED(control_->GetBandRecord(column, &record)))
        record = nullptr;
    return record;
}

void FilterModel::readPeaks(float& left, float& right)
{
    left = control_ ? control_->ReadPeakLeft() : 0.0f;
    right = control_ ? control_->ReadPeakRight() : 0.0f;
}

int32_t FilterModel::clipCounter(int channel, int pair)
{
    int v = 0;
    if (control_)
        (channel == 0 ? control_->GetClipCounterLeft(pair, &v) : control_->GetClipCounterRight(pair, &v));
    return v;
}

void FilterModel::setClipCounter(int channel, int pair, int32_t value)
{
    if (control_)
        (channel == 0 ? control_->SetClipCounterLeft(pair, value) : control_->SetClipCounterRight(pair, value));
}

float FilterModel::sampleRate()
{
    WAVEFORMATEX format{};
    if (!control_ || control_->GetStreamFormat(&format) != S_OK)
        return 0.0f;  // no format connected: the editor bounds frequencies as for 44100 Hz
    return static_cast<float>(format.nSamplesPerSec);
}

int32_t FilterModel::currentPreset()
{
    int id = -1;
    if (control_)
        control_->GetEditorState(&id);
    return id;
}

void FilterModel::setCurrentPreset(int32_t id)
{
    if (control_)
        control_->SetEditorState(id);
}

void FilterModel::setEditorOpen(bool open)
{
    if (control_)
        control_->SetEditorOpen(open ? 1 : 0);
}

bool FilterModel::editorOpen()
{
    int open = 0;
    if (control_)
        control_->GetEditorOpen(&open);
    return open != 0;
}

AnalyzerRing* FilterModel::claimAnalyzerRing()
{
    releaseAnalyzerRing();
    AnalyzerRing* ring = nullptr;
    // A filter in another process or of another build answers no: the page then shows no analyzer.
    if (!control_ ||
        FAILED(control_->QueryInterface(IID_IEqualizerAnalyzer, reinterpret_cast<void**>(analyzer_.put()))) ||
        !analyzer_)
        return nullptr;
    if (FAILED(analyzer_->ClaimAnalyzerRing(&ring)) || !ring) {
        analyzer_.reset();
        return nullptr;
    }
    return ring;
}

void FilterModel::releaseAnalyzerRing()
{
    if (analyzer_)
        analyzer_->ReleaseAnalyzerRing();
    analyzer_.reset();
}

}  // namespace qv
