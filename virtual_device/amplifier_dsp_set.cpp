// The amplifier taking the host's DSP settings into the state the scene byte
// names. Values arrive in the device's encoding and are kept as they came.
#include <algorithm>

#include "virtual_device/amplifier_protocol.h"

namespace virtual_device {
namespace {

uint8_t At(const std::vector<uint8_t>& data, size_t index) {
    return index < data.size() ? data[index] : 0;
}

uint16_t At16(const std::vector<uint8_t>& data, size_t index) {
    return static_cast<uint16_t>(At(data, index) << 8 | At(data, index + 1));
}

// Calls take(channel, offset) for each channel of a range setter whose entry
// of entrySize bytes arrived, skipping channels beyond the state's arrays.
template <typename Take>
void ForEachEntry(const std::vector<uint8_t>& data, size_t header, int first, int last,
                  size_t entrySize, int limit, Take take) {
    for (int channel = first; channel <= last; ++channel) {
        const size_t at = header + static_cast<size_t>(channel - first) * entrySize;
        if (at + entrySize > data.size()) {
            return;
        }
        if (channel < limit) {
            take(channel, at);
        }
    }
}

// Bytes per channel of a range setter, from its length.
size_t EntrySize(const std::vector<uint8_t>& data, int first, int last) {
    if (last < first || data.size() <= 4) {
        return 0;
    }
    return (data.size() - 4) / static_cast<size_t>(last - first + 1);
}

void SetChannelBytes(AmplifierState& state, const std::vector<uint8_t>& d,
                     uint8_t ChannelState::*field) {
    ForEachEntry(d, 4, d[2], d[3], 1, kAmpChannels,
                 [&](int c, size_t at) { state.channels[c].*field = d[at]; });
}

void SetFilter(AmplifierState& state, const std::vector<uint8_t>& d) {
    const int channel = At(d, 2);
    if (channel >= kAmpChannels || d.size() < 8) {
        return;
    }
    // Filter index 1 is the low-pass section, 2 the high-pass one.
    FilterSectionState& section =
        At(d, 3) == 1 ? state.channels[channel].lowPass : state.channels[channel].highPass;
    section = {At(d, 4), At16(d, 5), At(d, 7)};
}

void SetEqBand(AmplifierState& state, const std::vector<uint8_t>& d) {
    const int channel = At(d, 2);
    const int band = At(d, 3);
    if (channel >= kAmpChannels || band >= kAmpBands || d.size() < 10) {
        return;
    }
    EqBandState& eq = state.channels[channel].eq[band];
    eq.frequency = At16(d, 4);
    eq.qInteger = At(d, 6);
    const bool thousandths = d.size() >= 11;
    eq.qFraction = thousandths ? At16(d, 7) : At(d, 7);
    eq.gainByte = At(d, thousandths ? 9 : 8);
    eq.gainTenths = At(d, thousandths ? 10 : 9);
}

void SetTrims(AmplifierState& state, const std::vector<uint8_t>& d) {
    const size_t size = EntrySize(d, d[2], d[3]);
    if (size == 0) {
        return;
    }
    ForEachEntry(d, 4, d[2], d[3], size, kAmpChannels, [&](int c, size_t at) {
        state.channels[c].trimAttenuation = d[at];
        state.channels[c].trimHundredths = size >= 2 ? d[at + 1] : 0;
    });
}

void SetMixMasks(AmplifierState& state, const std::vector<uint8_t>& d) {
    const size_t size = std::min<size_t>(EntrySize(d, d[2], d[3]), 4);
    if (size == 0 || d[1] >= kAmpSources) {
        return;
    }
    SourceState& source = state.sources[d[1]];
    ForEachEntry(d, 4, d[2], d[3], size, kAmpChannels, [&](int c, size_t at) {
        uint32_t mask = 0;
        for (size_t i = 0; i < size; ++i) {
            mask = mask << 8 | d[at + i];
        }
        source.mixMask[c] = mask;
    });
}

void SetLink(AmplifierState& state, const std::vector<uint8_t>& d) {
    state.link = At(d, 1);
    state.linkPairs.fill(0);
    const int count = std::min<int>(At(d, 2), kAmpPairSlots);
    for (int i = 0; i < count && 4 + 2 * static_cast<size_t>(i) < d.size(); ++i) {
        state.linkPairs[i] =
            static_cast<uint8_t>((d[3 + 2 * i] & 0x0F) << 4 | (d[4 + 2 * i] & 0x0F));
    }
}

void ResetEq(AmplifierState& state, const std::vector<uint8_t>& d, const AmplifierState& defaults) {
    const int count = At(d, 2);
    for (int i = 0; i < count && 3 + static_cast<size_t>(i) < d.size(); ++i) {
        const int channel = d[3 + i];
        if (channel < kAmpChannels) {
            state.channels[channel].eq = defaults.channels[channel].eq;
        }
    }
}

void SetInputPhases(AmplifierState& state, const std::vector<uint8_t>& d) {
    if (d[1] >= kAmpSources) {
        return;
    }
    SourceState& source = state.sources[d[1]];
    ForEachEntry(d, 4, d[2], d[3], 1, kAmpInputs,
                 [&](int c, size_t at) { source.inputPhase[c] = d[at]; });
}

void SetMixTrims(AmplifierState& state, const std::vector<uint8_t>& d) {
    if (d.size() < 5 || d[1] >= kAmpSources || d[2] >= kAmpInputs) {
        return;
    }
    auto& trims = state.sources[d[1]].mixTrim[d[2]];
    ForEachEntry(d, 5, d[3], d[4], 1, kAmpChannels, [&](int o, size_t at) { trims[o] = d[at]; });
}

void SetCrossMix(AmplifierState& state, uint8_t source, uint8_t channel, CrossMixState mix) {
    if (source < kAmpSources && channel < kAmpInputs) {
        state.sources[source].crossMix[channel] = mix;
    }
}

void SetCompressor(AmplifierState& state, const std::vector<uint8_t>& d) {
    const int channel = At(d, 2);
    if (channel >= kAmpChannels || d.size() < 14) {
        return;
    }
    CompressorState& c = state.channels[channel].compressor;
    c = {d[3], d[4], d[5], d[6], d[7], d[8], d[9], At16(d, 10), At16(d, 12)};
}

void SetCompressors2(AmplifierState& state, const std::vector<uint8_t>& d) {
    ForEachEntry(d, 4, d[2], d[3], 6, kAmpChannels, [&](int c, size_t at) {
        state.channels[c].compressor2 = {static_cast<int8_t>(d[at]), static_cast<int8_t>(d[at + 1]),
                                         At16(d, at + 2), d[at + 4], d[at + 5]};
    });
}

// A source switch keeps the volume of the source left and brings back the
// one of the source chosen; an unknown code changes the source only.
void SwitchSource(AmplifierState& state, uint8_t code) {
    const int left = state.sourceCode - kSourceCodeBase;
    if (left >= 0 && left < kAmpSources) {
        state.sourceVolumeAttenuation[static_cast<size_t>(left)] = state.volumeAttenuation;
    }
    state.sourceCode = code;
    const int chosen = code - kSourceCodeBase;
    if (chosen >= 0 && chosen < kAmpSources) {
        state.volumeAttenuation = state.sourceVolumeAttenuation[static_cast<size_t>(chosen)];
    }
}

void SetBridges(AmplifierState& state, const std::vector<uint8_t>& d) {
    const int count = std::min<int>(At(d, 2), kAmpPairSlots);
    state.bridgeCount = static_cast<uint8_t>(count);
    state.bridges.fill(0);
    for (int i = 0; i < count && 3 + static_cast<size_t>(i) < d.size(); ++i) {
        state.bridges[i] = d[3 + i];
    }
}

}  // namespace

void AmplifierProtocol::SetDsp(const HostFrame& frame) {
    const std::vector<uint8_t>& d = frame.data;
    AmplifierState& working = mStates[0];
    // Commands without a scene byte act on the working state.
    AmplifierState* scene = d.empty() ? nullptr : StateOf(d[0]);
    const bool ranged = d.size() >= 4 && scene != nullptr;
    switch (frame.subCommand) {
        case 0x01:
            SwitchSource(working, At(d, 0));
            break;
        case 0x02:
            working.volumeAttenuation = std::min(At(d, 0), kMaxVolumeAttenuation);
            break;
        case 0x03:
            working.subwooferVolume = static_cast<int8_t>(At(d, 0));
            break;
        case 0x04:
            working.mute = At(d, 0);
            break;
        case 0x05:
            if (scene)
                SetFilter(*scene, d);
            break;
        case 0x06:
            if (scene)
                SetEqBand(*scene, d);
            break;
        case 0x07:
            if (ranged) {
                ForEachEntry(d, 4, d[2], d[3], 3, kAmpChannels, [&](int c, size_t at) {
                    scene->channels[c].delayMs = d[at];
                    scene->channels[c].delayThousandths = At16(d, at + 1);
                });
            }
            break;
        case 0x08:
            if (ranged)
                SetTrims(*scene, d);
            break;
        case 0x09:
            if (ranged)
                SetChannelBytes(*scene, d, &ChannelState::mute);
            break;
        case 0x0A:
            if (ranged)
                SetChannelBytes(*scene, d, &ChannelState::phase);
            break;
        case 0x0B:
            if (ranged)
                SetMixMasks(*scene, d);
            break;
        case 0x0D:
            if (ranged)
                SetChannelBytes(*scene, d, &ChannelState::type);
            break;
        case 0x0E:
            if (scene)
                SetLink(*scene, d);
            break;
        case 0x0F:
            if (scene)
                scene->lock = At(d, 1);
            break;
        case 0x11:
            if (scene)
                ResetEq(*scene, d, mDefaults);
            break;
        case 0x12:
            if (ranged)
                SetChannelBytes(*scene, d, &ChannelState::eqBypass);
            break;
        case 0x13:
            ControlCalibration(At(d, 0), At16(d, 1), At(d, 3));
            break;
        case 0x1E:
            mCalibration.SelectModules(At(d, 0));
            break;
        case 0x22:
            if (ranged)
                SetInputPhases(*scene, d);
            break;
        case 0x24:
            if (scene)
                SetMixTrims(*scene, d);
            break;
        case 0x26:
            working.inputThreshold = static_cast<int8_t>(At(d, 0));
            break;
        case 0x34:
            if (ranged)
                SetChannelBytes(*scene, d, &ChannelState::solo);
            break;
        case 0x3B:
            if (scene)
                scene->autoOn = At(d, 1);
            break;
        case 0x3C:
            if (scene)
                scene->ircActiveBypass = At(d, 1);
            break;
        case 0x3D:
            // The upmix block names its scene in its first byte; a block
            // cut short is not taken.
            if (scene && d.size() >= size_t{kCsAutoBytes})
                std::copy_n(d.begin(), kCsAutoBytes, scene->csAuto.begin());
            break;
        case 0x3E:
            if (scene)
                SetCompressor(*scene, d);
            break;
        case 0x3F:
            working.ampMute = At(d, 0);
            break;
        case 0x42:
            if (d.size() >= 8) {
                mMemory.Write(static_cast<uint32_t>(d[0] | d[1] << 8 | d[2] << 16) |
                                  static_cast<uint32_t>(d[3]) << 24,
                              static_cast<uint32_t>(d[4] | d[5] << 8 | d[6] << 16) |
                                  static_cast<uint32_t>(d[7]) << 24);
            }
            break;
        case 0x45:
            working.remOut1 = At(d, 0);
            working.remOut2 = At(d, 1);
            break;
        case 0x47:
            if (scene)
                SetCrossMix(*scene, At(d, 1), At(d, 2), {At(d, 3), At(d, 4), At(d, 5)});
            break;
        case 0x49:
            if (ranged)
                SetChannelBytes(*scene, d, &ChannelState::compressorOn);
            break;
        case 0x4A:
            if (ranged)
                SetCompressors2(*scene, d);
            break;
        case 0x4B:
            working.spkOhm = At(d, 0);
            break;
        case 0x4C:
            if (scene)
                SetBridges(*scene, d);
            break;
        case 0x4D: {
            if (scene) {
                const CrossMixState old = StateOf(At(d, 0))
                                              ->sources[At(d, 1) % kAmpSources]
                                              .crossMix[At(d, 4) % kAmpInputs];
                SetCrossMix(*scene, At(d, 1), At(d, 4), {At(d, 2), At(d, 3), old.viceGain});
            }
            break;
        }
        case 0x4E:
            working.noiseGate = At(d, 0);
            break;
        case 0x4F:
            working.noiseGateGainIndex = std::min<uint8_t>(At(d, 1), 48);
            break;
        case 0x50:
            working.noiseGateThresholdIndex = std::min<uint8_t>(At(d, 1), 31);
            break;
        case 0x51:
            working.spkOhm13 = At(d, 0);
            working.spkOhm21 = At(d, 1);
            break;
        default:
            break;
    }
}

}  // namespace virtual_device
