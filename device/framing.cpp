// The framing half of the device link: one frame per output report out,
// reassembly and dispatch of the device's frames in.
#include <atomic>
#include <cstdio>
#include <string>

#include "app/log.h"
#include "device/device_link.h"
#include "device/dsp_subcommands.h"
#include "device/tick.h"
#include "device/upgrade_commands.h"

namespace device {
namespace {

const char* PacketTypeName(uint8_t type) {
    switch (type) {
        case CMD_DSP:
            return "CMD_DSP";
        case CMD_FLASH:
            return "CMD_FLASH";
        case CMD_MCU:
            return "CMD_MCU";
        case CMD_DSP_DWRITE:
            return "CMD_DSP_DWRITE";
        case CMD_KTV:
            return "CMD_KTV";
        default:
            return nullptr;
    }
}

std::string ReportBytes(const OutputReport& report) {
    std::string text;
    char hex[4];
    for (uint8_t byte : report) {
        std::snprintf(hex, sizeof hex, "%02x ", byte);
        text += hex;
    }
    return text;
}

// Requests are counted over the whole process, so the log shows their order
// across links and threads.
std::atomic<int> gRequestCounter{0};

void LogDspRequest(uint8_t subCommand) {
    const int count = ++gRequestCounter;
    app::Log("SendCtrlCommand %d, %s\n", count, DspSubCommandLogName(subCommand).c_str());
}

}  // namespace

bool DeviceLink::SendCtrlCommand(uint8_t type, uint8_t subCommand, uint8_t operation,
                                 const uint8_t* data, uint8_t dataLength) {
    if (type == CMD_DSP && operation == OP_GET) {
        LogDspRequest(subCommand);
    }
    app::Log("SendCtrlCommand timestart = %ld\n", static_cast<long>(TickMs()));
    if (!IsConnected()) {
        return false;
    }
    app::Log("SendCtrlCommand Cmd:0x%02x, subcmd:0x%02x, optype:0x%02x, len:0x%02x\n", type,
             subCommand, operation, dataLength);
    OutputReport report = BuildOutputReport(type, subCommand, operation, data, dataLength);
    if (app::IsLogOpen()) {
        app::Log("begain to write data to devices:\n%s\n", ReportBytes(report).c_str());
    }
    return WriteReport(report.data());
}

void DeviceLink::SetFrameTap(std::function<void(const Frame&)> tap) {
    std::lock_guard<std::mutex> hold(mTapLock);
    mFrameTap = std::move(tap);
}

void DeviceLink::DrainRing() {
    std::lock_guard<std::recursive_mutex> reader(mReadLock);
    while (!mParser.RingEmpty() && IsConnected()) {
        uint8_t byte = mParser.TakeFromRing();
        mParser.packet_process(byte, [this](const Frame& frame) { DispatchFrame(frame); });
    }
}

void DeviceLink::DispatchFrame(const Frame& frame) {
    const char* name = PacketTypeName(frame.type);
    if (name == nullptr) {
        return;  // unknown packet types are dropped silently
    }
    app::Log("packet_process: packet_type(%s)\n", name);
    const ReplyContext context = CurrentReplyContext();
    switch (frame.type) {
        case CMD_DSP:
            dsp_ack_process(frame, context);
            break;
        case CMD_FLASH:
            flash_ack_process(frame, context);
            break;
        case CMD_MCU:
            ApplyMcuReport(mcu_ack_process(frame, context));
            break;
        case CMD_KTV:
            ktv_ack_process(frame, context);
            break;
        default:
            break;  // CMD_DSP_DWRITE is only logged
    }
    std::function<void(const Frame&)> upgradeTap;
    std::function<void(const Frame&)> tap;
    {
        std::lock_guard<std::mutex> hold(mTapLock);
        upgradeTap = mUpgradeTap;
        tap = mFrameTap;
    }
    if (upgradeTap) {
        upgradeTap(frame);
    }
    if (tap) {
        tap(frame);
    }
}

void DeviceLink::SetUpgradeTap(std::function<void(const Frame&)> tap) {
    std::lock_guard<std::mutex> hold(mTapLock);
    mUpgradeTap = std::move(tap);
}

void DeviceLink::ClearReceiveRing() {
    std::lock_guard<std::recursive_mutex> reader(mReadLock);
    while (!mParser.RingEmpty()) {
        mParser.TakeFromRing();
    }
}

bool DeviceLink::IsUpgradeUnderWay() const {
    const uint8_t status = sys_upg_status.load();
    return status == UPG_ENTER || status == UPG_START;
}

}  // namespace device
