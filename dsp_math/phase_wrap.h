#pragma once

namespace dsp {

// x brought into [-pi, pi].
double wrapPhase(double x);

}  // namespace dsp
