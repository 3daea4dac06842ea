#pragma once
// AM_MEDIA_TYPE helpers: deep copies with the format block on the COM task heap.

#include <windows.h>
#include <strmif.h>
#include <uuids.h>
#include <vfwmsgs.h>

namespace qv::ds {

// Deep copy; a format size without a block is taken as no format. E_OUTOFMEMORY leaves dst empty.
HRESULT copyMediaType(AM_MEDIA_TYPE* dst, const AM_MEDIA_TYPE* src);
void freeMediaType(AM_MEDIA_TYPE& mt);
AM_MEDIA_TYPE* createMediaType(const AM_MEDIA_TYPE* src);  // CoTaskMemAlloc'd copy, null on failure
void deleteMediaType(AM_MEDIA_TYPE* mt);
bool equalMediaTypes(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);

// An owned media type (empty when majortype is GUID_NULL).
class MediaType {
public:
    MediaType();
    ~MediaType() { clear(); }
    MediaType(const MediaType&) = delete;
    MediaType& operator=(const MediaType&) = delete;
    HRESULT set(const AM_MEDIA_TYPE* src);
    void clear();
    bool empty() const { return IsEqualGUID(mt_.majortype, GUID_NULL); }
    const AM_MEDIA_TYPE& get() const { return mt_; }

private:
    AM_MEDIA_TYPE mt_;
};

}  // namespace qv::ds
