// dsp_ack_process: the entry of every CMD_DSP frame from the device.
#include <atomic>

#include "app/log.h"
#include "device/dsp_reply_families.h"
#include "device/dsp_subcommands.h"

namespace device {
namespace {

std::atomic<int> gDspFrameCounter{0};

bool IsIgnoredSilently(uint8_t sub) {
    return sub == DSP_REMAP_CH || sub == DSP_BYPASS || sub == DSP_IRC_RTA;
}

void LogAcknowledgement(uint8_t sub) {
    if (sub == DSP_VOLUME) {
        app::Log("DSP_VOLUME OP_ACK\n");
    } else if (sub == DSP_CH_TYPE) {
        app::Log("DSP_CH_TYPE OP_ACK\n");
    }
}

}  // namespace

void dsp_ack_process(const Frame& frame, const ReplyContext& context) {
    const uint8_t sub = frame.subCommand();
    const int count = ++gDspFrameCounter;
    app::Log("dsp_ack_process %d, cmd(0x%08x), OP(%02x), %s\n", count, sub, frame.operation(),
             DspSubCommandLogName(sub).c_str());
    if (IsIgnoredSilently(sub)) {
        return;
    }
    if (frame.operation() != OP_UPDATE) {
        if (frame.operation() == OP_ACK) {
            LogAcknowledgement(sub);
        }
        return;
    }
    const FrameReader data(frame);
    if (DecodeDspValueReport(sub, data, context) || DecodeDspOutputReport(sub, data, context) ||
        DecodeDspInputReport(sub, data, context) ||
        DecodeDspCalibrationReport(sub, data, context)) {
        return;
    }
    app::Log("!!! NOT SUPPORT MSG\n");
}

}  // namespace device
