#include "bench/soak/drag_steps.h"

namespace soak {

int MoveWithin(int current, int low, int high, int step, int& direction) {
    if (current < low) {
        return low;
    }
    if (current > high) {
        return high;
    }
    int next = current + direction * step;
    if (next < low || next > high) {
        direction = -direction;
        next = current + direction * step;
    }
    return next;
}

}  // namespace soak
