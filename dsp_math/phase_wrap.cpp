#include "dsp_math/phase_wrap.h"

#include <cmath>
#include <numbers>

namespace dsp {

double wrapPhase(double x) {
    constexpr double pi = std::numbers::pi;
    double r = std::fmod(x + pi, 2.0 * pi) - pi;  // fmod keeps the sign of x + pi
    if (r < -pi) {
        r += 2.0 * pi;
    } else if (r > pi) {
        r -= 2.0 * pi;
    }
    return r;
}

}  // namespace dsp
