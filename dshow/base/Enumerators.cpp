#include "Enumerators.h"

#include <new>

#include "MediaType.h"

namespace qv::ds {
namespace {

// Shared walking logic over a vector of items that the derived class knows how to hand out.
template <class Interface, class Item, class Derived>
class EnumBase : public SingleInterfaceObject<Interface, Derived> {
public:
    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override
    {
        if (!out || (count > 1 && !fetched))
            return E_POINTER;
        ULONG n = 0;
        while (n < count && position_ < static_cast<Derived*>(this)->size()) {
            if (!static_cast<Derived*>(this)->handOut(position_, &out[n]))
                break;
            ++position_;
            ++n;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const size_t left = static_cast<Derived*>(this)->size() - position_;
        if (count > left) {
            position_ = static_cast<Derived*>(this)->size();
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        position_ = 0;
        return S_OK;
    }

protected:
    EnumBase() { ++gObjectCount; }
    virtual ~EnumBase() { --gObjectCount; }
    size_t position_ = 0;
};

class PinEnum : public EnumBase<IEnumPins, IPin*, PinEnum> {
public:
    // Each pin held with a reference of its own; a failed allocation leaves the list short.
    explicit PinEnum(const std::vector<IPin*>& pins)
    {
        pins_.reserve(pins.size());
        for (IPin* p : pins) {
            pins_.emplace_back();
            pins_.back().reset(p);
        }
    }
    size_t size() const { return pins_.size(); }
    bool handOut(size_t i, IPin** out)
    {
        *out = pins_[i].get();
        (*out)->AddRef();
        return true;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** out) override
    {
        if (!out)
            return E_POINTER;
        std::vector<IPin*> pins;
        for (const ComPtr<IPin>& p : pins_)
            pins.push_back(p.get());
        auto* e = new (std::nothrow) PinEnum(pins);
        if (!e)
            return E_OUTOFMEMORY;
        e->position_ = position_;
        *out = e;
        return S_OK;
    }

private:
    std::vector<ComPtr<IPin>> pins_;
};

class TypeEnum : public EnumBase<IEnumMediaTypes, AM_MEDIA_TYPE*, TypeEnum> {
public:
    TypeEnum() = default;
    ~TypeEnum() override
    {
        for (AM_MEDIA_TYPE* t : types_)
            deleteMediaType(t);
    }
    bool add(const AM_MEDIA_TYPE* t)
    {
        AM_MEDIA_TYPE* copy = createMediaType(t);
        if (!copy)
            return false;
        types_.push_back(copy);
        return true;
    }
    size_t size() const { return types_.size(); }
    bool handOut(size_t i, AM_MEDIA_TYPE** out)
    {
        *out = createMediaType(types_[i]);
        return *out != nullptr;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** out) override
    {
        if (!out)
            return E_POINTER;
        std::vector<const AM_MEDIA_TYPE*> types(types_.begin(), types_.end());
        const HRESULT hr = createMediaTypeEnumerator(types, out);
        if (SUCCEEDED(hr))
            static_cast<TypeEnum*>(*out)->position_ = position_;
        return hr;
    }

private:
    std::vector<AM_MEDIA_TYPE*> types_;
};

}  // namespace

HRESULT createPinEnumerator(const std::vector<IPin*>& pins, IEnumPins** out)
{
    if (!out)
        return E_POINTER;
    *out = new (std::nothrow) PinEnum(pins);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT createMediaTypeEnumerator(const std::vector<const AM_MEDIA_TYPE*>& types, IEnumMediaTypes** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    ComPtr<TypeEnum> e;
    e.attach(new (std::nothrow) TypeEnum);
    if (!e)
        return E_OUTOFMEMORY;
    for (const AM_MEDIA_TYPE* t : types) {
        if (!e->add(t))
            return E_OUTOFMEMORY;
    }
    *out = e.detach();
    return S_OK;
}

}  // namespace qv::ds
