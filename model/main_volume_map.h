// The main volume's two scales: the slider's positions and the device's
// decibels. The slider moves on a logarithmic map; the device takes an
// attenuation below its top level (a whole number of dB, the integer part of
// what the map gives) and reports the level it plays.
#pragma once

namespace model {

// The level in dB that a slider position stands for.
double MainVolumeDbOf(int slider);
// What Main_Volume_Ctrl carries for a slider position: the attenuation below
// the device's top level.
float MainVolumeAttenuationOf(int slider);
// The level the device plays after receiving that position (the command
// carries the attenuation's integer part).
int MainVolumeDeviceDbOf(int slider);
// The slider position for a level the device reports. Several neighbouring
// positions send the same whole attenuation near the top of the scale; the
// position shown stays where it is when it sends the reported level, and
// otherwise is the one sending it that lies nearest to the map's inverse.
// A level no position sends lands on the inverse's integer part.
int MainVolumeSliderOf(int deviceDb, int currentSlider);

}  // namespace model
