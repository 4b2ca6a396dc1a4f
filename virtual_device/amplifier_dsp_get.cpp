// The amplifier's reports of its DSP state, in answer to the host's requests.
// A report is one frame in one 64-byte input report (57 data bytes): a range
// that would not fit is answered up to the last channel that does, and the
// header says so.
// Channels beyond the state's arrays are reported with defaults.
#include <algorithm>
#include <utility>

#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/report_room.h"

namespace virtual_device {
namespace {

uint8_t At(const std::vector<uint8_t>& data, size_t index) {
    return index < data.size() ? data[index] : 0;
}

void Put16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

class Reporter {
public:
    Reporter(const AmplifierState& state, const AmplifierState& defaults)
        : mState(state), mDefaults(defaults) {}

    const ChannelState& Channel(int c) const {
        return c < kAmpChannels ? mState.channels[c] : mDefaults.channels[0];
    }
    const SourceState& Source(int s) const {
        return s < kAmpSources ? mState.sources[s] : mDefaults.sources[0];
    }

    // Range header (scene, source, first, last) and one entry per channel.
    template <typename Entry>
    std::vector<uint8_t> Range(const std::vector<uint8_t>& request, size_t entrySize,
                               Entry entry) const {
        const int first = At(request, 2);
        const int last = FittingLast(first, At(request, 3), 4, entrySize);
        std::vector<uint8_t> out = {At(request, 0), At(request, 1), static_cast<uint8_t>(first),
                                    static_cast<uint8_t>(std::max(last, 0))};
        for (int c = first; c <= last; ++c) {
            entry(out, c);
        }
        return out;
    }

