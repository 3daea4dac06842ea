#pragma once
// IEnumPins and IEnumMediaTypes over a fixed list taken when the enumerator is made: a filter's pins
// and a pin's types do not change while a caller walks them.

#include <windows.h>
#include <strmif.h>

#include <vector>

#include "ComBase.h"

namespace qv::ds {

HRESULT createPinEnumerator(const std::vector<IPin*>& pins, IEnumPins** out);
// Copies the types; the enumerator hands out fresh copies.
HRESULT createMediaTypeEnumerator(const std::vector<const AM_MEDIA_TYPE*>& types, IEnumMediaTypes** out);

}  // namespace qv::ds
