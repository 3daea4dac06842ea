#pragma once
// The COM ground of our DirectShow layer: the non-delegating unknown (so a graph may aggregate a
// filter), the server's object and lock counts, and a critical-section owner.

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <utility>

#include "ScopedWin.h"

namespace qv::ds {

// The inner unknown of an aggregatable object. Its three slots line up with IUnknown's.
struct INonDelegatingUnknown {
    virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;
};

// Objects alive and LockServer(TRUE) calls, for DllCanUnloadNow.
extern std::atomic<long> gObjectCount;
extern std::atomic<long> gLockCount;

class CUnknown : public INonDelegatingUnknown {
public:
    explicit CUnknown(IUnknown* outer);
    virtual ~CUnknown();
    CUnknown(const CUnknown&) = delete;
    CUnknown& operator=(const CUnknown&) = delete;

    IUnknown* GetOwner() const { return owner_; }
    IUnknown* inner() { return reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(this)); }

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;

private:
    IUnknown* owner_;
    std::atomic<LONG> refs_{0};
};

// Hands out an interface pointer with a reference.
inline HRESULT GetInterface(IUnknown* unknown, void** ppv)
{
    *ppv = unknown;
    unknown->AddRef();
    return S_OK;
}

// A getter's answer into the caller's `out`: E_POINTER for none.
template <class T, class V>
HRESULT answer(T* out, V&& value)
{
    if (!out)
        return E_POINTER;
    *out = std::forward<V>(value);
    return S_OK;
}

// The IUnknown of every interface a CUnknown-derived class implements goes to its owner.
#define QV_DECLARE_IUNKNOWN                                                                                            \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override                                         \
    {                                                                                                                  \
        return GetOwner()->QueryInterface(riid, ppv);                                                                  \
    }                                                                                                                  \
    ULONG STDMETHODCALLTYPE AddRef() override { return GetOwner()->AddRef(); }                                         \
    ULONG STDMETHODCALLTYPE Release() override { return GetOwner()->Release(); }

// A plain COM object of one interface (not aggregatable): its own reference count, deleted as
// `Derived` when the last reference goes.
template <class Interface, class Derived>
class SingleInterfaceObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, __uuidof(Interface)))
            return GetInterface(this, ppv);
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = --refs_;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return static_cast<ULONG>(left);
    }

protected:
    virtual ~SingleInterfaceObject() = default;

private:
    std::atomic<LONG> refs_{1};
};

class CritSec {
public:
    CritSec() { InitializeCriticalSection(&cs_); }
    ~CritSec() { DeleteCriticalSection(&cs_); }
    CritSec(const CritSec&) = delete;
    CritSec& operator=(const CritSec&) = delete;
    void lock() { EnterCriticalSection(&cs_); }
    void unlock() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

class AutoLock {
public:
    explicit AutoLock(CritSec& cs) : cs_(cs) { cs_.lock(); }
    ~AutoLock() { cs_.unlock(); }
    AutoLock(const AutoLock&) = delete;
    AutoLock& operator=(const AutoLock&) = delete;

private:
    CritSec& cs_;
};

// The COM pointer of every layer lives with the other handle owners.
using qv::ComPtr;

}  // namespace qv::ds
