#include "Layout.h"

#include <cmath>

namespace skingen {

int meterRow(int tenths)
{
    const int H = 140, lo = -600, hi = 0;
    int x = static_cast<int>(std::floor((tenths - lo) * double(H) / (hi - lo) + 0.5));
    int p = H - x;
    if (p < 0)
        p = 0;
    return p + 2;
}

}  // namespace skingen
