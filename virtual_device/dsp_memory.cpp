#include "virtual_device/dsp_memory.h"

namespace virtual_device {
namespace {

constexpr uint32_t kWordMask = ~uint32_t{3};

bool InMemory(uint32_t word) {
    return word < kDspMemoryBytes;
}

bool InStateBlock(uint32_t word) {
    return word >= kDspStateBlock && word < kDspMemoryBytes;
}

uint32_t StateWord(uint32_t word, const AmplifierState& playing) {
    switch (word) {
        case kDspStateSource:
            return playing.sourceCode;
        case kDspStateVolume:
            return playing.volumeAttenuation;
        case kDspStateMute:
            return playing.mute;
        default:
            break;
    }
    if (word >= kDspStateTrims) {
        const uint32_t channel = (word - kDspStateTrims) / 4;
        if (channel < playing.channels.size()) {
            return playing.channels[channel].trimAttenuation;
        }
    }
    return 0;
}

}  // namespace

uint32_t DspMemory::Read(uint32_t address, const AmplifierState& playing) const {
    const uint32_t word = address & kWordMask;
    if (!InMemory(word)) {
        return 0;
    }
    if (InStateBlock(word)) {
        return StateWord(word, playing);
    }
    auto found = mWords.find(word);
    return found != mWords.end() ? found->second : 0;
}

void DspMemory::Write(uint32_t address, uint32_t value) {
    const uint32_t word = address & kWordMask;
    if (!InMemory(word) || InStateBlock(word)) {
        return;
    }
    mWords[word] = value;
}

}  // namespace virtual_device
