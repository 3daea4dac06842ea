#pragma once
// The base of a filter: IBaseFilter with its IMediaFilter and IPersist parts, and IAMovieSetup.
// A derived filter supplies its pins; state changes go to every connected pin.

#include <windows.h>
#include <strmif.h>

#include "ComBase.h"
#include "Setup.h"

namespace qv::ds {

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter, public IAMovieSetup {
public:
    CBaseFilter(const CLSID& clsid, IUnknown* outer, CritSec& lock);
    ~CBaseFilter() override;

    QV_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    virtual int GetPinCount() = 0;
    virtual CBasePin* GetPin(int n) = 0;
    virtual const AMOVIESETUP_FILTER* GetSetupData() { return nullptr; }

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    // IMediaFilter
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeout, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** out) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** out) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;
    // IAMovieSetup
    HRESULT STDMETHODCALLTYPE Register() override;
    HRESULT STDMETHODCALLTYPE Unregister() override;

    FILTER_STATE state() const { return state_; }
    bool isStopped() const { return state_ == State_Stopped; }
    CritSec& filterLock() { return lock_; }
    // Tells the graph of an event (EC_ERRORABORT and the like); nothing while outside a graph.
    HRESULT NotifyEvent(long code, LONG_PTR p1, LONG_PTR p2);

protected:
    CritSec& lock_;
    FILTER_STATE state_ = State_Stopped;
    REFERENCE_TIME start_ = 0;

private:
    CLSID clsid_;
    ComPtr<IReferenceClock> clock_;
    IFilterGraph* graph_ = nullptr;    // not held: the graph holds us
    IMediaEventSink* sink_ = nullptr;  // not held, for the same reason
    WCHAR name_[MAX_FILTER_NAME] = {};
};

}  // namespace qv::ds
