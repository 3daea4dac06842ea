#include "ComBase.h"

namespace qv::ds {

std::atomic<long> gObjectCount{0};
std::atomic<long> gLockCount{0};

CUnknown::CUnknown(IUnknown* outer) : owner_(outer ? outer : inner()) { ++gObjectCount; }

CUnknown::~CUnknown() { --gObjectCount; }

HRESULT STDMETHODCALLTYPE CUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown))
        return GetInterface(inner(), ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingAddRef() { return static_cast<ULONG>(++refs_); }

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingRelease()
{
    const LONG left = --refs_;
    if (left == 0) {
        // Guard against a re-entrant release from the destructor.
        refs_ = 1;
        delete this;
    }
    return static_cast<ULONG>(left < 0 ? 0 : left);
}

}  // namespace qv::ds
