// The display scale every window uses, chosen once from the monitors by the
// program's rule (the widest monitor against the model's default window
// size).
#pragma once

namespace ui {

// The scale in percent; chosen from the screens on first use.
int DisplayScale();
// Fixes the scale (start-up after choosing it, tests).
void SetDisplayScale(int percent);
// Applies the monitor rule to the current screens, logs it and returns the DPI.
int ChooseScreenDpi();
// The scale the program chooses for the current screens at start.
int ChooseDisplayScale();

}  // namespace ui
