#include "MediaType.h"

#include <cstring>

namespace qv::ds {

HRESULT copyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src)
{
    *dst = *src;
    dst->cbFormat = 0;
    dst->pbFormat = nullptr;
    if (src->cbFormat && src->pbFormat) {
        dst->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(src->cbFormat));
        if (!dst->pbFormat) {
            dst->pUnk = nullptr;
            ZeroMemory(dst, sizeof *dst);
            return E_OUTOFMEMORY;
        }
        std::memcpy(dst->pbFormat, src->pbFormat, src->cbFormat);
        dst->cbFormat = src->cbFormat;
    }
    if (dst->pUnk)
        dst->pUnk->AddRef();
    return S_OK;
}

void freeMediaType(AM_MEDIA_TYPE& mt)
{
    if (mt.pbFormat)
        CoTaskMemFree(mt.pbFormat);
    if (mt.pUnk)
        mt.pUnk->Release();
    mt.pbFormat = nullptr;
    mt.cbFormat = 0;
    mt.pUnk = nullptr;
}

AM_MEDIA_TYPE* createMediaType(const AM_MEDIA_TYPE* src)
{
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!mt)
        return nullptr;
    if (FAILED(copyMediaType(mt, src))) {
        CoTaskMemFree(mt);
        return nullptr;
    }
    return mt;
}

void deleteMediaType(AM_MEDIA_TYPE* mt)
{
    if (!mt)
        return;
    freeMediaType(*mt);
    CoTaskMemFree(mt);
}

bool equalMediaTypes(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b)
{
    if (!IsEqualGUID(a.majortype, b.majortype) || !IsEqualGUID(a.subtype, b.subtype) ||
        !IsEqualGUID(a.formattype, b.formattype) || a.cbFormat != b.cbFormat)
        return false;
    if (a.cbFormat == 0)
        return true;
    return a.pbFormat && b.pbFormat && std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0;
}

MediaType::MediaType() { ZeroMemory(&mt_, sizeof mt_); }

HRESULT MediaType::set(const AM_MEDIA_TYPE* src)
{
    clear();
    if (!src)
        return S_OK;
    return copyMediaType(&mt_, src);
}

void MediaType::clear()
{
    freeMediaType(mt_);
    ZeroMemory(&mt_, sizeof mt_);
}

}  // namespace qv::ds
