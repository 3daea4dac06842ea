#pragma once
// Which resource holds a piece of the skin's art at a display scale (SKIN_SCALED_ID in skin_ids.h).
// Free of any platform header.

#include "ScaleMath.h"
#include "resources/skin_ids.h"

namespace qv {

// The art of the scaled item `scaledItem` at `percent`; at 100 % the 100 % image `id100`.
constexpr int scaledArtId(int scaledItem, int id100, int percent)
{
    return percent == kScale100 ? id100 : SKIN_SCALED_ID(scaledItem, percent == kScale150 ? 1 : 2);
}

// A sprite and a type icon, by their VST ids: their scaled items follow the VST ids' order.
constexpr int scaledSpriteId(int vstId, int percent)
{
    return scaledArtId(SKIN_SCALED_RAW_FIRST + (vstId - SKIN_VST_RAW_FIRST), vstId, percent);
}
constexpr int scaledTypeIconId(int vstId, int percent)
{
    return scaledArtId(SKIN_SCALED_BMP_TYPE_PEAK + (vstId - SKIN_VST_BMP_TYPE_PEAK), vstId, percent);
}

}  // namespace qv
