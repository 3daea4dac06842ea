#include "EqualizerFilter.h"

#include <mmreg.h>
#include <uuids.h>

#include <cstring>
#include <new>

#include "FactoryPresets.h"
#include "SampleConvert.h"
#include "SettingsBlock.h"

namespace qv {
namespace {

const REGPINTYPES kPinType = {&MEDIATYPE_Audio, &MEDIASUBTYPE_NULL};

const ds::AMOVIESETUP_PIN kPins[2] = {
    {const_cast<LPWSTR>(L"Input"), FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, const_cast<LPWSTR>(L"Output"), 1,
     &kPinType},
    {const_cast<LPWSTR>(L"Output"), FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, const_cast<LPWSTR>(L"Input"), 1, &kPinType},
};

constexpr DWORD kMeritDoNotUse = 0x00200000;

}  // namespace

const ds::AMOVIESETUP_FILTER kEqualizerSetup = {&CLSID_qvEqualizer, L"Zorvath qv:Equalizer R3", kMeritDoNotUse, 2,
                                                kPins};

namespace {

// Reads exactly `size` bytes; a short read is a failure, not a partial record.
HRESULT readAll(IStream* stream, void* data, ULONG size)
{
    ULONG got = 0;
    const HRESULT hr = stream->Read(data, size, &got);
    if (FAILED(hr))
        return hr;
    return got == size ? S_OK : E_FAIL;
}

HRESULT writeAll(IStream* stream, const void* data, ULONG size)
{
    ULONG put = 0;
    const HRESULT hr = stream->Write(data, size, &put);
    if (FAILED(hr))
        return hr;
    return put == size ? S_OK : STG_E_MEDIUMFULL;
}

SubFormat subtypeOf(const AM_MEDIA_TYPE& mt)
{
    if (IsEqualGUID(mt.subtype, MEDIASUBTYPE_PCM))
        return SubFormat::Pcm;
    if (IsEqualGUID(mt.subtype, MEDIASUBTYPE_IEEE_FLOAT))
        return SubFormat::Float;
    return SubFormat::Unknown;
}

}  // namespace

EqualizerFilter::EqualizerFilter(IUnknown* outer) : CTransInPlaceFilter(CLSID_qvEqualizer, outer), control_(GetOwner())
{
    SelectPreset(0);
}

EqualizerFilter::~EqualizerFilter()
{
    if (scratch_)
        HeapFree(GetProcessHeap(), 0, scratch_);
}

float* EqualizerFilter::scratch(size_t count)
{
    if (count <= scratchCount_ && scratch_)
        return scratch_;
    if (count > static_cast<size_t>(-1) / sizeof(float))
        return nullptr;
    const size_t bytes = count ? count * sizeof(float) : sizeof(float);
    void* grown = scratch_ ? HeapReAlloc(GetProcessHeap(), 0, scratch_, bytes) : HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!grown)
        return nullptr;  // the old block, if any, stays ours
    scratch_ = static_cast<float*>(grown);
    scratchCount_ = count;
    return scratch_;
}

ds::CUnknown* EqualizerFilter::CreateInstance(IUnknown* outer, HRESULT* hr)
{
    auto* filter = new (std::nothrow) EqualizerFilter(outer);
    if (!filter || !filter->input() || !filter->output()) {
        delete filter;
        if (hr)
            *hr = E_OUTOFMEMORY;
        return nullptr;
    }
    return filter;
}

HRESULT STDMETHODCALLTYPE EqualizerFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IEqualizerControl))
        return ds::GetInterface(static_cast<IEqualizerControl*>(&control_), ppv);
    if (IsEqualIID(riid, IID_IEqualizerAnalyzer))
        return ds::GetInterface(static_cast<IEqualizerAnalyzer*>(&control_), ppv);
    if (IsEqualIID(riid, IID_ISpecifyPropertyPages))
        return ds::GetInterface(static_cast<ISpecifyPropertyPages*>(this), ppv);
    if (IsEqualIID(riid, IID_IPersistStream))
        return ds::GetInterface(static_cast<IPersistStream*>(this), ppv);
    if (IsEqualIID(riid, IID_IPresetList))
        return ds::GetInterface(static_cast<IPresetList*>(this), ppv);
    return CTransInPlaceFilter::NonDelegatingQueryInterface(riid, ppv);
}

const ds::AMOVIESETUP_FILTER* EqualizerFilter::GetSetupData() { return &kEqualizerSetup; }

HRESULT EqualizerFilter::CheckInputType(const AM_MEDIA_TYPE* mt)
{
    if (!mt)
        return E_POINTER;
    if (!IsEqualGUID(mt->majortype, MEDIATYPE_Audio) || mt->bTemporalCompression)
        return E_INVALIDARG;
    StreamFormat format;
    if (!acceptAudioFormat(mt->pbFormat, mt->pbFormat ? mt->cbFormat : 0, subtypeOf(*mt), format))
        return E_INVALIDARG;
    return S_OK;
}

HRESULT EqualizerFilter::SetMediaType(PIN_DIRECTION direction, const AM_MEDIA_TYPE* mt)
{
    StreamFormat format;
    if (!mt || !acceptAudioFormat(mt->pbFormat, mt->pbFormat ? mt->cbFormat : 0, subtypeOf(*mt), format))
        return E_INVALIDARG;
    control_.setFormat(format);
    if (direction == PINDIR_INPUT)
        control_.setConnected(true);
    control_.post(direction == PINDIR_INPUT ? kNoticeInputTypeSet : kNoticeOutputTypeSet);
    return S_OK;
}

