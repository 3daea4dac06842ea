#include "Log10.h"

namespace qv {

Log10Table::Log10Table()
{
    for (int i = 0; i < 256; ++i) {
        Log10Step& s = steps[i];
        const bool upper = i >= 128;
        s.c = upper ? 1.0 + (i + 1) / 256.0 : 1.0 + i / 256.0;
        s.inverse = 1.0 / s.c;
        s.log = upper ? std::log(s.c * 0.5) : std::log(s.c);
        s.raise = upper ? 1.0 : 0.0;
    }
}

const Log10Table kLog10Table;

}  // namespace qv
