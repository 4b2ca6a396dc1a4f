// The automatic calibration's reports, posted to the calibration window.
#include <array>

#include "app/log.h"
#include "device/device_records.h"
#include "device/dsp_reply_families.h"
#include "device/dsp_subcommands.h"
#include "device/window_messages.h"

namespace device {
namespace {

constexpr float kEqGainOffset = 18.0f;

constexpr std::array<const char*, 13> kStatusNames = {
    "IRC_RET_START_TEST",       "IRC_RET_SPK_STATUS_TEST",    "IRC_RET_LEVEL_TEST",
    "IRC_RET_DELAY_TEST",       "IRC_RET_TRIM_TEST",          "IRC_RET_EQ_TEST",
    "IRC_RET_SPEAKER_RTA_TEST", "IRC_RET_SPEAKER_RTA_UPDATE", "IRC_RET_EQ_DATA_UPDATE",
    "IRC_RET_TEST_DATA_UPDATE", "IRC_RET_TEST_DONE",          "IRC_RET_TEST_FAIL",
    "IRC_RET_TEST_EXIT",
};

constexpr std::array<const char*, 6> kFailureNames = {
    "IRC_FAIL_NO_VAR", "IRC_FAIL_NO_MIC", "IRC_FAIL_NO_SPEAKER",
    "IRC_FAIL_DELAY",  "IRC_FAIL_TRIM",   "IRC_FAIL_EQ",
};

constexpr int kStatusRtaUpdate = 7;
constexpr int kStatusEqDataUpdate = 8;
constexpr int kStatusFail = 11;

// data 0 status, 1 extra value, 3 progress, 4 failure reason.
void DecodeStatus(const FrameReader& data, platform::WindowHandle window) {
    if (!data.Has(1)) {
        return;
    }
    const int status = data.U8(0);
    app::Log("DSP_IRC_CTRL Update Status = 0x%x, progress = %d\n", status, data.U8(3));
    if (status >= static_cast<int>(kStatusNames.size())) {
        return;
    }
    int value = 0;
    if (status == kStatusRtaUpdate || status == kStatusEqDataUpdate) {
        if (!data.Has(2)) {
            return;
        }
        app::Log("%s\n", kStatusNames[status]);
        value = data.U8(1);
    } else if (status == kStatusFail) {
        if (!data.Has(5)) {
            return;
        }
        // A reason this program has no name for still ends the run: without
        // it the window would wait for a run that is over.
        const int reason = data.U8(4);
        if (reason < static_cast<int>(kFailureNames.size())) {
            app::Log("IRC_RET_TEST_FAIL->%s\n", kFailureNames[reason]);
        } else {
            app::Log("IRC_RET_TEST_FAIL->%d\n", reason);
        }
        value = reason;
    } else {
        if (!data.Has(4)) {
            return;
        }
        app::Log("%s\n", kStatusNames[status]);
        value = data.U8(3);
    }
    PostValue(window, WM_READ_IRC_VALUE, static_cast<uintptr_t>(status), value);
}

void DecodeDistances(const FrameReader& data, platform::WindowHandle window, uint8_t sub) {
    data.ForEachEntry(2, data.U8(0), data.U8(1), 2, [&](int channel, int at) {
        const float distance = static_cast<float>(data.U8(at)) + data.U8(at + 1) / 100.0f;
        PostRecord(window, WM_READ_IRC_VALUE, sub, IrcDistanceRecord{channel, distance});
    });
}

void DecodeTrims(const FrameReader& data, platform::WindowHandle window, uint8_t sub) {
    data.ForEachEntry(2, data.U8(0), data.U8(1), 1, [&](int channel, int at) {
        PostRecord(window, WM_READ_IRC_VALUE, sub,
                   IrcTrimRecord{channel, static_cast<float>(data.U8(at))});
    });
}

void DecodeChannelValues(const FrameReader& data, platform::WindowHandle window, uint8_t sub) {
    data.ForEachEntry(2, data.U8(0), data.U8(1), 1, [&](int channel, int at) {
        PostRecord(window, WM_READ_IRC_VALUE, sub, IrcChannelValueRecord{channel, data.U8(at)});
    });
}

void DecodeEq(const FrameReader& data, platform::WindowHandle window, uint8_t sub) {
    data.ForEachEntry(3, data.U8(1), data.U8(2), 6, [&](int band, int at) {
        IrcEqRecord record;
        record.channel = data.U8(0);
        record.band = band;
        record.frequency = data.U16(at);
        record.q = static_cast<float>(data.U8(at + 2)) + data.U8(at + 3) / 100.0f;
        record.gain = static_cast<float>(data.U8(at + 4)) + data.U8(at + 5) / 10.0f - kEqGainOffset;
        PostRecord(window, WM_READ_IRC_VALUE, sub, record);
    });
}

void DecodeSpectrum(const FrameReader& data, platform::WindowHandle window, uint8_t sub) {
    data.ForEachEntry(3, data.U8(1), data.U8(2), 5, [&](int band, int at) {
        IrcSpectrumRecord record;
        record.channel = data.U8(0);
        record.band = band;
        record.frequency = static_cast<float>(data.U16(at)) + data.U8(at + 2) / 100.0f;
        record.gain = static_cast<float>(data.S8(at + 3)) + data.S8(at + 4) / 100.0f;
        PostRecord(window, WM_READ_IRC_VALUE, sub, record);
    });
}

}  // namespace

bool DecodeDspCalibrationReport(uint8_t sub, const FrameReader& data, const ReplyContext& context) {
    const platform::WindowHandle window = context.targets.autoCalWnd;
    switch (sub) {
        case DSP_IRC_CTRL:
            DecodeStatus(data, window);
            return true;
        case DSP_IRC_DISTANCE:
            DecodeDistances(data, window, sub);
            return true;
        case DSP_IRC_TRIM:
            DecodeTrims(data, window, sub);
            return true;
        case DSP_IRC_EQ:
            DecodeEq(data, window, sub);
            return true;
        case DSP_IRC_SPK_SIZE:
        case DSP_IRC_SPK_PHASE:
        case DSP_IRC_SPK_LEVEL:
        case DSP_IRC_NOISE_LEVEL:
            DecodeChannelValues(data, window, sub);
            return true;
        case DSP_IRC_SPECTRUM:
            DecodeSpectrum(data, window, sub);
            return true;
        default:
            return false;
    }
}

}  // namespace device
