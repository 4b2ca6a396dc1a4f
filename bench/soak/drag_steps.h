// What the drags move and how: the bands, the moves per drag, and the step
// each move takes.
#pragma once

#include <array>

namespace soak {

// The bands the EQ drags move: the demo tune's three bands of the front
// stage and one more, all kept off 0 dB so that the output never turns
// flat (which would bypass its EQ with a second frame).
inline constexpr std::array<int, 4> kEqBands = {4, 9, 13, 17};
inline constexpr int kMovesPerDrag = 4;

// A value a drag moves by `step` each time, turning at the ends of its range;
// every move changes it.
int MoveWithin(int current, int low, int high, int step, int& direction);

}  // namespace soak
