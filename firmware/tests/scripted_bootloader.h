// A device that answers the upgrade's commands by a script, for the cases
// the amplifier's own upgrade program never produces (an image of 100 bytes,
// a refused erase, a silent device). It records every block it is sent.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "device/packet.h"
#include "device/upgrade_commands.h"
#include "virtual_device/virtual_amplifier.h"

namespace firmware_test {

struct ReceivedBlock {
    uint8_t type = 0;
    uint8_t subCommand = 0;
    uint32_t offset = 0;
    std::vector<uint8_t> bytes;  // as sent: 32 for the microcontroller, `count` for the flash
};

class ScriptedBootloader {
public:
    // The status each command is answered with; absent: not answered at all.
    std::map<uint16_t, uint8_t> statusOf;
    // Data blocks (counted from 0) answered first not-ready, then ready.
    std::vector<int> notReadyBlocks;
    int notReadyRepeats = 1;  // not-ready answers before the ready one
    // A data block (counted from 0) whose answer comes after a stray enter
    // acknowledgement, as a late answer from an earlier attempt would.
    int strayEnterAckAtBlock = -1;
    // Data blocks (counted from 0) not answered.
    std::vector<int> silentBlocks;

    static uint16_t Key(uint8_t type, uint8_t sub) {
        return static_cast<uint16_t>(type << 8 | sub);
    }

    // Answers everything of one target with ready.
    void AnswerAllReady() {
        using namespace device;
        for (uint8_t sub :
             {MCU_Enter_Upg_Mode, MCU_UPG_START, MCU_UPG_DATA, MCU_UPG_FINISH, MCU_BL_ENTER,
              MCU_BL_START, MCU_BL_DATA, MCU_BL_FINISH, uint8_t{0x8F}}) {
            statusOf[Key(CMD_MCU, sub)] = UPG_ACK_READY;
        }
        for (uint8_t sub : {FLASH_CHIP_ERASE, FLASH_UPG_START, FLASH_UPG_DATA, FLASH_UPG_FINISH}) {
            statusOf[Key(CMD_FLASH, sub)] = UPG_ACK_READY;
        }
    }

    void InstallOn(virtual_device::VirtualAmplifier& amplifier) {
        using namespace device;
        for (uint8_t sub :
             {MCU_Enter_Upg_Mode, MCU_UPG_START, MCU_UPG_DATA, MCU_UPG_FINISH, MCU_BL_ENTER,
              MCU_BL_START, MCU_BL_DATA, MCU_BL_FINISH, uint8_t{0x8F}}) {
            Install(amplifier, CMD_MCU, sub);
        }
        for (uint8_t sub : {FLASH_CHIP_ERASE, FLASH_UPG_START, FLASH_UPG_DATA, FLASH_UPG_FINISH}) {
            Install(amplifier, CMD_FLASH, sub);
        }
    }

    std::vector<ReceivedBlock> Blocks() const {
        std::lock_guard<std::mutex> hold(mLock);
        return mBlocks;
    }
    // Every (type, sub-command) received, in order.
    std::vector<uint16_t> Commands() const {
        std::lock_guard<std::mutex> hold(mLock);
        return mCommands;
    }
    std::vector<uint8_t> StartHead() const {
        std::lock_guard<std::mutex> hold(mLock);
        return mHead;
    }

private:
    void Install(virtual_device::VirtualAmplifier& amplifier, uint8_t type, uint8_t sub) {
        amplifier.SetHandler(type, sub,
                             [this](const virtual_device::HostFrame& frame,
                                    virtual_device::Replies& replies) { Answer(frame, replies); });
    }

    static bool IsData(uint8_t type, uint8_t sub) {
        using namespace device;
        return (type == CMD_MCU && (sub == MCU_UPG_DATA || sub == MCU_BL_DATA)) ||
               (type == CMD_FLASH && sub == FLASH_UPG_DATA);
    }

    static bool IsStart(uint8_t type, uint8_t sub) {
        using namespace device;
        return (type == CMD_MCU && (sub == MCU_UPG_START || sub == MCU_BL_START)) ||
               (type == CMD_FLASH && sub == FLASH_UPG_START);
    }

    static bool Listed(const std::vector<int>& list, int index) {
        for (int entry : list) {
            if (entry == index) {
                return true;
            }
        }
        return false;
    }

    void Answer(const virtual_device::HostFrame& frame, virtual_device::Replies& replies) {
        std::lock_guard<std::mutex> hold(mLock);
        mCommands.push_back(Key(frame.type, frame.subCommand));
        if (IsStart(frame.type, frame.subCommand)) {
            mHead = frame.data;
        }
        if (IsData(frame.type, frame.subCommand)) {
            RecordBlock(frame);
            const int index = static_cast<int>(mBlocks.size()) - 1;
            if (Listed(silentBlocks, index)) {
                return;
            }
            if (index == strayEnterAckAtBlock) {
                replies.Frame(device::CMD_MCU, device::MCU_Enter_Upg_Mode, device::OP_ACK,
                              {device::UPG_ACK_READY});
            }
            if (Listed(notReadyBlocks, index)) {
                for (int repeat = 0; repeat < notReadyRepeats; ++repeat) {
                    replies.Frame(frame.type, frame.subCommand, device::OP_ACK,
                                  {device::UPG_ACK_NOT_READY});
                }
            }
        }
        auto status = statusOf.find(Key(frame.type, frame.subCommand));
        if (status != statusOf.end()) {
            replies.Frame(frame.type, frame.subCommand, device::OP_ACK, {status->second});
        }
    }

    void RecordBlock(const virtual_device::HostFrame& frame) {
        ReceivedBlock block;
        block.type = frame.type;
        block.subCommand = frame.subCommand;
        const std::vector<uint8_t>& d = frame.data;
        if (d.size() < 4) {
            mBlocks.push_back(block);
            return;
        }
        block.offset = static_cast<uint32_t>(d[0]) << 24 | static_cast<uint32_t>(d[1]) << 16 |
                       static_cast<uint32_t>(d[2]) << 8 | d[3];
        if (frame.type == device::CMD_FLASH && d.size() >= 5) {
            const size_t count = std::min<size_t>(d[4], d.size() - 5);
            block.bytes.assign(d.begin() + 5, d.begin() + 5 + static_cast<long>(count));
        } else {
            block.bytes.assign(d.begin() + 4, d.end());
        }
        mBlocks.push_back(block);
    }

    mutable std::mutex mLock;
    std::vector<ReceivedBlock> mBlocks;  // guarded by mLock
    std::vector<uint16_t> mCommands;     // guarded by mLock
    std::vector<uint8_t> mHead;          // guarded by mLock
};

}  // namespace firmware_test
