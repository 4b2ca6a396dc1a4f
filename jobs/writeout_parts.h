// The parts a working-state write-out is made of, each of which can be sent
// alone: the source and main volume, one crossover side or one band of an
// output, one switch over a run of outputs, the routing of a source, one
// mixer row and one cross-source row. The full write-outs send them all; a
// difference of two profiles sends only those that changed.
#pragma once

#include <cstdint>
#include <vector>

#include "device/channel_range.h"
#include "jobs/command_steps.h"
#include "model/profile.h"

namespace jobs {

// A run of outputs, first to last, both included.
struct OutputSpan {
    int first = 0;
    int last = 0;
};

OutputSpan EveryOutput();

enum class CrossoverSide : uint8_t { kLowPass = 1, kHighPass = 2 };

// The switches the device takes for a run of outputs, in the order a
// write-out sends them.
enum class OutputSwitch : uint8_t {
    kType,
    kTrim,
    kMute,
    kPhase,
    kSolo,
    kDelay,
    kEqBypass,
};
inline constexpr int kOutputSwitchCount = 7;

// The source code the device plays; nothing for a profile without a valid
// source.
void SendSourceSwitch(CommandSteps& steps, const model::Profile& p);
void SendMainVolume(CommandSteps& steps, float attenuation);
void SendMainMute(CommandSteps& steps, const model::Profile& p);

// Whether the two profiles send different values for this part of output c.
bool CrossoverSideDiffers(const model::Profile& a, const model::Profile& b, int output,
                          CrossoverSide side);
bool BandDiffers(const model::Profile& a, const model::Profile& b, int output, int band);

void SendCrossoverSide(CommandSteps& steps, const model::Profile& p, int scene, int output,
                       CrossoverSide side);
void SendBand(CommandSteps& steps, const model::Profile& p, int scene, int output, int band);
// Low-pass, high-pass, then every band of the output.
void SendCrossoverAndBands(CommandSteps& steps, const model::Profile& p, int scene, int output);

// The value a switch carries for output c: the byte of a switch, the dB or
// ms of a trim or delay.
int SwitchCode(const model::Profile& p, OutputSwitch which, int c);
float SwitchValue(const model::Profile& p, OutputSwitch which, int c);
void SendOutputSwitch(CommandSteps& steps, const model::Profile& p, int scene, OutputSwitch which,
                      OutputSpan outputs);

// The compressor settings of output c, each kind where the model has it.
bool CompressorDiffers(const model::Profile& a, const model::Profile& b, int c);
// The second kind carries the threshold, attack and release only.
bool Compressor2Differs(const model::Profile& a, const model::Profile& b, int c);
void SendCompressor(CommandSteps& steps, const model::Profile& p, int scene, int output);
void SendCompressorOns(CommandSteps& steps, const model::Profile& p, int scene, OutputSpan outputs);
void SendCompressor2(CommandSteps& steps, const model::Profile& p, int scene, int output);
// Every switch of every output, then the compressors.
void SendOutputSwitches(CommandSteps& steps, const model::Profile& p, int scene);

// The routing blocks of the model: all outputs in one command, or blocks of
// eight on models with more inputs than one mask byte pair holds.
std::vector<OutputSpan> RoutingBlocks();
void SendRoutingSpan(CommandSteps& steps, const model::Profile& p, int scene, int source,
                     OutputSpan outputs);
void SendRouting(CommandSteps& steps, const model::Profile& p, int scene, int source);

// Mixer rows: input rows then the split cross-source rows after them.
int MixerRows(int inputs);
// The polarity of source s's inputs, from the first to the last of `inputs`.
void SendInputPhases(CommandSteps& steps, const model::Profile& p, int source, OutputSpan inputs);
void SendInputVolumes(CommandSteps& steps, const model::Profile& p, int scene, int source,
                      int input, OutputSpan outputs);
// Which split cross-source row the j-th (0 or 1) of a source with this many
// inputs is.
int CrossSourceRow(int inputs, int j);
bool CrossSourceRowDiffers(const model::Profile& a, const model::Profile& b, int source, int row);
// Queued, as the device takes cross-source commands.
void QueueCrossSourceRow(CommandSteps& steps, const model::Profile& p, int source, int row);

// The sources whose mixers a write-out sends: all but the coaxial input,
// which has no inputs in this family.
bool HasMixer(int source);

}  // namespace jobs
