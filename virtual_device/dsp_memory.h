// The DSP's data memory as the service tool sees it through the amplifier.
//
// Addresses are byte addresses of 32-bit words: the DSP's bus ignores the
// two low address bits, so an address that is not a multiple of four names
// the word it falls in (0x0A and 0x08 are the same word). Its memory spans
// kDspMemoryBytes from address 0. Above it there is nothing: a read answers
// 0 and a write is acknowledged and dropped, as on the real bus.
//
// The top of the memory holds the words the DSP plays from, kept by its
// own program and read-only to the host (writes there are dropped too):
// the source code, the main-volume attenuation and the mute flag at
// kDspStateBlock, +4, +8, then from +16 one word per output with its trim
// attenuation. Every other word reads 0 until written.
#pragma once

#include <cstdint>
#include <map>

#include "virtual_device/amplifier_state.h"

namespace virtual_device {

inline constexpr uint32_t kDspMemoryBytes = 0x00100000;
inline constexpr uint32_t kDspStateBlock = 0x000FFF00;
inline constexpr uint32_t kDspStateSource = kDspStateBlock;
inline constexpr uint32_t kDspStateVolume = kDspStateBlock + 4;
inline constexpr uint32_t kDspStateMute = kDspStateBlock + 8;
inline constexpr uint32_t kDspStateTrims = kDspStateBlock + 16;

class DspMemory {
public:
    // The word at this address; `playing` is the state the DSP plays.
    uint32_t Read(uint32_t address, const AmplifierState& playing) const;
    void Write(uint32_t address, uint32_t value);
    void Clear() { mWords.clear(); }

private:
    std::map<uint32_t, uint32_t> mWords;  // by word address
};

}  // namespace virtual_device
