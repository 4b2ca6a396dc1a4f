// The families of DSP reply decoders that dsp_ack_process dispatches to. Each
// returns false when the sub-command is not one of its family.
#pragma once

#include "device/frame_reader.h"
#include "device/reply_decoders.h"

namespace device {

bool DecodeDspValueReport(uint8_t subCommand, const FrameReader& data, const ReplyContext& context);
bool DecodeDspOutputReport(uint8_t subCommand, const FrameReader& data,
                           const ReplyContext& context);
bool DecodeDspInputReport(uint8_t subCommand, const FrameReader& data, const ReplyContext& context);
bool DecodeDspCalibrationReport(uint8_t subCommand, const FrameReader& data,
                                const ReplyContext& context);

}  // namespace device
