#include "TransformFilter.h"

#include <evcode.h>

#include <cstring>
#include <new>

namespace qv::ds {

// ---- input pin ---------------------------------------------------------------------------------------

CTransformInputPin::CTransformInputPin(CTransformFilter* filter, CritSec& lock)
    : CBaseInputPin(filter, lock, L"Input"), transform_(filter)
{}

HRESULT CTransformInputPin::CheckMediaType(const AM_MEDIA_TYPE* mt)
{
    HRESULT hr = transform_->CheckInputType(mt);
    if (hr != S_OK)
        return FAILED(hr) ? hr : E_FAIL;
    // In place, a type change upstream must suit downstream as well.
    CTransformOutputPin* out = transform_->output();
    if (out->IsConnected() && out->peer()->QueryAccept(mt) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CTransformInputPin::SetMediaType(const AM_MEDIA_TYPE* mt)
{
    HRESULT hr = CBasePin::SetMediaType(mt);
    if (FAILED(hr))
        return hr;
    return transform_->SetMediaType(PINDIR_INPUT, mt);
}

HRESULT CTransformInputPin::BreakConnect()
{
    transform_->BreakConnect(PINDIR_INPUT);
    return CBaseInputPin::BreakConnect();
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator)
        return E_POINTER;
    // Once downstream shares our buffers, upstream should fill the same ones.
    CTransformOutputPin* out = transform_->output();
    if (out->IsConnected() && !out->copying() && out->allocator())
        return GetInterface(out->allocator(), reinterpret_cast<void**>(allocator));
    return CBaseInputPin::GetAllocator(allocator);
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly)
{
    const HRESULT hr = CBaseInputPin::NotifyAllocator(allocator, readOnly);
    if (FAILED(hr))
        return hr;
    CTransformOutputPin* out = transform_->output();
    if (out->IsConnected() && (readOnly || allocator != out->allocator()) && !out->copying()) {
        // Downstream holds another allocator now: only copying keeps the stream correct.
        out->renegotiate();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::Receive(IMediaSample* sample)
{
    if (!sample)
        return E_POINTER;
    AutoLock lock(transform_->receiveLock());
    HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    AM_MEDIA_TYPE* mt = nullptr;
    if (sample->GetMediaType(&mt) == S_OK && mt) {
        hr = CheckMediaType(mt) == S_OK ? SetMediaType(mt) : VFW_E_INVALIDMEDIATYPE;
        deleteMediaType(mt);
        if (FAILED(hr)) {
            setRuntimeError();
            transform_->NotifyEvent(EC_ERRORABORT, hr, 0);
            return hr;
        }
    }
    return transform_->Receive(sample);
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::EndOfStream()
{
    AutoLock lock(transform_->receiveLock());
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr == S_FALSE ? S_OK : hr;
    return transform_->EndOfStream();
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::BeginFlush()
{
    AutoLock lock(transform_->filterLock());
    if (!IsConnected() || !transform_->output()->IsConnected())
        return VFW_E_NOT_CONNECTED;
    CBaseInputPin::BeginFlush();
    return transform_->BeginFlush();
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::EndFlush()
{
    AutoLock lock(transform_->filterLock());
    if (!IsConnected() || !transform_->output()->IsConnected())
        return VFW_E_NOT_CONNECTED;
    const HRESULT hr = transform_->EndFlush();
    CBaseInputPin::EndFlush();
    return hr;
}

HRESULT STDMETHODCALLTYPE CTransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return transform_->NewSegment(start, stop, rate);
}

// ---- output pin --------------------------------------------------------------------------------------

CTransformOutputPin::CTransformOutputPin(CTransformFilter* filter, CritSec& lock)
    : CBaseOutputPin(filter, lock, L"Output"), transform_(filter), seeking_(this, filter->input())
{}

HRESULT STDMETHODCALLTYPE CTransformOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && IsEqualIID(riid, IID_IMediaSeeking))
        return GetInterface(static_cast<IMediaSeeking*>(&seeking_), ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CTransformOutputPin::CheckMediaType(const AM_MEDIA_TYPE* mt)
{
    CTransformInputPin* in = transform_->input();
    if (!in->IsConnected())
        return VFW_E_NOT_CONNECTED;
    // Processing in place cannot change the format: downstream gets exactly the input's type.
    if (!equalMediaTypes(in->mediaType().get(), *mt))
        return VFW_E_TYPE_NOT_ACCEPTED;
    const HRESULT hr = transform_->CheckTransform(&in->mediaType().get(), mt);
    return hr == S_OK ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CTransformOutputPin::GetMediaType(int position, MediaType& out)
{
    CTransformInputPin* in = transform_->input();
    if (!in->IsConnected())
        return E_UNEXPECTED;
    if (position != 0)
        return VFW_S_NO_MORE_ITEMS;
    return out.set(&in->mediaType().get());
}

HRESULT CTransformOutputPin::SetMediaType(const AM_MEDIA_TYPE* mt)
{
    HRESULT hr = CBasePin::SetMediaType(mt);
    if (FAILED(hr))
        return hr;
    return transform_->SetMediaType(PINDIR_OUTPUT, mt);
}

HRESULT CTransformOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator)
{
    *allocator = nullptr;
    CTransformInputPin* in = transform_->input();
    IMemAllocator* upstream = in->allocator();
    if (upstream && !in->readOnly() && SUCCEEDED(pin->NotifyAllocator(upstream, FALSE))) {
        upstream->AddRef();
        *allocator = upstream;
        copying_ = false;
        return S_OK;
    }
    copying_ = true;
    return CBaseOutputPin::DecideAllocator(pin, allocator);
}

void CTransformOutputPin::renegotiate()
{
    if (!inputPin_)
        return;
    if (allocator_ && copying_)
        allocator_->Decommit();
    DecideAllocator(inputPin_.get(), allocator_.put());
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request)
{
    ALLOCATOR_PROPERTIES want = *request;
    ALLOCATOR_PROPERTIES upstream{};
    IMemAllocator* in = transform_->input()->allocator();
    if (in && SUCCEEDED(in->GetProperties(&upstream))) {
        if (upstream.cBuffers > want.cBuffers)
            want.cBuffers = upstream.cBuffers;
        if (upstream.cbBuffer > want.cbBuffer)
            want.cbBuffer = upstream.cbBuffer;
    }
    if (want.cBuffers < 1)
        want.cBuffers = 1;
    if (want.cbBuffer < 1)
        want.cbBuffer = 65536;
    if (want.cbAlign < 1)
        want.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&want, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= want.cbBuffer ? S_OK : E_FAIL;
}

HRESULT CTransformOutputPin::Active()
{
    // Shared buffers belong to upstream, which commits them.
    return copying_ && allocator_ ? allocator_->Commit() : S_OK;
}

HRESULT CTransformOutputPin::Inactive() { return copying_ && allocator_ ? allocator_->Decommit() : S_OK; }

HRESULT CTransformOutputPin::BreakConnect()
{
    transform_->BreakConnect(PINDIR_OUTPUT);
    if (!copying_)
        allocator_.reset();  // shared with upstream: not ours to decommit
    copying_ = false;
    return CBaseOutputPin::BreakConnect();
}

// ---- filter ------------------------------------------------------------------------------------------

CTransformFilter::CTransformFilter(const CLSID& clsid, IUnknown* outer) : CBaseFilter(clsid, outer, filterLock_)
{
    input_ = new (std::nothrow) CTransformInputPin(this, filterLock_);
    output_ = new (std::nothrow) CTransformOutputPin(this, filterLock_);
}

CTransformFilter::~CTransformFilter()
{
    delete input_;
    delete output_;
}

CBasePin* CTransformFilter::GetPin(int n)
{
    if (n == 0)
        return input_;
    if (n == 1)
        return output_;
    return nullptr;
}

HRESULT CTransformFilter::SetMediaType(PIN_DIRECTION, const AM_MEDIA_TYPE*) { return S_OK; }

HRESULT STDMETHODCALLTYPE CTransformFilter::Stop()
{
    AutoLock lock(filterLock_);
    if (state_ == State_Stopped)
        return S_OK;
    if (!input_->IsConnected() || !output_->IsConnected()) {
        state_ = State_Stopped;
        return S_OK;
    }
    // Refuse new samples first, then wait for the one being processed.
    input_->BeginFlushLocal();
    AutoLock receive(receiveLock_);
    output_->Inactive();
    const HRESULT hr = StopStreaming();
    input_->Inactive();
    state_ = State_Stopped;
    return hr;
}

HRESULT STDMETHODCALLTYPE CTransformFilter::Pause()
{
    AutoLock lock(filterLock_);
    bool endAtOnce = false;
    if (state_ == State_Stopped) {
        if (input_->IsConnected() && output_->IsConnected()) {
            AutoLock receive(receiveLock_);
            const HRESULT hr = StartStreaming();
            if (FAILED(hr))
                return hr;
        } else if (output_->IsConnected()) {
            endAtOnce = true;  // nothing will ever arrive: downstream should not wait
        }
    }
    const HRESULT hr = CBaseFilter::Pause();
    if (SUCCEEDED(hr) && endAtOnce)
        output_->DeliverEndOfStream();
    return hr;
}

HRESULT CTransformFilter::EndOfStream() { return output_->DeliverEndOfStream(); }
HRESULT CTransformFilter::BeginFlush() { return output_->DeliverBeginFlush(); }
HRESULT CTransformFilter::EndFlush() { return output_->DeliverEndFlush(); }

HRESULT CTransformFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return output_->IsConnected() ? output_->DeliverNewSegment(start, stop, rate) : S_OK;
}

// ---- in place ----------------------------------------------------------------------------------------

HRESULT CTransInPlaceFilter::prepareOutput(IMediaSample* in, ComPtr<IMediaSample>& copy)
{
    if (!output()->copying())
        return S_OK;
    IMemAllocator* allocator = output()->allocator();
    if (!allocator)
        return VFW_E_NO_ALLOCATOR;
    HRESULT hr = allocator->GetBuffer(copy.put(), nullptr, nullptr, 0);
    if (FAILED(hr) || !copy) {
        copy.reset();
        return FAILED(hr) ? hr : E_UNEXPECTED;
    }
    BYTE* src = nullptr;
    BYTE* dst = nullptr;
    if (FAILED(in->GetPointer(&src)) || FAILED(copy->GetPointer(&dst)) || !src || !dst) {
        copy.reset();
        return E_UNEXPECTED;
    }
    long length = in->GetActualDataLength();
    const long room = copy->GetSize();
    if (length < 0)
        length = 0;
    if (length > room)
        length = room - room % 4;  // keep whole 16-bit stereo and float frames
    std::memcpy(dst, src, static_cast<size_t>(length));
    copy->SetActualDataLength(length);
    REFERENCE_TIME start = 0, stop = 0;
    if (SUCCEEDED(in->GetTime(&start, &stop)))
        copy->SetTime(&start, &stop);
    LONGLONG mstart = 0, mstop = 0;
    if (SUCCEEDED(in->GetMediaTime(&mstart, &mstop)))
        copy->SetMediaTime(&mstart, &mstop);
    copy->SetSyncPoint(in->IsSyncPoint() == S_OK);
    copy->SetPreroll(in->IsPreroll() == S_OK);
    copy->SetDiscontinuity(in->IsDiscontinuity() == S_OK);
    AM_MEDIA_TYPE* mt = nullptr;
    if (in->GetMediaType(&mt) == S_OK && mt) {
        copy->SetMediaType(mt);
        deleteMediaType(mt);
    }
    return S_OK;
}

HRESULT CTransInPlaceFilter::Receive(IMediaSample* sample)
{
    ComPtr<IMediaSample> copy;
    HRESULT hr = prepareOutput(sample, copy);
    if (FAILED(hr))
        return hr;
    IMediaSample* work = copy ? copy.get() : sample;
    hr = Transform(work);
    if (FAILED(hr)) {
        // The stream cannot go on: tell the graph rather than leave it waiting for the end.
        input()->setRuntimeError();
        NotifyEvent(EC_ERRORABORT, hr, 0);
    } else if (hr == S_FALSE) {
        hr = S_OK;
    } else {
        hr = output()->Deliver(work);
    }
    return hr;
}

}  // namespace qv::ds