    std::vector<uint8_t> ChannelBytes(const std::vector<uint8_t>& request,
                                      uint8_t ChannelState::*field) const {
        return Range(request, 1,
                     [&](std::vector<uint8_t>& out, int c) { out.push_back(Channel(c).*field); });
    }

private:
    const AmplifierState& mState;
    const AmplifierState& mDefaults;
};

int MaskBytes(int mixerInputs) {
    return mixerInputs <= 8 ? 1 : mixerInputs <= 16 ? 2 : mixerInputs <= 24 ? 3 : 4;
}

}  // namespace

std::vector<uint8_t> AmplifierProtocol::GetDsp(const HostFrame& frame) {
    const std::vector<uint8_t>& q = frame.data;
    const AmplifierState& working = mStates[0];
    // A scene beyond the slots reports the defaults (the const lookup).
    const AmplifierState& state = *std::as_const(*this).StateOf(At(q, 0));
    const Reporter report(state, mDefaults);
    switch (frame.subCommand) {
        case 0x01:
            return {working.sourceCode};
        case 0x02:
            return {static_cast<uint8_t>(
                static_cast<int8_t>(kVolumeTopDb - working.volumeAttenuation))};
        case 0x03:
            return {static_cast<uint8_t>(working.subwooferVolume)};
        case 0x04:
            return {working.mute};
        case 0x05:
            return report.Range(q, 8, [&](std::vector<uint8_t>& out, int c) {
                const ChannelState& ch = report.Channel(c);
                out.push_back(ch.highPass.type);
                Put16(out, ch.highPass.frequency);
                out.push_back(ch.highPass.slope);
                out.push_back(ch.lowPass.type);
                Put16(out, ch.lowPass.frequency);
                out.push_back(ch.lowPass.slope);
            });
        case 0x06: {
            const size_t entry = mOptions.eqPrecision ? 7 : 6;
            const int channel = At(q, 2);
            const int first = At(q, 3);
            const int last = FittingLast(first, At(q, 4), 5, entry);
            std::vector<uint8_t> out = {At(q, 0), At(q, 1), At(q, 2), static_cast<uint8_t>(first),
                                        static_cast<uint8_t>(std::max(last, 0))};
            for (int b = first; b <= last; ++b) {
                const EqBandState band =
                    b < kAmpBands ? report.Channel(channel).eq[b] : EqBandState{};
                Put16(out, band.frequency);
                out.push_back(band.qInteger);
                if (mOptions.eqPrecision) {
                    Put16(out, band.qFraction);
                } else {
                    // The tenths digit that came in goes back as hundredths.
                    out.push_back(static_cast<uint8_t>(band.qFraction * 10));
                }
                out.push_back(band.gainByte);
                out.push_back(band.gainTenths);
            }
            return out;
        }
        case 0x07:
            return report.Range(q, 3, [&](std::vector<uint8_t>& out, int c) {
                out.push_back(report.Channel(c).delayMs);
                Put16(out, report.Channel(c).delayThousandths);
            });
        case 0x08:
            return report.Range(
                q, mOptions.floatTrim ? 2 : 1, [&](std::vector<uint8_t>& out, int c) {
                    const ChannelState& ch = report.Channel(c);
                    if (mOptions.floatTrim) {
                        out.push_back(ch.trimAttenuation);
                        out.push_back(ch.trimHundredths);
                    } else {
                        out.push_back(
                            static_cast<uint8_t>(static_cast<int8_t>(-ch.trimAttenuation)));
                    }
                });
        case 0x09:
            return report.ChannelBytes(q, &ChannelState::mute);
        case 0x0A:
            return report.ChannelBytes(q, &ChannelState::phase);
        case 0x0B: {
            const int bytes = MaskBytes(mOptions.mixerInputs);
            const SourceState& source = report.Source(At(q, 1));
            return report.Range(q, static_cast<size_t>(bytes),
                                [&](std::vector<uint8_t>& out, int c) {
                                    const uint32_t mask = c < kAmpChannels ? source.mixMask[c] : 0;
                                    for (int i = bytes - 1; i >= 0; --i) {
                                        out.push_back(static_cast<uint8_t>(mask >> (8 * i)));
                                    }
                                });
        }
        case 0x0D:
            return report.ChannelBytes(q, &ChannelState::type);
        case 0x0E: {
            std::vector<uint8_t> out = {At(q, 0), state.link};
            const int pairs = std::clamp(mOptions.outputChannels / 2, 0, kAmpPairSlots);
            out.insert(out.end(), state.linkPairs.begin(), state.linkPairs.begin() + pairs);
            return out;
        }
        case 0x0F:
            return {At(q, 0), state.lock};
        case 0x12:
            return report.ChannelBytes(q, &ChannelState::eqBypass);
        case 0x13:
            return CalibrationStatusReport(mCalibration.Status(CalibrationNowLocked()));
        case 0x14: {
            const int first = At(q, 0);
            const int last = FittingLast(first, At(q, 1), 2, 2);
            std::vector<uint8_t> out = {At(q, 0), static_cast<uint8_t>(std::max(last, 0))};
            for (int c = first; c <= last; ++c) {
                const unsigned hundredths = report.Channel(c).speakerDistance;
                out.push_back(static_cast<uint8_t>(hundredths / 100));
                out.push_back(static_cast<uint8_t>(hundredths % 100));
            }
            return out;
        }
        case 0x16:
            return mCalibration.EqReport(q, CalibrationNowLocked());
        case 0x1A:
            return mCalibration.SpectrumReport(q, CalibrationNowLocked());
        case 0x24: {
            const SourceState& source = report.Source(At(q, 1));
            const int input = At(q, 2);
            const int first = At(q, 3);
            const int last = FittingLast(first, At(q, 4), 5, 1);
            std::vector<uint8_t> out = {At(q, 0), At(q, 1), At(q, 2), static_cast<uint8_t>(first),
                                        static_cast<uint8_t>(std::max(last, 0))};
            for (int o = first; o <= last; ++o) {
                out.push_back(input < kAmpInputs && o < kAmpChannels ? source.mixTrim[input][o]
                                                                     : 0);
            }
            return out;
        }
        case 0x26:
            return {static_cast<uint8_t>(working.inputThreshold)};
        case 0x27: {
            // The noise measured on the inputs, two bytes each.
            const int first = At(q, 0);
            const int last = FittingLast(first, At(q, 1), 2, 2);
            std::vector<uint8_t> out = {At(q, 0), static_cast<uint8_t>(std::max(last, 0))};
            for (int c = first; c <= last; ++c) {
                const NoiseBytes level = EncodeNoiseLevel(InputNoiseLocked(c));
                out.insert(out.end(), {level.whole, level.tenths});
            }
            return out;
        }
        case 0x34:
            return report.ChannelBytes(q, &ChannelState::solo);
        case 0x35:
            return {working.speakerConfig};
        case 0x36:
        case 0x83:
            return {At(q, 0), At(q, 1), state.mixType};
        case 0x37:
            return report.ChannelBytes(q, &ChannelState::hpfQMode);
        case 0x38:
            return report.ChannelBytes(q, &ChannelState::lpfQMode);
        case 0x3B:
            return {working.autoOn};
        case 0x3E:
            return report.Range(q, 11, [&](std::vector<uint8_t>& out, int c) {
                const CompressorState& k = report.Channel(c).compressor;
                out.insert(out.end(), {k.bypass, k.thresholdInteger, k.thresholdTenths,
                                       k.ratioInteger, k.ratioTenths, k.kneeInteger, k.kneeTenths});
                Put16(out, k.attack);
                Put16(out, k.release);
            });
        case 0x3F:
            return {working.ampMute};
        case 0x40:
            return ClipReport(q, false);
        case 0x41:
            return ClipReport(q, true);
        case 0x42: {
            const uint32_t address =
                static_cast<uint32_t>(At(q, 0) | At(q, 1) << 8 | At(q, 2) << 16) |
                static_cast<uint32_t>(At(q, 3)) << 24;
            const uint32_t value = mMemory.Read(address, working);
            std::vector<uint8_t> out(q.begin(), q.begin() + std::min<size_t>(4, q.size()));
            out.resize(4, 0);
            for (int shift = 0; shift < 32; shift += 8) {
                out.push_back(static_cast<uint8_t>(value >> shift));
            }
            return out;
        }
        case 0x43:
            return report.Range(q, 2, [&](std::vector<uint8_t>& out, int c) {
                Put16(out, report.Channel(c).speakerDistance);
            });
        case 0x45:
            return {working.remOut1, working.remOut2};
        case 0x46:
            return {1};  // the DSP runs
        case 0x47: {
            const int input = At(q, 2);
            const CrossMixState mix =
                input < kAmpInputs ? report.Source(At(q, 1)).crossMix[input] : CrossMixState{};
            return {At(q, 0), At(q, 1), At(q, 2), mix.viceSource, mix.viceChannel, mix.viceGain};
        }
        case 0x4D: {
            const int input = At(q, 4);
            const CrossMixState mix =
                input < kAmpInputs ? report.Source(At(q, 1)).crossMix[input] : CrossMixState{};
            return {At(q, 0), At(q, 1), mix.viceSource, mix.viceChannel, At(q, 4)};
        }
        case 0x49:
            return report.ChannelBytes(q, &ChannelState::compressorOn);
        case 0x4A:
            return report.Range(q, 6, [&](std::vector<uint8_t>& out, int c) {
                const Compressor2State& k = report.Channel(c).compressor2;
                out.push_back(static_cast<uint8_t>(k.thresholdInteger));
                out.push_back(static_cast<uint8_t>(k.thresholdTenths));
                Put16(out, k.attack);
                out.push_back(k.releaseSeconds);
                out.push_back(k.releaseTenths);
            });
        case 0x4B:
            return {working.spkOhm};
        case 0x4C: {
            const int count = std::min<int>(At(q, 2), kAmpPairSlots);
            std::vector<uint8_t> out = {At(q, 0), At(q, 1), static_cast<uint8_t>(count)};
            out.insert(out.end(), state.bridges.begin(), state.bridges.begin() + count);
            return out;
        }
        case 0x4E:
            return {working.noiseGate};
        case 0x4F:
            return {0, working.noiseGateGainIndex};
        case 0x50:
            return {0, working.noiseGateThresholdIndex};
        case 0x51:
            return {working.spkOhm13, working.spkOhm21};
        default:
            return {};
    }
}

}  // namespace virtual_device