HRESULT EqualizerFilter::BreakConnect(PIN_DIRECTION direction)
{
    if (direction == PINDIR_INPUT) {
        control_.setConnected(false);
        control_.clearFormat();
    }
    return S_OK;
}

HRESULT EqualizerFilter::StartStreaming()
{
    control_.startStream();
    return S_OK;
}

HRESULT EqualizerFilter::StopStreaming()
{
    control_.stopStream();
    return S_OK;
}

HRESULT EqualizerFilter::Transform(IMediaSample* sample)
{
    const StreamFormat format = control_.format();
    if (format.blockAlign == 0)
        return VFW_E_NOT_CONNECTED;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data)
        return E_UNEXPECTED;
    long length = sample->GetActualDataLength();
    const long size = sample->GetSize();
    // Never trust a length beyond the buffer itself.
    if (length < 0)
        length = 0;
    if (size >= 0 && length > size)
        length = size;
    uint32_t frames = static_cast<uint32_t>(length) / format.blockAlign;
    const int channels = format.channels;
    const size_t count = static_cast<size_t>(frames) * channels;

    ParameterRecord snapshot;
    bool changed = false;
    control_.takeSnapshot(snapshot, changed);

    const bool pcm16 = format.tag == kTagPcm;
    if (!pcm16 && reinterpret_cast<uintptr_t>(data) % alignof(float) == 0) {
        const HRESULT hr =
            control_.processInterleaved(reinterpret_cast<float*>(data), &frames, channels, snapshot, changed) == 0
                ? S_OK
                : E_FAIL;
        sample->SetActualDataLength(static_cast<long>(frames * format.blockAlign));
        return hr;
    }

    // 16-bit samples, and float samples at a misaligned address, go through an aligned float copy,
    // whole, so that the meters see the whole buffer.
    float* floats = scratch(count);
    if (!floats)
        return E_OUTOFMEMORY;
    if (pcm16)
        pcm16ToFloat(data, floats, count);
    else
        std::memcpy(floats, data, count * sizeof(float));
    const HRESULT hr = control_.processInterleaved(floats, &frames, channels, snapshot, changed) == 0 ? S_OK : E_FAIL;
    const size_t done = static_cast<size_t>(frames) * channels;
    if (pcm16)
        floatToPcm16(floats, data, done);
    else
        std::memcpy(data, floats, done * sizeof(float));
    sample->SetActualDataLength(static_cast<long>(frames * format.blockAlign));
    return hr;
}

// ---- ISpecifyPropertyPages ---------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE EqualizerFilter::GetPages(CAUUID* pages)
{
    if (!pages)
        return E_POINTER;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
    // No count without the block: a caller must never walk a null array.
    pages->cElems = pages->pElems ? 1 : 0;
    if (!pages->pElems)
        return E_OUTOFMEMORY;
    pages->pElems[0] = CLSID_qvEqualizerPropertyPage;
    return S_OK;
}

// ---- IPersistStream ----------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE EqualizerFilter::IsDirty() { return control_.settingsChanged() ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE EqualizerFilter::Load(IStream* stream)
{
    if (!stream)
        return E_POINTER;
    uint8_t header[kSettingsHeaderSize];
    HRESULT hr = readAll(stream, header, sizeof header);
    if (FAILED(hr))
        return hr;
    if (!isSettingsHeader(header))
        return E_FAIL;
    uint8_t body[kSettingsRecordSize];
    hr = readAll(stream, body, sizeof body);
    if (FAILED(hr))
        return hr;
    const ParameterRecord record = decodeSettingsRecord(body);
    hr = control_.SetParameters(&record);
    if (FAILED(hr))
        return hr;
    control_.post(kNoticeSettingsLoaded);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerFilter::Save(IStream* stream, BOOL clearDirty)
{
    if (!stream)
        return E_POINTER;
    uint8_t header[kSettingsHeaderSize];
    encodeSettingsHeader(header);
    HRESULT hr = writeAll(stream, header, sizeof header);
    if (FAILED(hr))
        return hr;
    ParameterRecord record;
    control_.GetParameters(&record);
    uint8_t body[kSettingsRecordSize];
    encodeSettingsRecord(record, body);
    hr = writeAll(stream, body, sizeof body);
    if (FAILED(hr))
        return hr;
    control_.setSettingsChanged(!clearDirty);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerFilter::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size)
        return E_POINTER;
    size->QuadPart = kSettingsBlockSize;
    return S_OK;
}

// ---- IPresetList -------------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE EqualizerFilter::GetPresetCount(int* count) { return ds::answer(count, kFactoryPresetCount); }

HRESULT STDMETHODCALLTYPE EqualizerFilter::GetPresetName(int index, WCHAR* buffer, int length)
{
    if (index < 0 || index >= kFactoryPresetCount)
        return E_INVALIDARG;
    if (!buffer)
        return E_POINTER;
    if (length <= 0)
        return E_INVALIDARG;
    WCHAR wide[64];
    const int n = MultiByteToWideChar(CP_ACP, 0, kFactoryPresets[index].name, -1, wide, 64);
    if (n <= 0)
        return E_FAIL;
    const int copy = n < length ? n : length;
    std::memcpy(buffer, wide, static_cast<size_t>(copy) * sizeof(WCHAR));
    buffer[copy - 1] = L'\0';
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EqualizerFilter::SelectPreset(int index)
{
    if (index < 0 || index >= kFactoryPresetCount)
        return E_INVALIDARG;
    return control_.SetParameters(&kFactoryPresets[index].record);
}

}  // namespace qv
