// A host that speaks the upgrade's frames to a virtual amplifier through the
// HID seam, the way the program's upgrade does: the enter command, the start
// with the image's head, the blocks (the microcontroller's from the image's
// end down in 32-byte steps, the flash's from 0 up in 50-byte steps) and the
// finish, one acknowledgement read after each.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "device/packet.h"
#include "device/upgrade_commands.h"
#include "firmware/firmware_image.h"
#include "virtual_device/amplifier_protocol.h"
#include "virtual_device/virtual_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace upgrade_test {

using Bytes = std::vector<uint8_t>;

// One frame as the amplifier answered it.
struct Answer {
    uint8_t type = 0;
    uint8_t sub = 0;
    uint8_t operation = 0;
    Bytes data;
};

inline constexpr int kNoAnswer = -1;

// The commands of one upgrade target.
struct TargetCommands {
    uint8_t type;
    uint8_t start;
    uint8_t data;
    uint8_t finish;
};
inline constexpr TargetCommands kMcuCommands{device::CMD_MCU, device::MCU_UPG_START,
                                             device::MCU_UPG_DATA, device::MCU_UPG_FINISH};
inline constexpr TargetCommands kBootloaderCommands{device::CMD_MCU, device::MCU_BL_START,
                                                    device::MCU_BL_DATA, device::MCU_BL_FINISH};
inline constexpr TargetCommands kFlashCommands{device::CMD_FLASH, device::FLASH_UPG_START,
                                               device::FLASH_UPG_DATA, device::FLASH_UPG_FINISH};

inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline Bytes BigEndian(uint32_t value) {
    return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

// The microcontroller blocks of an image body, in the order they go:
// the last size % 32 bytes first (padded with zeros), then 32 bytes at a
// time down to offset 0. Each is offset + 32 bytes.
inline std::vector<Bytes> McuBlocks(const Bytes& body) {
    std::vector<Bytes> blocks;
    size_t remaining = body.size();
    bool first = true;
    while (remaining > 0) {
        const size_t length = first && remaining % 32 != 0 ? remaining % 32 : 32;
        first = false;
        remaining -= length;
        Bytes block = BigEndian(static_cast<uint32_t>(remaining));
        block.insert(block.end(), body.begin() + static_cast<long>(remaining),
                     body.begin() + static_cast<long>(remaining + length));
        block.resize(36, 0);
        blocks.push_back(block);
    }
    return blocks;
}

// The flash blocks: offset, count (at most 50), the bytes, from 0 up.
inline std::vector<Bytes> FlashBlocks(const Bytes& body) {
    std::vector<Bytes> blocks;
    for (size_t at = 0; at < body.size(); at += 50) {
        const size_t length = std::min<size_t>(50, body.size() - at);
        Bytes block = BigEndian(static_cast<uint32_t>(at));
        block.push_back(static_cast<uint8_t>(length));
        block.insert(block.end(), body.begin() + static_cast<long>(at),
                     body.begin() + static_cast<long>(at + length));
        blocks.push_back(block);
    }
    return blocks;
}

class UpgradeHostTest : public ::testing::Test {
protected:
    static virtual_device::ProtocolOptions QuickOptions() {
        virtual_device::ProtocolOptions options;
        options.upgradeRebootMs = 60;
        options.chipEraseMs = 30;
        return options;
    }

    explicit UpgradeHostTest(virtual_device::ProtocolOptions options = QuickOptions()) {
        mProtocol = virtual_device::AmplifierProtocol::InstallOn(mAmplifier, options);
        mBackend.Add(mAmplifier);
        Reopen();
    }

    void Reopen() { mDevice = mBackend.Open(0x0483, 0x5750); }

    // Sends one frame; false when the write failed (the device is gone).
    bool Send(uint8_t type, uint8_t sub, uint8_t operation, const Bytes& data = {}) {
        if (mDevice == nullptr) {
            return false;
        }
        device::OutputReport report =
            device::BuildOutputReport(type, sub, operation, data.data(), data.size());
        return mDevice->Write(report.data(), report.size()) == 65;
    }

    std::optional<Answer> Read(int timeoutMs) {
        uint8_t buffer[64];
        if (mDevice == nullptr || mDevice->ReadTimeout(buffer, sizeof buffer, timeoutMs) <= 0) {
            return std::nullopt;
        }
        // [0..1] sync, [2] length L, [3] type, [4] sub-command, [5] operation.
        Answer answer{buffer[3], buffer[4], buffer[5], {}};
        answer.data.assign(buffer + 6, buffer + 3 + buffer[2]);
        return answer;
    }

    // The status byte of the acknowledgement to a command, or kNoAnswer.
    int Ack(uint8_t type, uint8_t sub, const Bytes& data = {}, int timeoutMs = 2000) {
        if (!Send(type, sub, device::OP_SET, data)) {
            return kNoAnswer;
        }
        return StatusOf(Read(timeoutMs), type, sub);
    }

    static int StatusOf(const std::optional<Answer>& answer, uint8_t type, uint8_t sub) {
        if (!answer || answer->type != type || answer->sub != sub ||
            answer->operation != device::OP_ACK || answer->data.empty()) {
            return kNoAnswer;
        }
        return answer->data[0];
    }

    // The handshake's four data bytes, or nothing when unanswered.
    std::optional<Bytes> Handshake() {
        if (!Send(device::CMD_MCU, 0x08, device::OP_GET)) {
            return std::nullopt;
        }
        auto answer = Read(1000);
        if (!answer) {
            return std::nullopt;
        }
        return answer->data;
    }

    // Waits until the amplifier has dropped off the bus and come back, and
    // opens it again.
    bool RebootSeen() {
        if (!WaitFor([&] { return !mAmplifier->IsPlugged(); })) {
            return false;
        }
        if (!WaitFor([&] { return mAmplifier->IsPlugged(); })) {
            return false;
        }
        Reopen();
        return mDevice != nullptr;
    }

    static std::vector<Bytes> BlocksFor(const TargetCommands& target, const Bytes& body) {
        return target.type == device::CMD_FLASH ? FlashBlocks(body) : McuBlocks(body);
    }

    // Sends the blocks; returns how many were acknowledged ready at once.
    int SendBlocks(const TargetCommands& target, const std::vector<Bytes>& blocks) {
        int ready = 0;
        for (const Bytes& block : blocks) {
            ready += Ack(target.type, target.data, block) == device::UPG_ACK_READY ? 1 : 0;
        }
        return ready;
    }

    // Start, every block and the finish; the finish's status.
    int Transfer(const TargetCommands& target, const firmware::FirmwareImage& image) {
        const Bytes head(image.head.begin(), image.head.end());
        if (Ack(target.type, target.start, head) != device::UPG_ACK_READY) {
            return kNoAnswer;
        }
        const auto blocks = BlocksFor(target, image.body);
        EXPECT_EQ(SendBlocks(target, blocks), static_cast<int>(blocks.size()));
        return Ack(target.type, target.finish);
    }

    std::shared_ptr<virtual_device::VirtualAmplifier> mAmplifier =
        std::make_shared<virtual_device::VirtualAmplifier>(L"UPG-1");
    std::shared_ptr<virtual_device::AmplifierProtocol> mProtocol;
    virtual_device::VirtualHidBackend mBackend;
    std::unique_ptr<device::HidDevice> mDevice;
};

}  // namespace upgrade_test
