#pragma once
// A one-input, one-output transform (CTransformFilter) and its in-place form (CTransInPlaceFilter):
// the output pin offers the upstream allocator downstream so each sample is processed in place and
// passed on; only when downstream refuses that allocator (or the upstream samples are read-only)
// is a sample copied into a downstream buffer.

#include "BaseFilter.h"
#include "Pins.h"
#include "SeekingPassThru.h"

namespace qv::ds {

class CTransformFilter;

class CTransformInputPin : public CBaseInputPin {
public:
    CTransformInputPin(CTransformFilter* filter, CritSec& lock);
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE* mt) override;
    HRESULT BreakConnect() override;
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    CTransformFilter* transform_;
};

class CTransformOutputPin : public CBaseOutputPin {
public:
    CTransformOutputPin(CTransformFilter* filter, CritSec& lock);
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) override;
    HRESULT GetMediaType(int position, MediaType& out) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE* mt) override;
    HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT BreakConnect() override;

    // Agrees on buffers with downstream again after upstream changed its allocator.
    void renegotiate();
    // True when samples must be copied into downstream buffers.
    bool copying() const { return copying_; }

private:
    CTransformFilter* transform_;
    bool copying_ = false;
    SeekingPassThru seeking_;
};

class CTransformFilter : public CBaseFilter {
public:
    CTransformFilter(const CLSID& clsid, IUnknown* outer);
    ~CTransformFilter() override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;

    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;

    // Hooks of a transform.
    virtual HRESULT CheckInputType(const AM_MEDIA_TYPE* mt) = 0;
    virtual HRESULT CheckTransform(const AM_MEDIA_TYPE* in, const AM_MEDIA_TYPE* out) = 0;
    virtual HRESULT GetMediaType(int position, MediaType& out) = 0;
    virtual HRESULT SetMediaType(PIN_DIRECTION direction, const AM_MEDIA_TYPE* mt);
    virtual HRESULT BreakConnect(PIN_DIRECTION) { return S_OK; }
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT StopStreaming() { return S_OK; }
    virtual HRESULT Receive(IMediaSample* sample) = 0;

    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    CTransformInputPin* input() { return input_; }
    CTransformOutputPin* output() { return output_; }
    CritSec& receiveLock() { return receiveLock_; }

protected:
    CritSec filterLock_;
    CritSec receiveLock_;  // held while a sample is processed; Stop waits on it

private:
    CTransformInputPin* input_ = nullptr;
    CTransformOutputPin* output_ = nullptr;
};

class CTransInPlaceFilter : public CTransformFilter {
public:
    using CTransformFilter::CTransformFilter;

    HRESULT CheckTransform(const AM_MEDIA_TYPE*, const AM_MEDIA_TYPE*) override { return S_OK; }
    HRESULT GetMediaType(int, MediaType&) override { return E_UNEXPECTED; }
    // Transforms the sample (or its downstream copy) and delivers it; S_FALSE from Transform drops it.
    HRESULT Receive(IMediaSample* sample) override;
    virtual HRESULT Transform(IMediaSample* sample) = 0;

protected:
    // When the output copies, a downstream buffer holding a copy of `in` to work on; otherwise `copy`
    // stays empty and the received sample is worked on in place.
    HRESULT prepareOutput(IMediaSample* in, ComPtr<IMediaSample>& copy);
};

}  // namespace qv::ds
