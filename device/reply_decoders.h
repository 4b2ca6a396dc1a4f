// Decoding of the device's good frames into window messages. The decoders
// keep no state: each turns one frame into values or records and posts them
// to the window that the context names. Frames come from outside, so every
// decoder reads only the data bytes the frame carries and drops what is
// missing or does not fit its record.
#pragma once

#include "device/model_params.h"
#include "device/packet_parser.h"
#include "platform/message_post.h"

namespace device {

struct ReplyTargets {
    platform::WindowHandle mainWnd = platform::kNoWindow;
    platform::WindowHandle sceneWnd = platform::kNoWindow;
    platform::WindowHandle autoCalWnd = platform::kNoWindow;
    platform::WindowHandle noiseWnd = platform::kNoWindow;
    platform::WindowHandle memWnd = platform::kNoWindow;
};

struct ReplyContext {
    ReplyTargets targets;
    ModelParams params;
};

// CMD_DSP frames.
void dsp_ack_process(const Frame& frame, const ReplyContext& context);

// CMD_FLASH frames (scene flash; upgrade acknowledgements are not decoded here).
void flash_ack_process(const Frame& frame, const ReplyContext& context);

// CMD_KTV frames.
void ktv_ack_process(const Frame& frame, const ReplyContext& context);

// What a CMD_MCU frame tells the link about the device.
struct McuReport {
    bool handshake = false;   // a handshake answer arrived
    bool normalMode = false;  // ... and the device runs its normal firmware
    int modelId = -1;         // ... of this model
    bool ping = false;        // the device pinged: it is not in normal operation
    bool bootloaderVersionSeen = false;
    int bootloaderVersion = 0;
};

// CMD_MCU frames.
McuReport mcu_ack_process(const Frame& frame, const ReplyContext& context);

}  // namespace device
