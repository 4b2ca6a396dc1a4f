// The amplifier's clip detectors. It plays a test signal on every input
// (its peak in percent of full scale, set per source and input); the mixer
// scales each input by its level (100 = unity) into every output it is
// routed to. An input clips when one of its routed contributions exceeds
// full scale, an output when the sum of its routed contributions does. The
// detectors watch the working state, whatever scene the request names.
#include <algorithm>

#include "virtual_device/amplifier_protocol.h"

namespace virtual_device {
namespace {

constexpr int kFullScale = 100;  // percent
constexpr int kUnityLevel = 100;
constexpr size_t kMaxReportData = 57;
constexpr size_t kClipHeader = 3;  // source, first, last

uint8_t At(const std::vector<uint8_t>& data, size_t index) {
    return index < data.size() ? data[index] : 0;
}

bool Routed(const SourceState& source, int input, int output) {
    return (source.mixMask[output] >> input & 1u) != 0;
}

// What one input brings into one output, in percent of full scale, times
// the unity level (kept whole to avoid rounding at the threshold).
int Contribution(const SourceState& source, int peak, int input, int output) {
    return Routed(source, input, output) ? peak * source.mixTrim[input][output] : 0;
}

}  // namespace

void AmplifierProtocol::SetInputPeak(int source, int input, int percentOfFullScale) {
    if (source < 0 || source >= kAmpSources || input < 0 || input >= kAmpInputs) {
        return;
    }
    std::lock_guard<std::mutex> hold(mLock);
    mInputPeaks[source][input] = std::max(percentOfFullScale, 0);
}

int AmplifierProtocol::InputPeak(int source, int input) const {
    if (source < 0 || source >= kAmpSources || input < 0 || input >= kAmpInputs) {
        return 0;
    }
    std::lock_guard<std::mutex> hold(mLock);
    return mInputPeaks[source][input];
}

bool AmplifierProtocol::InputClips(int source, int input) const {
    if (source >= kAmpSources || input >= kAmpInputs) {
        return false;
    }
    const SourceState& state = mStates[0].sources[source];
    const int peak = mInputPeaks[source][input];
    for (int o = 0; o < std::min(mOptions.outputChannels, kAmpChannels); ++o) {
        if (Contribution(state, peak, input, o) > kFullScale * kUnityLevel) {
            return true;
        }
    }
    return false;
}

bool AmplifierProtocol::OutputClips(int source, int output) const {
    if (source >= kAmpSources || output >= std::min(mOptions.outputChannels, kAmpChannels)) {
        return false;
    }
    const SourceState& state = mStates[0].sources[source];
    int sum = 0;
    for (int i = 0; i < std::min(mOptions.mixerInputs, kAmpInputs); ++i) {
        sum += Contribution(state, mInputPeaks[source][i], i, output);
    }
    return sum > kFullScale * kUnityLevel;
}

// Request: scene, source, first, last. Answer: source, first, last and one
// byte per channel, 1 while it clips.
std::vector<uint8_t> AmplifierProtocol::ClipReport(const std::vector<uint8_t>& q,
                                                   bool outputs) const {
    const int source = At(q, 1);
    const int first = At(q, 2);
    const int last =
        std::min<int>(At(q, 3), first + static_cast<int>(kMaxReportData - kClipHeader) - 1);
    std::vector<uint8_t> out = {At(q, 1), static_cast<uint8_t>(first),
                                static_cast<uint8_t>(std::max(last, 0))};
    for (int c = first; c <= last; ++c) {
        const bool clips = outputs ? OutputClips(source, c) : InputClips(source, c);
        out.push_back(clips ? 1 : 0);
    }
    return out;
}

}  // namespace virtual_device
