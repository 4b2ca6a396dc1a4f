// DSP reports of one plain value (or a record of a few bytes) that are not
// tied to a channel.
#include "app/log.h"
#include "device/device_records.h"
#include "device/dsp_reply_families.h"
#include "device/dsp_subcommands.h"
#include "device/window_messages.h"

namespace device {
namespace {

void LogSourceConfig(const FrameReader& data) {
    const int count = data.U8(0);
    app::Log("DSP_SOURCE_CONFIG update total source=%d -->\n", count);
    for (int i = 1; i <= count && data.Has(i + 1); ++i) {
        app::Log("source%d = %d\n", i, data.U8(i));
    }
}

}  // namespace

bool DecodeDspValueReport(uint8_t sub, const FrameReader& data, const ReplyContext& context) {
    const platform::WindowHandle main = context.targets.mainWnd;
    auto postValue = [&](intptr_t value) { PostValue(main, WM_READ_DSP_VALUE, sub, value); };
    switch (sub) {
        case DSP_SOURCE_CONFIG:
            if (data.Has(1)) {
                LogSourceConfig(data);
            }
            return true;
        case DSP_VOLUME:
            if (data.Has(1)) {
                app::Log("DSP_VOLUME OP_UPDATE, MVol = %d\n", data.S8(0));
                postValue(data.S8(0));
            }
            return true;
        case DSP_SUBWOOFER_VOLUME:
        case DSP_INPUT_THRESHOLD:
            if (data.Has(1)) {
                if (sub == DSP_INPUT_THRESHOLD) {
                    app::Log("input_threshold = %d\n", data.S8(0));
                }
                postValue(data.S8(0));
            }
            return true;
        case DSP_FACTORY_PRESET:
        case DSP_SETUP_MODE:
            if (data.Has(1)) {
                app::Log(
                    sub == DSP_FACTORY_PRESET ? "fac_preset mode = %d\n" : "setup_mode mode = %d\n",
                    data.U8(0));
                postValue(data.U8(0));
            }
            return true;
        case DSP_SOURCE_SWITCH:
        case DSP_MUTE:
        case DSP_AUTO_EFFECTION_ON_OFF_CONTROL:
        case DSP_AMP_MUTE:
        case DSP_MIX_SOURCE_SWITCH:
        case DSP_DSP_STATUS:
        case DSP_SPK_OHM:
        case DSP_NOISE_GATE:
            if (data.Has(1)) {
                postValue(data.U8(0));
            }
            return true;
        case DSP_SEL_REMOTE_CH:
            if (data.Has(2)) {
                postValue(data.U8(0) * 256 + data.U8(1));
            }
            return true;
        case DSP_NOISE_GATE_DRC_GAIN:
        case DSP_NOISE_GATE_THRESHOLD:
            if (data.Has(2)) {
                postValue(data.U8(1));  // data 0 is the gate's number
            }
            return true;
        case DSP_SPK_CH_CONFIG:
            if (data.Has(1)) {
                app::Log("DSP_SPK_CH_CONFIG spk_cfg(0x%02x)\n", data.U8(0));
                PostRecord(main, WM_READ_DSP_VALUE, sub, SpeakerConfigRecord{data.U8(0)});
            }
            return true;
        case DSP_REM_OUT:
            if (data.Has(2)) {
                PostRecord(main, WM_READ_DSP_VALUE, sub, RemOutRecord{data.U8(0), data.U8(1)});
            }
            return true;
        case DSP_SPK_OHM13_21:
            if (data.Has(2)) {
                PostRecord(main, WM_READ_DSP_VALUE, sub, SpkOhm13_21Record{data.U8(0), data.U8(1)});
            }
            return true;
        case DSP_MEM_DATA:
            if (data.Has(8)) {
                MemDataRecord record;
                for (int i = 3; i >= 0; --i) {
                    record.address = record.address << 8 | data.U8(i);
                    record.value = record.value << 8 | data.U8(4 + i);
                }
                app::Log("DSP_MEM_DATA: addr(0x%08x), data(0x%08x)\n", record.address,
                         record.value);
                app::Log("addr: %02x %02x %02x %02x\n", data.U8(0), data.U8(1), data.U8(2),
                         data.U8(3));
                app::Log("data: %02x %02x %02x %02x\n", data.U8(4), data.U8(5), data.U8(6),
                         data.U8(7));
                PostRecord(context.targets.memWnd, WM_READ_MEM_VALUE, sub, record);
            }
            return true;
        default:
            return false;
    }
}

}  // namespace device
