#pragma once
// The equalizer as an in-place audio transform: 16-bit PCM or 32-bit float, one or two channels,
// through the engine. Beside the filter interfaces it answers IEqualizerControl, IPersistStream,
// IPresetList and ISpecifyPropertyPages.

#include <windows.h>
#include <ocidl.h>

#include "EqualizerControl.h"
#include "IEqualizerControl.h"
#include "base/TransformFilter.h"

namespace qv {

// The filter's description for the filter mapper.
extern const ds::AMOVIESETUP_FILTER kEqualizerSetup;

class EqualizerFilter : public ds::CTransInPlaceFilter,
                        public ISpecifyPropertyPages,
                        public IPersistStream,
                        public IPresetList {
public:
    static ds::CUnknown* CreateInstance(IUnknown* outer, HRESULT* hr);
    ~EqualizerFilter() override;

    QV_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    const ds::AMOVIESETUP_FILTER* GetSetupData() override;
    HRESULT CheckInputType(const AM_MEDIA_TYPE* mt) override;
    HRESULT SetMediaType(PIN_DIRECTION direction, const AM_MEDIA_TYPE* mt) override;
    HRESULT BreakConnect(PIN_DIRECTION direction) override;
    HRESULT StartStreaming() override;
    HRESULT StopStreaming() override;
    HRESULT Transform(IMediaSample* sample) override;

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;
    // IPersistStream (GetClassID is the filter's)
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override { return CBaseFilter::GetClassID(clsid); }
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    // IPresetList
    HRESULT STDMETHODCALLTYPE GetPresetCount(int* count) override;
    HRESULT STDMETHODCALLTYPE GetPresetName(int index, WCHAR* buffer, int length) override;
    HRESULT STDMETHODCALLTYPE SelectPreset(int index) override;

private:
    explicit EqualizerFilter(IUnknown* outer);
    // Float room for `count` samples, kept from buffer to buffer and grown only when a larger one
    // comes; null when the memory is not there. Streaming thread only.
    float* scratch(size_t count);

    EqualizerControl control_;
    float* scratch_ = nullptr;
    size_t scratchCount_ = 0;
};

}  // namespace qv
