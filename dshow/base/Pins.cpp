#include "Pins.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "Enumerators.h"

namespace qv::ds {
namespace {

bool isPartial(const AM_MEDIA_TYPE* mt)
{
    return IsEqualGUID(mt->majortype, GUID_NULL) || IsEqualGUID(mt->subtype, GUID_NULL) ||
           IsEqualGUID(mt->formattype, GUID_NULL);
}

// Whether a full type fits what a caller's partial type fixes.
bool matchesPartial(const AM_MEDIA_TYPE& mt, const AM_MEDIA_TYPE* partial)
{
    if (!partial)
        return true;
    if (!IsEqualGUID(partial->majortype, GUID_NULL) && !IsEqualGUID(partial->majortype, mt.majortype))
        return false;
    if (!IsEqualGUID(partial->subtype, GUID_NULL) && !IsEqualGUID(partial->subtype, mt.subtype))
        return false;
    if (!IsEqualGUID(partial->formattype, GUID_NULL) && !IsEqualGUID(partial->formattype, mt.formattype))
        return false;
    return true;
}

// A new memory allocator; nothing held and the failure when none could be made.
HRESULT newMemoryAllocator(ComPtr<IMemAllocator>& out)
{
    IMemAllocator* created = nullptr;
    const HRESULT hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                        reinterpret_cast<void**>(&created));
    out.attach(SUCCEEDED(hr) ? created : nullptr);
    return hr;
}

}  // namespace

// ---- CBasePin ----------------------------------------------------------------------------------------

CBasePin::CBasePin(CBaseFilter* filter, CritSec& lock, const WCHAR* name, PIN_DIRECTION direction)
    : CUnknown(nullptr), filter_(filter), lock_(lock), direction_(direction)
{
    if (name) {
        std::wcsncpy(name_, name, MAX_PIN_NAME - 1);
        name_[MAX_PIN_NAME - 1] = L'\0';
    }
}

