// DSP reports about the inputs: trims, mutes and phases per input channel,
// input EQ, the mixer's per-output levels, the noise level and clipping.
#include <algorithm>

#include "app/log.h"
#include "device/device_records.h"
#include "device/dsp_reply_families.h"
#include "device/dsp_subcommands.h"
#include "device/window_messages.h"

namespace device {
namespace {

constexpr float kEqGainOffset = 18.0f;
constexpr float kNoiseOffset = 100.0f;

void DecodeInputChannels(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    if (!data.Has(4) || data.U8(2) > data.U8(3)) {
        return;
    }
    InputChannelRecord record;
    record.scene = data.U8(0);
    record.source = data.U8(1);
    record.first = data.U8(2);
    record.last = data.U8(3);
    data.ReadChannelBytes(4, record.first, record.last, record.values);
    PostRecord(main, WM_READ_DSP_VALUE, sub, record);
}

void DecodeInputEq(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    data.ForEachEntry(5, data.U8(3), data.U8(4), 6, [&](int band, int at) {
        EqBandRecord record;
        record.scene = data.U8(0);
        record.channel = data.U8(2);
        record.band = band;
        record.frequency = data.U16(at);
        record.q = static_cast<float>(data.U8(at + 2)) + data.U8(at + 3) / 100.0f;
        record.gain = static_cast<float>(data.U8(at + 4)) + data.U8(at + 5) / 10.0f - kEqGainOffset;
        record.type = 0;
        PostRecord(main, WM_READ_DSP_VALUE, sub, record);
    });
}

void DecodeMixTrims(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    if (!data.Has(5) || data.U8(3) > data.U8(4)) {
        return;
    }
    InputMixTrimRecord record;
    record.scene = data.U8(0);
    record.source = data.U8(1);
    record.inputChannel = data.U8(2);
    record.firstOutput = data.U8(3);
    record.lastOutput = data.U8(4);
    data.ForEachEntry(5, record.firstOutput, record.lastOutput, 1, [&](int output, int at) {
        const int i = output - record.firstOutput;
        if (i < kRecordChannels) {
            record.trims[i] = data.S8(at);
        }
    });
    PostRecord(main, WM_READ_DSP_VALUE, sub, record);
}

void DecodeNoise(const FrameReader& data, platform::WindowHandle noiseWnd, uint8_t sub) {
    if (!data.Has(2) || data.U8(0) > data.U8(1)) {
        return;
    }
    InputNoiseRecord record;
    record.first = data.U8(0);
    record.last = data.U8(1);
    data.ForEachEntry(2, record.first, record.last, 2, [&](int channel, int at) {
        if (channel < kNoiseRecordChannels) {
            record.noise[channel] =
                (static_cast<float>(data.U8(at)) - kNoiseOffset) + data.U8(at + 1) / 10.0f;
        }
    });
    PostRecord(noiseWnd, WM_READ_DSP_VALUE, sub, record);
}

void DecodeInputDistort(const FrameReader& data, platform::WindowHandle main, uint8_t sub) {
    if (!data.Has(3) || data.U8(1) > data.U8(2)) {
        return;
    }
    InputDistortRecord record;
    record.source = data.U8(0);
    record.first = data.U8(1);
    record.last = data.U8(2);
    data.ReadChannelBytes(3, record.first, record.last, record.values);
    PostRecord(main, WM_READ_DSP_VALUE, sub, record);
}

}  // namespace

bool DecodeDspInputReport(uint8_t sub, const FrameReader& data, const ReplyContext& context) {
    const platform::WindowHandle main = context.targets.mainWnd;
    switch (sub) {
        case DSP_INPUT_TRIM_CH:
        case DSP_INPUT_CH_MUTE:
        case DSP_INPUT_CH_PHASE:
            DecodeInputChannels(data, main, sub);
            return true;
        case DSP_INPUT_EQ_CH:
            DecodeInputEq(data, main, sub);
            return true;
        case DSP_INPUT_MIX_CH_TRIM:
            DecodeMixTrims(data, main, sub);
            return true;
        case DSP_INPUT_NOISE:
            DecodeNoise(data, context.targets.noiseWnd, sub);
            return true;
        case DSP_INPUT_CH_DISTORT:
            DecodeInputDistort(data, main, sub);
            return true;
        default:
            return false;
    }
}

}  // namespace device
