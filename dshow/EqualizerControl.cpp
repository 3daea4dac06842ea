#include "EqualizerControl.h"

#include <vfwmsgs.h>

namespace qv {

using ds::answer;
using ds::AutoLock;

namespace {
bool validColumn(int column) { return column >= 0 && column < kColumns; }

// A getter's answer: what `read` gives under `lock`, into the caller's `out` (E_POINTER for none).
template <class T, class Read>
HRESULT readLocked(ds::CritSec& lock, T* out, Read read)
{
    AutoLock hold(lock);
    return answer(out, read());
}
}  // namespace

HRESULT STDMETHODCALLTYPE EqualizerControl::GetParameters(ParameterRecord* record)
{
    return readLocked(lock_, record, [&] { return engine_.workingSetup(); });
}

HRESULT STDMETHODCALLTYPE EqualizerControl::SetParameters(const ParameterRecord* record)
{
    if (!record)
        return E_POINTER;
    const ParameterRecord copy = *record;  // read the caller's memory once
    AutoLock lock(lock_);
    engine_.replaceSetup(copy);
    settingsChanged_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::GetStreamFormat(WAVEFORMATEX* format)
{
    if (!format)
        return E_POINTER;
    AutoLock lock(lock_);
    if (format_.tag == 0)
        return VFW_E_NOT_CONNECTED;
    format->wFormatTag = format_.tag;
    format->nChannels = format_.channels;
    format->nSamplesPerSec = format_.samplesPerSec;
    format->nAvgBytesPerSec = format_.avgBytesPerSec;
    format->nBlockAlign = format_.blockAlign;
    format->wBitsPerSample = format_.bitsPerSample;
    format->cbSize = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::SetNotifyWindow(HWND window, WORD id)
{
    AutoLock lock(lock_);
    return notify_.registerWindow(window, id) ? S_OK : E_OUTOFMEMORY;
}

HRESULT EqualizerControl::get(int row, int column, int* value)
{
    if (!value)
        return E_POINTER;
    if (!validColumn(column))
        return E_INVALIDARG;
    AutoLock lock(lock_);
    *value = engine_.getValue(paramIndex(row, column));
    return S_OK;
}

HRESULT EqualizerControl::set(int row, int column, int value)
{
    if (!validColumn(column))
        return E_INVALIDARG;
    const int index = paramIndex(row, column);
    AutoLock lock(lock_);
    const int32_t type = engine_.getValue(paramIndex(kRowFilter, column));
    if (clampValue(index, value, type, engine_.freqLimit()) == engine_.getValue(index))
        return S_OK;
    engine_.setValue(index, value);
    settingsChanged_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::SetEnabled(int column, int value)
{
    return set(kRowEnabled, column, value != 0 ? 1 : 0);
}

HRESULT EqualizerControl::getClip(int channel, int selector, int* value)
{
    if (!value)
        return E_POINTER;
    if (selector != 0 && selector != 1)
        return E_INVALIDARG;
    *value = engine_.getClipCounter(channel, selector);
    return S_OK;
}

HRESULT EqualizerControl::setClip(int channel, int selector, int value)
{
    if (selector != 0 && selector != 1)
        return E_INVALIDARG;
    AutoLock lock(lock_);
    engine_.setClipCounter(channel, selector, value);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::DesignCoefficients()
{
    AutoLock lock(lock_);
    engine_.designDisplay(engine_.workingSetup());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::GetBandRecord(int column, BandRecord** record)
{
    if (!record)
        return E_POINTER;
    *record = engine_.bandRecord(column);
    return *record ? S_OK : E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::SetStreamFormat(const WAVEFORMATEX* format)
{
    if (!format)
        return E_POINTER;
    if (connected_)
        return VFW_E_ALREADY_CONNECTED;
    StreamFormat accepted;
    if (!acceptAudioFormat(reinterpret_cast<const uint8_t*>(format), 16, SubFormat::Unknown, accepted))
        return E_INVALIDARG;
    setFormat(accepted);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::SetEditorOpen(int open)
{
    AutoLock lock(lock_);
    editorOpen_ = open;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::GetEditorOpen(int* open)
{
    return readLocked(lock_, open, [&] { return editorOpen_; });
}

HRESULT STDMETHODCALLTYPE EqualizerControl::GetEditorState(int* value)
{
    return readLocked(lock_, value, [&] { return editorState_; });
}

HRESULT STDMETHODCALLTYPE EqualizerControl::SetEditorState(int value)
{
    AutoLock lock(lock_);
    editorState_ = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::IsBypassed(int* on) { return answer(on, engine_.isBypassed()); }

HRESULT STDMETHODCALLTYPE EqualizerControl::SetBypass(int on)
{
    AutoLock lock(lock_);
    engine_.setBypass(on);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::GetCurrentSetup(int* setup)
{
    return readLocked(lock_, setup, [&] { return engine_.currentSetup(); });
}

HRESULT STDMETHODCALLTYPE EqualizerControl::SelectSetup(int setup)
{
    if (setup != 0 && setup != 1)
        return E_INVALIDARG;
    AutoLock lock(lock_);
    engine_.selectSetup(setup);
    settingsChanged_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::CopySetup(int from, int to)
{
    AutoLock lock(lock_);
    engine_.copySetup(from, to);
    if (from == 1 && to == 0)
        settingsChanged_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::SnapshotForUndo(int tag)
{
    AutoLock lock(lock_);
    engine_.snapshotForUndo(tag);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::Undo()
{
    AutoLock lock(lock_);
    engine_.undo();
    settingsChanged_ = true;
    return S_OK;
}

void EqualizerControl::setFormat(const StreamFormat& format)
{
    AutoLock lock(lock_);
    format_ = format;
    engine_.setSampleRate(static_cast<float>(format.samplesPerSec));  // a new rate redesigns
}

void EqualizerControl::clearFormat()
{
    AutoLock lock(lock_);
    format_ = StreamFormat{};
    engine_.setSampleRate(0.0f);
}

StreamFormat EqualizerControl::format()
{
    AutoLock lock(lock_);
    return format_;
}

void EqualizerControl::takeSnapshot(ParameterRecord& record, bool& changed)
{
    AutoLock lock(lock_);
    record = engine_.workingSetup();
    changed = engine_.takeDirty();
}

void EqualizerControl::startStream()
{
    ParameterRecord snapshot;
    bool changed;
    takeSnapshot(snapshot, changed);
    engine_.startStream(snapshot);
}

void EqualizerControl::stopStream() { engine_.stopStream(); }

HRESULT STDMETHODCALLTYPE EqualizerControl::ClaimAnalyzerRing(AnalyzerRing** ring)
{
    if (!ring)
        return E_POINTER;
    *ring = nullptr;
    bool free = false;
    if (!ringClaimed_.compare_exchange_strong(free, true))
        return E_ACCESSDENIED;
    *ring = &ring_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerControl::ReleaseAnalyzerRing()
{
    ring_.detach();
    ringClaimed_.store(false);
    return S_OK;
}

void EqualizerControl::post(FilterNotice notice)
{
    AutoLock lock(lock_);
    for (int i = 0; i < NotifyTable::kSize; ++i) {
        NotifyEntry& e = notify_.entry(i);
        if (!e.window)
            continue;
        HWND window = static_cast<HWND>(e.window);
        if (IsWindow(window))
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(e.id, notice), 0);
        else
            e = NotifyEntry{};
    }
}

}  // namespace qv
