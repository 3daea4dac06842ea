#pragma once
// Which resource holds a piece of the skin's art at a display scale (SKIN_SCALED_ID in skin_ids.h).
// Free of any platform header.

#include "ScaleMath.h"
#include "resources/skin_ids.h"

namespace qv {

// The art of the scaled item `scaledItem` at `scale`; at 100 % the 100 % image `id100`.
constexpr int scaledArtId(int scaledItem, int id100, Scale scale)
{
    switch (scale) {
    case Scale::P150:
        return SKIN_SCALED_ID(scaledItem, 1);
    case Scale::P200:
        return SKIN_SCALED_ID(scaledItem, 2);
    case Scale::P100:
        break;
    }
    return id100;
}

// A sprite and a type icon, by their VST ids: their scaled items follow the VST ids' order.
constexpr int scaledSpriteId(int vstId, Scale scale)
{
    return scaledArtId(SKIN_SCALED_RAW_FIRST + (vstId - SKIN_VST_RAW_FIRST), vstId, scale);
}
constexpr int scaledTypeIconId(int vstId, Scale scale)
{
    return scaledArtId(SKIN_SCALED_BMP_TYPE_PEAK + (vstId - SKIN_VST_BMP_TYPE_PEAK), vstId, scale);
}

}  // namespace qv
