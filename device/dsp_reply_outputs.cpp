// DSP reports about the output channels: crossovers, EQ bands, delay, trim,
// switches, mixer masks, links, compressors and bridges. Range reports carry
// scene, source, first and last channel, then one entry per channel.
#include <algorithm>

#include "app/log.h"
#include "device/device_records.h"
#include "device/dsp_encoders.h"
#include "device/dsp_reply_families.h"
#include "device/dsp_subcommands.h"
#include "device/window_messages.h"

namespace device {
namespace {

constexpr int kRangeHeader = 4;
constexpr float kEqGainOffset = 18.0f;
constexpr float kCompressorThresholdOffset = 100.0f;

struct Range {
    int scene;
    int source;
    int first;
    int last;
};

Range RangeOf(const FrameReader& data) {
    return {data.U8(0), data.U8(1), data.U8(2), data.U8(3)};
}

void DecodeFilters(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    const Range range = RangeOf(data);
    app::Log("DSP_FILTER_GET OP=0x%x, scene =%d, source = 0x%x, from ch(%d) to ch_end(%d)\n",
             OP_UPDATE, range.scene, range.source, range.first, range.last);
    data.ForEachEntry(kRangeHeader, range.first, range.last, 8, [&](int channel, int at) {
        FilterRecord record;
        record.scene = range.scene;
        record.channel = channel;
        record.hp_type = data.U8(at);
        record.hp_freq = data.U16(at + 1);
        record.hp_slope = data.U8(at + 3);
        record.lp_type = data.U8(at + 4);
        record.lp_freq = data.U16(at + 5);
        record.lp_slope = data.U8(at + 7);
        PostRecord(main, WM_READ_DSP_VALUE, sub, record);
    });
}

// data 0 scene, 1 source, 2 channel, 3 first band, 4 last band, bands from 5.
void DecodeEqBands(const FrameReader& data, platform::WindowHandle main, uint8_t sub,
                   bool eqPrecision) {
    const int entry = eqPrecision ? 7 : 6;
    data.ForEachEntry(5, data.U8(3), data.U8(4), entry, [&](int band, int at) {
        EqBandRecord record;
        record.scene = data.U8(0);
        record.channel = data.U8(2);
        record.band = band;
        record.frequency = data.U16(at);
        const float fraction = eqPrecision ? data.U16(at + 3) / 1000.0f : data.U8(at + 3) / 100.0f;
        record.q = static_cast<float>(data.U8(at + 2)) + fraction;
        const uint8_t gainByte = data.U8(at + entry - 2);
        record.gain =
            static_cast<float>(gainByte & 0x1F) + data.U8(at + entry - 1) / 10.0f - kEqGainOffset;
        record.type = gainByte >> 5;
        PostRecord(main, WM_READ_DSP_VALUE, sub, record);
    });
}

void DecodeDelays(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    const Range range = RangeOf(data);
    data.ForEachEntry(kRangeHeader, range.first, range.last, 3, [&](int channel, int at) {
        const float delay = static_cast<float>(data.U8(at)) + data.U16(at + 1) / 1000.0f;
        PostRecord(main, WM_READ_DSP_VALUE, sub, ChannelFloatRecord{range.scene, channel, delay});
    });
}

void DecodeTrims(const FrameReader& data, platform::WindowHandle main, uint8_t sub,
                 bool floatTrim) {
    const Range range = RangeOf(data);
    data.ForEachEntry(
        kRangeHeader, range.first, range.last, floatTrim ? 2 : 1, [&](int channel, int at) {
            const float trim = floatTrim
                                   ? -(static_cast<float>(data.U8(at)) + data.U8(at + 1) / 100.0f)
                                   : static_cast<float>(data.S8(at));
            PostRecord(main, WM_READ_DSP_VALUE, sub,
                       ChannelFloatRecord{range.scene, channel, trim});
        });
}

// Mute, phase, output type, EQ bypass, solo, compressor on.
void DecodeChannelBytes(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    const Range range = RangeOf(data);
    data.ForEachEntry(kRangeHeader, range.first, range.last, 1, [&](int channel, int at) {
        if (sub == DSP_CH_TYPE) {
            app::Log("DSP_CH_TYPE ch(%d), type(%d)\n", channel, data.U8(at));
        }
        PostRecord(main, WM_READ_DSP_VALUE, sub,
                   ChannelValueRecord{range.scene, channel, data.U8(at)});
    });
}

void DecodeMixMasks(const FrameReader& data, platform::WindowHandle main, uint8_t sub,
                    int mixerInputs) {
    const Range range = RangeOf(data);
    const int bytes = MixMaskBytes(mixerInputs);
    data.ForEachEntry(kRangeHeader, range.first, range.last, bytes, [&](int channel, int at) {
        uint32_t mask = 0;
        for (int i = 0; i < bytes; ++i) {
            mask = mask << 8 | data.U8(at + i);
        }
        PostRecord(main, WM_READ_DSP_VALUE, sub,
                   MixMaskRecord{range.scene, range.source, channel, mask});
    });
}

void DecodeLink(const FrameReader& data, platform::WindowHandle main, uint8_t sub,
                int outputChannels) {
    if (!data.Has(2)) {
        return;
    }
    LinkRecord record;
    record.scene = data.U8(0);
    record.link = data.U8(1);
    const char* format = sub == DSP_CH_LINK        ? "scene(%d), link(%d)\n"
                         : sub == DSP_CH_TRIM_LINK ? "scene(%d), trim_link(%d)\n"
                                                   : "scene(%d), delay_link(%d)\n";
    app::Log(format, record.scene, record.link);
    const int wanted = std::clamp(outputChannels / 2, 0, static_cast<int>(record.pairs.size()));
    record.pairCount = std::min(wanted, data.Length() - 2);
    for (int i = 0; i < record.pairCount; ++i) {
        record.pairs[i] = data.U8(2 + i);
    }
    PostRecord(main, WM_READ_DSP_VALUE, sub, record);
}

void DecodeQFactorModes(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    const Range range = RangeOf(data);
    if (!data.Has(kRangeHeader) || range.first > range.last) {
        return;
    }
    ChannelByteRecord record;
    record.scene = static_cast<uint8_t>(range.scene);
    record.source = static_cast<uint8_t>(range.source);
    record.first = static_cast<uint8_t>(range.first);
    record.last = static_cast<uint8_t>(range.last);
    data.ReadChannelBytes(kRangeHeader, range.first, range.last, record.modes);
    PostRecord(main, WM_READ_DSP_VALUE, sub, record);
}

void DecodeCompressors(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    const Range range = RangeOf(data);
    data.ForEachEntry(kRangeHeader, range.first, range.last, 11, [&](int channel, int at) {
        CompressorRecord record;
        record.scene = range.scene;
        record.channel = channel;
        record.bypass = data.U8(at);
        record.threshold = static_cast<float>(data.U8(at + 1)) + data.U8(at + 2) / 10.0f -
                           kCompressorThresholdOffset;
        record.ratio = static_cast<float>(data.U8(at + 3)) + data.U8(at + 4) / 10.0f;
        record.knee = static_cast<float>(data.U8(at + 5)) + data.U8(at + 6) / 10.0f;
        record.attack = data.U16(at + 7);
        record.release = data.U16(at + 9);
        PostRecord(main, WM_READ_DSP_VALUE, sub, record);
    });
}

void DecodeCompressors2(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    const Range range = RangeOf(data);
    data.ForEachEntry(kRangeHeader, range.first, range.last, 6, [&](int channel, int at) {
        CompressorRecord record;
        record.scene = range.scene;
        record.channel = channel;
        record.threshold = static_cast<float>(data.S8(at)) + 0.1f * data.S8(at + 1);
        record.attack = data.U16(at + 2);
        record.release = (data.U8(at + 4) * 10 + data.U8(at + 5)) * 100;
        PostRecord(main, WM_READ_DSP_VALUE, sub, record);
    });
}

void DecodeOutputDistort(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    if (!data.Has(3) || data.U8(1) > data.U8(2)) {
        return;
    }
    OutputDistortRecord record;
    record.source = data.U8(0);
    record.first = data.U8(1);
    record.last = data.U8(2);
    data.ReadChannelBytes(3, record.first, record.last, record.values);
    PostRecord(main, WM_READ_DSP_VALUE, sub, record);
}

void DecodeSpeakerDistances(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    const Range range = RangeOf(data);
    if (!data.Has(kRangeHeader) || range.first > range.last) {
        return;
    }
    SpkDistRecord record;
    record.scene = static_cast<uint8_t>(range.scene);
    record.source = static_cast<uint8_t>(range.source);
    record.first = static_cast<uint8_t>(range.first);
    record.last = static_cast<uint8_t>(range.last);
    data.ForEachEntry(kRangeHeader, range.first, range.last, 2, [&](int channel, int at) {
        if (channel < kRecordChannels) {
            record.distances[channel] = data.U16(at);
        }
    });
    PostRecord(main, WM_READ_DSP_VALUE, sub, record);
}

void DecodeMixType(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    if (data.Has(3)) {
        PostRecord(main, WM_READ_DSP_VALUE, sub, MixTypeRecord{data.U8(0), data.U8(1), data.U8(2)});
    }
}

void DecodeCrossMix(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    if (sub == DSP_CROSS_SOURCE_MIX && data.Has(6)) {
        PostRecord(
            main, WM_READ_DSP_VALUE, sub,
            CrossMixRecord{data.U8(0), data.U8(1), data.U8(2), data.U8(3), data.U8(4), data.U8(5)});
    } else if (sub == DSP_CROSS_SOURCE_MIX_CS47048 && data.Has(5)) {
        PostRecord(main, WM_READ_DSP_VALUE, sub,
                   CrossMixRecord{data.U8(0), data.U8(1), data.U8(4), data.U8(2), data.U8(3), 0});
    }
}

void DecodeBridges(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    if (!data.Has(3)) {
        return;
    }
    BridgeRecord record;
    record.scene = data.U8(0);
    record.source = data.U8(1);
    const int count = std::min(
        {static_cast<int>(data.U8(2)), data.Length() - 3, static_cast<int>(record.bridges.size())});
    record.count = static_cast<uint8_t>(count);
    for (int i = 0; i < count; ++i) {
        record.bridges[i] = data.U8(3 + i);
    }
    PostRecord(main, WM_READ_DSP_VALUE, sub, record);
}

}  // namespace

bool DecodeDspOutputReport(uint8_t sub, const FrameReader& data, const ReplyContext& context) {
    const platform::WindowHandle main = context.targets.mainWnd;
    switch (sub) {
        case DSP_FILTER_SET:
            DecodeFilters(data, main, sub);
            return true;
        case DSP_EQ_CH:
            DecodeEqBands(data, main, sub, context.params.eqPrecision);
            return true;
        case DSP_DELAY_CH:
            DecodeDelays(data, main, sub);
            return true;
        case DSP_TRIM_CH:
            DecodeTrims(data, main, sub, context.params.floatTrim);
            return true;
        case DSP_MUTE_CH:
        case DSP_PHASE_CH:
        case DSP_CH_TYPE:
        case DSP_EQ_BYPASS:
        case DSP_CH_SOLO:
        case DSP_COMPRESSOR_ON_CH:
            DecodeChannelBytes(data, main, sub);
            return true;
        case DSP_MIX_CH:
            DecodeMixMasks(data, main, sub, context.params.mixerInputs);
            return true;
        case DSP_CH_LINK:
        case DSP_CH_TRIM_LINK:
        case DSP_CH_DELAY_LINK:
            DecodeLink(data, main, sub, context.params.outputChannels);
            return true;
        case DSP_CH_LOCK:
            if (data.Has(2)) {
                PostRecord(main, WM_READ_DSP_VALUE, sub, LockRecord{data.U8(0), data.U8(1)});
            }
            return true;
        case DSP_EQ_RESET:
            app::Log("DSP_EQ_RESET OP=0x%x, scene =%d, \n", OP_UPDATE, data.U8(0));
            return true;
        case DSP_MIX_TYPE:
        case DSP_MIX_TYPE2:
            DecodeMixType(data, main, sub);
            return true;
        case DSP_HPF_Q_FACT_MODE:
        case DSP_LPF_Q_FACT_MODE:
            DecodeQFactorModes(data, main, sub);
            return true;
        case DSP_COMPRESSOR_SETTING:
            DecodeCompressors(data, main, sub);
            return true;
        case DSP_COMPRESSOR_SETTING2:
            DecodeCompressors2(data, main, sub);
            return true;
        case DSP_OUTPUT_CH_DISTORT:
            DecodeOutputDistort(data, main, sub);
            return true;
        case DSP_SPK_DIST:
            DecodeSpeakerDistances(data, main, sub);
            return true;
        case DSP_CROSS_SOURCE_MIX:
        case DSP_CROSS_SOURCE_MIX_CS47048:
            DecodeCrossMix(data, main, sub);
            return true;
        case DSP_OUPUT_BRIDGE:
            DecodeBridges(data, main, sub);
            return true;
        default:
            return false;
    }
}

}  // namespace device
