#include "ClassFactory.h"

#include <new>

namespace qv::ds {
namespace {

class ClassFactory : public SingleInterfaceObject<IClassFactory, ClassFactory> {
public:
    explicit ClassFactory(const FactoryTemplate& t) : template_(t) { ++gObjectCount; }
    virtual ~ClassFactory() { --gObjectCount; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        // An aggregated object can hand its outer only the inner unknown.
        if (outer && !IsEqualIID(riid, IID_IUnknown))
            return CLASS_E_NOAGGREGATION;
        HRESULT hr = S_OK;
        CUnknown* object = template_.create(outer, &hr);
        if (!object)
            return FAILED(hr) ? hr : E_OUTOFMEMORY;
        if (FAILED(hr)) {
            delete object;
            return hr;
        }
        object->NonDelegatingAddRef();
        hr = object->NonDelegatingQueryInterface(riid, ppv);
        object->NonDelegatingRelease();
        return hr;
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            ++gLockCount;
        else
            --gLockCount;
        return S_OK;
    }

private:
    const FactoryTemplate& template_;
};

}  // namespace

HRESULT getClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    for (int i = 0; i < gTemplateCount; ++i) {
        const FactoryTemplate& t = gTemplates[i];
        if (!IsEqualCLSID(clsid, *t.clsid) || !t.create)
            continue;
        auto* factory = new (std::nothrow) ClassFactory(t);
        if (!factory)
            return E_OUTOFMEMORY;
        *ppv = factory;
        return S_OK;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT canUnloadNow() { return gObjectCount == 0 && gLockCount <= 0 ? S_OK : S_FALSE; }

}  // namespace qv::ds
