// The frame format shared by the host and the amplifier.
//
// Host to device, one frame per 65-byte output report:
//   [0] report id 0 | [1] 0xAA | [2] 0x55 | [3] L = n + 3 | [4] packet type |
//   [5] sub-command | [6] operation | [7 .. 7+n-1] data | [7+n] checksum |
//   zero padding to 65 bytes.
// Device to host, frames anywhere in the 64-byte input reports, possibly
// split across two: 0xAA 0x55 L type sub-command operation data... checksum.
// L counts type, sub-command, operation and data. The checksum is the
// negated 8-bit sum of every byte from L up to the byte before it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace device {

// Packet types.
inline constexpr uint8_t CMD_DSP = 1;
inline constexpr uint8_t CMD_FLASH = 2;
inline constexpr uint8_t CMD_MCU = 3;
inline constexpr uint8_t CMD_DSP_DWRITE = 4;
inline constexpr uint8_t CMD_KTV = 7;

// Operation types.
inline constexpr uint8_t OP_SET = 0xBB;
inline constexpr uint8_t OP_GET = 0x66;
inline constexpr uint8_t OP_UPDATE = 0xDD;
inline constexpr uint8_t OP_ACK = 0xEE;

// Acknowledgement status (first data byte of an OP_ACK).
inline constexpr uint8_t ACK_READY = 0x0A;
inline constexpr uint8_t ACK_NOT_READY = 0x60;

inline constexpr uint8_t kSync1 = 0xAA;
inline constexpr uint8_t kSync2 = 0x55;

// At most 57 data bytes fit one output report.
inline constexpr size_t kMaxDataBytes = 57;
// The largest incoming frame the parser accepts: L = 61, 60 payload bytes
// (sub-command, operation, 58 data bytes).
inline constexpr size_t kMaxFrameLength = 61;
inline constexpr size_t kMaxPayloadBytes = 60;

using OutputReport = std::array<uint8_t, 65>;

// Builds the output report of one frame; dataLength is limited to 57.
OutputReport BuildOutputReport(uint8_t type, uint8_t subCommand, uint8_t operation,
                               const uint8_t* data, size_t dataLength);

// The negated sum of L, type and the first L - 1 payload bytes; the caller
// compares its low byte with the received checksum.
uint32_t packet_checksum(uint8_t length, uint8_t type, const uint8_t* payload);

}  // namespace device
