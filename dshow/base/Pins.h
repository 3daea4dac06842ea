#pragma once
// Pins: the connection protocol (IPin), the input side's IMemInputPin, and the output side's
// allocator negotiation and delivery. A pin's references are its filter's.

#include <windows.h>
#include <strmif.h>

#include "BaseFilter.h"
#include "ComBase.h"
#include "MediaType.h"

namespace qv::ds {

class CBasePin : public CUnknown, public IPin {
public:
    CBasePin(CBaseFilter* filter, CritSec& lock, const WCHAR* name, PIN_DIRECTION direction);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        return NonDelegatingQueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return filter_->GetOwner()->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return filter_->GetOwner()->Release(); }
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // Hooks for derived pins.
    virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE* mt) = 0;
    virtual HRESULT GetMediaType(int position, MediaType& out);  // VFW_S_NO_MORE_ITEMS past the end
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* mt);
    virtual HRESULT CheckConnect(IPin* pin);
    virtual HRESULT CompleteConnect(IPin*) { return S_OK; }
    virtual HRESULT BreakConnect() { return S_OK; }
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }
    virtual HRESULT Run(REFERENCE_TIME) { return S_OK; }

    bool IsConnected() const { return static_cast<bool>(peer_); }
    IPin* peer() const { return peer_.get(); }
    const MediaType& mediaType() const { return mt_; }
    const WCHAR* Name() const { return name_; }

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin* receive, const AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** out) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

protected:
    CBaseFilter* filter_;
    CritSec& lock_;

private:
    // The checks both ends of a connection make first (under the pin lock); a refusal is undone.
    HRESULT beginConnection(IPin* other);
    HRESULT attemptConnection(IPin* receive, const AM_MEDIA_TYPE* mt);
    HRESULT tryTypes(IPin* receive, const AM_MEDIA_TYPE* partial, IEnumMediaTypes* types);
    void dropConnection();

    WCHAR name_[MAX_PIN_NAME] = {};
    PIN_DIRECTION direction_;
    ComPtr<IPin> peer_;
    MediaType mt_;
};

class CBaseInputPin : public CBasePin, public IMemInputPin {
public:
    CBaseInputPin(CBaseFilter* filter, CritSec& lock, const WCHAR* name);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        return NonDelegatingQueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return filter_->GetOwner()->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return filter_->GetOwner()->Release(); }
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT BreakConnect() override;
    HRESULT Inactive() override;
    HRESULT Active() override;

    // IPin (input side)
    HRESULT STDMETHODCALLTYPE BeginFlush() override;
    HRESULT STDMETHODCALLTYPE EndFlush() override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return S_OK; }

    // IMemInputPin
    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override { return S_OK; }

    // S_OK while samples may be received; otherwise the reason to refuse them.
    HRESULT CheckStreaming();
    IMemAllocator* allocator() const { return allocator_.get(); }
    bool readOnly() const { return readOnly_ != FALSE; }
    bool flushing() const { return flushing_; }
    void setRuntimeError() { runtimeError_ = true; }
    void BeginFlushLocal() { flushing_ = true; }

protected:
    ComPtr<IMemAllocator> allocator_;
    BOOL readOnly_ = FALSE;
    volatile bool flushing_ = false;
    volatile bool runtimeError_ = false;
};

class CBaseOutputPin : public CBasePin {
public:
    CBaseOutputPin(CBaseFilter* filter, CritSec& lock, const WCHAR* name);

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT CompleteConnect(IPin* receive) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    virtual HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator);
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;

    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    // Output pins get no stream events from their peer.
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }

    IMemAllocator* allocator() const { return allocator_.get(); }
    IMemInputPin* inputPin() const { return inputPin_.get(); }

protected:
    ComPtr<IMemAllocator> allocator_;
    ComPtr<IMemInputPin> inputPin_;
};

}  // namespace qv::ds
