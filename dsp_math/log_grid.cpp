#include "dsp_math/log_grid.h"

#include <cmath>

namespace dsp {

void makeLogGrid(double fs, std::span<double> grid) {
    const size_t n = grid.size();
    if (n < 2) {
        return;
    }
    const double top = std::log10(fs / 2.0);
    for (size_t k = 0; k + 1 < n; ++k) {
        grid[k] = std::pow(10.0, top * static_cast<double>(k + 1) / static_cast<double>(n - 1));
    }
    grid[n - 1] = fs;
}

}  // namespace dsp
