#include "SeekingPassThru.h"

#include <vfwmsgs.h>

#include "Pins.h"

namespace qv::ds {

ComPtr<IMediaSeeking> SeekingPassThru::upstream()
{
    // Without the pin lock: downstream asks from the streaming thread (at end of stream, say) while
    // a Stop may hold the filter lock and wait for that thread. The peer changes only when stopped.
    ComPtr<IMediaSeeking> seeking;
    IPin* peer = input_->peer();
    IMediaSeeking* found = nullptr;
    if (peer && SUCCEEDED(peer->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&found))))
        seeking.attach(found);
    return seeking;
}

template <class Call>
HRESULT SeekingPassThru::forward(Call call)
{
    const ComPtr<IMediaSeeking> seeking = upstream();
    return seeking ? call(seeking.get()) : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE SeekingPassThru::GetCapabilities(DWORD* caps)
{
    return forward([&](IMediaSeeking* s) { return s->GetCapabilities(caps); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::CheckCapabilities(DWORD* caps)
{
    return forward([&](IMediaSeeking* s) { return s->CheckCapabilities(caps); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::IsFormatSupported(const GUID* format)
{
    return forward([&](IMediaSeeking* s) { return s->IsFormatSupported(format); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::QueryPreferredFormat(GUID* format)
{
    return forward([&](IMediaSeeking* s) { return s->QueryPreferredFormat(format); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::GetTimeFormat(GUID* format)
{
    return forward([&](IMediaSeeking* s) { return s->GetTimeFormat(format); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::IsUsingTimeFormat(const GUID* format)
{
    return forward([&](IMediaSeeking* s) { return s->IsUsingTimeFormat(format); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::SetTimeFormat(const GUID* format)
{
    return forward([&](IMediaSeeking* s) { return s->SetTimeFormat(format); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::GetDuration(LONGLONG* duration)
{
    return forward([&](IMediaSeeking* s) { return s->GetDuration(duration); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::GetStopPosition(LONGLONG* stop)
{
    return forward([&](IMediaSeeking* s) { return s->GetStopPosition(stop); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::GetCurrentPosition(LONGLONG* current)
{
    return forward([&](IMediaSeeking* s) { return s->GetCurrentPosition(current); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat,
                                                             LONGLONG source, const GUID* sourceFormat)
{
    return forward([&](IMediaSeeking* s) { return s->ConvertTimeFormat(target, targetFormat, source, sourceFormat); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                                        DWORD stopFlags)
{
    return forward([&](IMediaSeeking* s) { return s->SetPositions(current, currentFlags, stop, stopFlags); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::GetPositions(LONGLONG* current, LONGLONG* stop)
{
    return forward([&](IMediaSeeking* s) { return s->GetPositions(current, stop); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::GetAvailable(LONGLONG* earliest, LONGLONG* latest)
{
    return forward([&](IMediaSeeking* s) { return s->GetAvailable(earliest, latest); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::SetRate(double rate)
{
    return forward([&](IMediaSeeking* s) { return s->SetRate(rate); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::GetRate(double* rate)
{
    return forward([&](IMediaSeeking* s) { return s->GetRate(rate); });
}
HRESULT STDMETHODCALLTYPE SeekingPassThru::GetPreroll(LONGLONG* preroll)
{
    return forward([&](IMediaSeeking* s) { return s->GetPreroll(preroll); });
}

}  // namespace qv::ds
