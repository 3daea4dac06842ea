#include "BaseFilter.h"

#include <cwchar>
#include <vector>

#include "Enumerators.h"
#include "Pins.h"
#include "Registration.h"

namespace qv::ds {

CBaseFilter::CBaseFilter(const CLSID& clsid, IUnknown* outer, CritSec& lock)
    : CUnknown(outer), lock_(lock), clsid_(clsid)
{}

CBaseFilter::~CBaseFilter() = default;

HRESULT STDMETHODCALLTYPE CBaseFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IBaseFilter) || IsEqualIID(riid, IID_IMediaFilter) || IsEqualIID(riid, IID_IPersist))
        return GetInterface(static_cast<IBaseFilter*>(this), ppv);
    if (IsEqualIID(riid, IID_IAMovieSetup))
        return GetInterface(static_cast<IAMovieSetup*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE CBaseFilter::GetClassID(CLSID* clsid) { return answer(clsid, clsid_); }

HRESULT STDMETHODCALLTYPE CBaseFilter::Stop()
{
    AutoLock lock(lock_);
    HRESULT result = S_OK;
    if (state_ != State_Stopped) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (pin && pin->IsConnected()) {
                const HRESULT hr = pin->Inactive();
                if (FAILED(hr) && SUCCEEDED(result))
                    result = hr;
            }
        }
    }
    state_ = State_Stopped;
    return result;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Pause()
{
    AutoLock lock(lock_);
    if (state_ == State_Stopped) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (pin && pin->IsConnected()) {
                const HRESULT hr = pin->Active();
                if (FAILED(hr))
                    return hr;
            }
        }
    }
    state_ = State_Paused;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Run(REFERENCE_TIME start)
{
    AutoLock lock(lock_);
    start_ = start;
    if (state_ == State_Stopped) {
        const HRESULT hr = Pause();
        if (FAILED(hr))
            return hr;
    }
    if (state_ != State_Running) {
        for (int i = 0; i < GetPinCount(); ++i) {
            CBasePin* pin = GetPin(i);
            if (pin && pin->IsConnected()) {
                const HRESULT hr = pin->Run(start);
                if (FAILED(hr))
                    return hr;
            }
        }
    }
    state_ = State_Running;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::GetState(DWORD, FILTER_STATE* state) { return answer(state, state_); }

HRESULT STDMETHODCALLTYPE CBaseFilter::SetSyncSource(IReferenceClock* clock)
{
    AutoLock lock(lock_);
    clock_.reset(clock);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::GetSyncSource(IReferenceClock** clock)
{
    if (!clock)
        return E_POINTER;
    AutoLock lock(lock_);
    *clock = clock_.get();
    if (clock_)
        clock_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::EnumPins(IEnumPins** out)
{
    if (!out)
        return E_POINTER;
    std::vector<IPin*> pins;
    for (int i = 0; i < GetPinCount(); ++i) {
        if (CBasePin* pin = GetPin(i))
            pins.push_back(pin);
    }
    return createPinEnumerator(pins, out);
}

HRESULT STDMETHODCALLTYPE CBaseFilter::FindPin(LPCWSTR id, IPin** out)
{
    if (!id || !out)
        return E_POINTER;
    for (int i = 0; i < GetPinCount(); ++i) {
        CBasePin* pin = GetPin(i);
        if (pin && std::wcscmp(pin->Name(), id) == 0)
            return GetInterface(static_cast<IPin*>(pin), reinterpret_cast<void**>(out));
    }
    *out = nullptr;
    return VFW_E_NOT_FOUND;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::QueryFilterInfo(FILTER_INFO* info)
{
    if (!info)
        return E_POINTER;
    std::wcsncpy(info->achName, name_, MAX_FILTER_NAME - 1);
    info->achName[MAX_FILTER_NAME - 1] = L'\0';
    info->pGraph = graph_;
    if (graph_)
        graph_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name)
{
    AutoLock lock(lock_);
    graph_ = graph;
    sink_ = nullptr;
    if (graph) {
        ComPtr<IMediaEventSink> sink;
        // The sink lives as long as the graph, which outlives our membership: keep it unheld.
        if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(sink.put()))))
            sink_ = sink.get();
    }
    name_[0] = L'\0';
    if (name) {
        std::wcsncpy(name_, name, MAX_FILTER_NAME - 1);
        name_[MAX_FILTER_NAME - 1] = L'\0';
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::QueryVendorInfo(LPWSTR* info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Register()
{
    const AMOVIESETUP_FILTER* setup = GetSetupData();
    if (!setup)
        return S_FALSE;
    return registerFilterWithMapper(*setup, true);
}

HRESULT STDMETHODCALLTYPE CBaseFilter::Unregister()
{
    const AMOVIESETUP_FILTER* setup = GetSetupData();
    if (!setup)
        return S_FALSE;
    return registerFilterWithMapper(*setup, false);
}

HRESULT CBaseFilter::NotifyEvent(long code, LONG_PTR p1, LONG_PTR p2)
{
    if (!sink_)
        return E_NOTIMPL;
    return sink_->Notify(code, p1, p2);
}

}  // namespace qv::ds
