#pragma once
// The manual's response pictures: which bands each one shows.

#include <string>
#include <vector>

#include "Plot.h"

namespace qvresp {

struct NamedChart {
    std::string file;  // PNG name in the manual's image folder
    Chart chart;
};

std::vector<NamedChart> manualCharts();

}  // namespace qvresp