HRESULT STDMETHODCALLTYPE CBasePin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IPin) || IsEqualIID(riid, IID_IUnknown))
        return GetInterface(static_cast<IPin*>(this), ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT CBasePin::GetMediaType(int, MediaType&) { return VFW_S_NO_MORE_ITEMS; }

HRESULT CBasePin::SetMediaType(const AM_MEDIA_TYPE* mt) { return mt_.set(mt); }

HRESULT CBasePin::CheckConnect(IPin* pin)
{
    PIN_DIRECTION other;
    if (FAILED(pin->QueryDirection(&other)))
        return E_FAIL;
    return other == direction_ ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::beginConnection(IPin* other)
{
    if (peer_)
        return VFW_E_ALREADY_CONNECTED;
    if (!filter_->isStopped())
        return VFW_E_NOT_STOPPED;
    const HRESULT hr = CheckConnect(other);
    if (FAILED(hr))
        BreakConnect();
    return hr;
}

void CBasePin::dropConnection()
{
    BreakConnect();
    peer_.reset();
    mt_.clear();
}

HRESULT CBasePin::attemptConnection(IPin* receive, const AM_MEDIA_TYPE* mt)
{
    if (CheckMediaType(mt) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    peer_.reset(receive);
    HRESULT hr = SetMediaType(mt);
    if (SUCCEEDED(hr)) {
        hr = receive->ReceiveConnection(static_cast<IPin*>(this), mt);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(receive);
            if (SUCCEEDED(hr))
                return S_OK;
            receive->Disconnect();
        }
    }
    dropConnection();
    return FAILED(hr) ? hr : E_FAIL;
}

HRESULT CBasePin::tryTypes(IPin* receive, const AM_MEDIA_TYPE* partial, IEnumMediaTypes* types)
{
    HRESULT last = VFW_E_NO_ACCEPTABLE_TYPES;
    AM_MEDIA_TYPE* mt = nullptr;
    ULONG fetched = 0;
    while (types->Next(1, &mt, &fetched) == S_OK && fetched == 1 && mt) {
        const bool fits = matchesPartial(*mt, partial);
        const HRESULT hr = fits ? attemptConnection(receive, mt) : VFW_E_NO_ACCEPTABLE_TYPES;
        deleteMediaType(mt);
        mt = nullptr;
        if (SUCCEEDED(hr))
            return hr;
        if (fits)
            last = hr;
    }
    return last;
}

HRESULT STDMETHODCALLTYPE CBasePin::Connect(IPin* receive, const AM_MEDIA_TYPE* mt)
{
    if (!receive)
        return E_POINTER;
    AutoLock lock(lock_);
    HRESULT hr = beginConnection(receive);
    if (FAILED(hr))
        return hr;
    if (mt && !isPartial(mt)) {
        hr = attemptConnection(receive, mt);
        return SUCCEEDED(hr) ? hr : VFW_E_NO_ACCEPTABLE_TYPES;
    }
    // Our own types first, then the receiver's.
    ComPtr<IEnumMediaTypes> types;
    if (SUCCEEDED(EnumMediaTypes(types.put())) && types) {
        hr = tryTypes(receive, mt, types.get());
        if (SUCCEEDED(hr))
            return hr;
    }
    if (SUCCEEDED(receive->EnumMediaTypes(types.put())) && types) {
        hr = tryTypes(receive, mt, types.get());
        if (SUCCEEDED(hr))
            return hr;
    }
    BreakConnect();
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT STDMETHODCALLTYPE CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt)
{
    if (!connector || !mt)
        return E_POINTER;
    AutoLock lock(lock_);
    HRESULT hr = beginConnection(connector);
    if (FAILED(hr))
        return hr;
    if (CheckMediaType(mt) != S_OK) {
        BreakConnect();
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    peer_.reset(connector);
    hr = SetMediaType(mt);
    if (SUCCEEDED(hr))
        hr = CompleteConnect(connector);
    if (FAILED(hr)) {
        dropConnection();
        return hr;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::Disconnect()
{
    AutoLock lock(lock_);
    if (!filter_->isStopped())
        return VFW_E_NOT_STOPPED;
    if (!peer_)
        return S_FALSE;
    dropConnection();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::ConnectedTo(IPin** pin)
{
    if (!pin)
        return E_POINTER;
    AutoLock lock(lock_);
    *pin = peer_.get();
    if (!peer_)
        return VFW_E_NOT_CONNECTED;
    peer_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* mt)
{
    if (!mt)
        return E_POINTER;
    AutoLock lock(lock_);
    if (!peer_) {
        ZeroMemory(mt, sizeof *mt);
        return VFW_E_NOT_CONNECTED;
    }
    return copyMediaType(mt, &mt_.get());
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryPinInfo(PIN_INFO* info)
{
    if (!info)
        return E_POINTER;
    info->pFilter = static_cast<IBaseFilter*>(filter_);
    info->pFilter->AddRef();
    std::wcsncpy(info->achName, name_, MAX_PIN_NAME - 1);
    info->achName[MAX_PIN_NAME - 1] = L'\0';
    info->dir = direction_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryDirection(PIN_DIRECTION* direction) { return answer(direction, direction_); }

HRESULT STDMETHODCALLTYPE CBasePin::QueryId(LPWSTR* id)
{
    if (!id)
        return E_POINTER;
    const size_t bytes = (std::wcslen(name_) + 1) * sizeof(WCHAR);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id)
        return E_OUTOFMEMORY;
    std::memcpy(*id, name_, bytes);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryAccept(const AM_MEDIA_TYPE* mt)
{
    if (!mt)
        return E_POINTER;
    return CheckMediaType(mt) == S_OK ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CBasePin::EnumMediaTypes(IEnumMediaTypes** out)
{
    if (!out)
        return E_POINTER;
    std::vector<MediaType*> owned;
    std::vector<const AM_MEDIA_TYPE*> types;
    for (int i = 0; i < 16; ++i) {
        auto* mt = new (std::nothrow) MediaType;
        if (!mt)
            break;
        if (GetMediaType(i, *mt) != S_OK) {
            delete mt;
            break;
        }
        owned.push_back(mt);
        types.push_back(&mt->get());
    }
    const HRESULT hr = createMediaTypeEnumerator(types, out);
    for (MediaType* mt : owned)
        delete mt;
    return hr;
}

HRESULT STDMETHODCALLTYPE CBasePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CBasePin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

// ---- CBaseInputPin -----------------------------------------------------------------------------------

CBaseInputPin::CBaseInputPin(CBaseFilter* filter, CritSec& lock, const WCHAR* name)
    : CBasePin(filter, lock, name, PINDIR_INPUT)
{}

HRESULT STDMETHODCALLTYPE CBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IMemInputPin))
        return GetInterface(static_cast<IMemInputPin*>(this), ppv);
    return CBasePin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CBaseInputPin::BreakConnect()
{
    if (allocator_)
        allocator_->Decommit();
    allocator_.reset();
    return S_OK;
}

HRESULT CBaseInputPin::Active()
{
    runtimeError_ = false;
    flushing_ = false;
    return S_OK;
}

HRESULT CBaseInputPin::Inactive()
{
    runtimeError_ = false;
    flushing_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::BeginFlush()
{
    flushing_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::EndFlush()
{
    flushing_ = false;
    runtimeError_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator)
        return E_POINTER;
    AutoLock lock(lock_);
    if (!allocator_) {
        const HRESULT hr = newMemoryAllocator(allocator_);
        if (FAILED(hr)) {
            *allocator = nullptr;
            return hr;
        }
    }
    return GetInterface(allocator_.get(), reinterpret_cast<void**>(allocator));
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly)
{
    if (!allocator)
        return E_POINTER;
    AutoLock lock(lock_);
    allocator_.reset(allocator);
    readOnly_ = readOnly;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT CBaseInputPin::CheckStreaming()
{
    if (!IsConnected())
        return VFW_E_NOT_CONNECTED;
    if (filter_->isStopped())
        return VFW_E_WRONG_STATE;
    if (flushing_)
        return S_FALSE;
    if (runtimeError_)
        return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::Receive(IMediaSample* sample)
{
    if (!sample)
        return E_POINTER;
    return CheckStreaming();
}

HRESULT STDMETHODCALLTYPE CBaseInputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed)
{
    if (!samples || !processed)
        return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK)
            break;
        ++*processed;
    }
    return hr;
}

// ---- CBaseOutputPin ----------------------------------------------------------------------------------

CBaseOutputPin::CBaseOutputPin(CBaseFilter* filter, CritSec& lock, const WCHAR* name)
    : CBasePin(filter, lock, name, PINDIR_OUTPUT)
{}

HRESULT CBaseOutputPin::CheckConnect(IPin* pin)
{
    HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr))
        return hr;
    IMemInputPin* input = nullptr;
    hr = pin->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&input));
    inputPin_.attach(SUCCEEDED(hr) ? input : nullptr);
    return inputPin_ ? S_OK : VFW_E_NO_TRANSPORT;
}

HRESULT CBaseOutputPin::CompleteConnect(IPin*)
{
    if (!inputPin_)
        return E_UNEXPECTED;
    return DecideAllocator(inputPin_.get(), allocator_.put());
}

HRESULT CBaseOutputPin::BreakConnect()
{
    if (allocator_)
        allocator_->Decommit();
    allocator_.reset();
    inputPin_.reset();
    return S_OK;
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator)
{
    *allocator = nullptr;
    ALLOCATOR_PROPERTIES request{};
    pin->GetAllocatorRequirements(&request);
    if (request.cbAlign == 0)
        request.cbAlign = 1;
    // The downstream pin's allocator first, then one of our own.
    ComPtr<IMemAllocator> chosen;
    HRESULT hr = pin->GetAllocator(chosen.put());
    if (SUCCEEDED(hr) && chosen) {
        hr = DecideBufferSize(chosen.get(), &request);
        if (SUCCEEDED(hr))
            hr = pin->NotifyAllocator(chosen.get(), FALSE);
        if (SUCCEEDED(hr)) {
            *allocator = chosen.detach();
            return S_OK;
        }
    }
    hr = newMemoryAllocator(chosen);
    if (FAILED(hr))
        return hr;
    hr = DecideBufferSize(chosen.get(), &request);
    if (SUCCEEDED(hr))
        hr = pin->NotifyAllocator(chosen.get(), FALSE);
    if (SUCCEEDED(hr))
        *allocator = chosen.detach();
    return hr;
}

HRESULT CBaseOutputPin::Active() { return allocator_ ? allocator_->Commit() : VFW_E_NO_ALLOCATOR; }

HRESULT CBaseOutputPin::Inactive() { return allocator_ ? allocator_->Decommit() : S_OK; }

HRESULT CBaseOutputPin::Deliver(IMediaSample* sample)
{
    if (!inputPin_)
        return VFW_E_NOT_CONNECTED;
    return inputPin_->Receive(sample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream()
{
    IPin* p = peer();
    return p ? p->EndOfStream() : VFW_E_NOT_CONNECTED;
}

HRESULT CBaseOutputPin::DeliverBeginFlush()
{
    IPin* p = peer();
    return p ? p->BeginFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CBaseOutputPin::DeliverEndFlush()
{
    IPin* p = peer();
    return p ? p->EndFlush() : VFW_E_NOT_CONNECTED;
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    IPin* p = peer();
    return p ? p->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}

}  // namespace qv::ds
