#include "virtual_device/amplifier_upgrade.h"

#include <algorithm>

#include "device/upgrade_commands.h"
#include "firmware/test_images.h"

namespace virtual_device {
namespace {

constexpr uint8_t kFlash = 2;
constexpr uint8_t kMcu = 3;
constexpr uint8_t kSet = 0xBB;
constexpr uint8_t kAck = 0xEE;
constexpr uint8_t kRebootCtrl = 0x8F;

constexpr uint8_t kReady = device::UPG_ACK_READY;
constexpr uint8_t kNotReady = device::UPG_ACK_NOT_READY;

// The flash the upgrade program writes into is far smaller than this; an
// offset beyond it is garbage.
constexpr uint32_t kLargestImage = 1048576;

uint32_t BigEndian32(const std::vector<uint8_t>& data) {
    return static_cast<uint32_t>(data[0]) << 24 | static_cast<uint32_t>(data[1]) << 16 |
           static_cast<uint32_t>(data[2]) << 8 | static_cast<uint32_t>(data[3]);
}

UpgradeOutcome Handled() {
    UpgradeOutcome outcome;
    outcome.handled = true;
    return outcome;
}

void Ack(uint8_t type, uint8_t sub, uint8_t status, Replies& replies) {
    replies.Frame(type, sub, kAck, {status});
}

}  // namespace

AmplifierUpgrade::AmplifierUpgrade(const UpgradeSettings& settings)
    : mSettings(settings), mFirmware(settings.firmware), mBootloader(settings.bootloader) {}

uint8_t AmplifierUpgrade::BootloaderReport() const {
    return static_cast<uint8_t>(mBootloader.major << 4 | (mBootloader.minor & 0x0F));
}

UpgradeOutcome AmplifierUpgrade::Handle(const HostFrame& frame, Replies& replies) {
    if (frame.operation != kSet) {
        return {};
    }
    if (frame.type == kMcu) {
        return HandleMcu(frame, replies);
    }
    if (frame.type == kFlash) {
        return HandleFlash(frame, replies);
    }
    return {};
}

UpgradeOutcome AmplifierUpgrade::HandleMcu(const HostFrame& frame, Replies& replies) {
    const uint8_t sub = frame.subCommand;
    UpgradeOutcome outcome = Handled();
    switch (sub) {
        case device::MCU_Enter_Upg_Mode:
            Ack(kMcu, sub, kReady, replies);
            if (!mInUpgradeProgram) {
                // The application hands over to the upgrade program: a reboot.
                mInUpgradeProgram = true;
                outcome.reboot = UpgradeReboot::kIntoUpgradeProgram;
            }
            return outcome;
        case device::MCU_BL_ENTER:
            // The running program, whichever it is, rewrites the bootloader
            // itself: no reboot.
            Ack(kMcu, sub, kReady, replies);
            return outcome;
        case device::MCU_UPG_START:
            Ack(kMcu, sub, mInUpgradeProgram ? Start(Part::kMcu, frame.data) : kNotReady, replies);
            return outcome;
        case device::MCU_BL_START:
            Ack(kMcu, sub, Start(Part::kBootloader, frame.data), replies);
            return outcome;
        case device::MCU_UPG_DATA:
            AnswerBlock(kMcu, sub,
                        mInUpgradeProgram && mPart == Part::kMcu && TakeMcuBlock(frame.data),
                        replies);
            return outcome;
        case device::MCU_BL_DATA:
            AnswerBlock(kMcu, sub, mPart == Part::kBootloader && TakeMcuBlock(frame.data), replies);
            return outcome;
        case device::MCU_UPG_FINISH:
            return Finish(mInUpgradeProgram ? Part::kMcu : Part::kNone, kMcu, sub, replies);
        case device::MCU_BL_FINISH:
            return Finish(Part::kBootloader, kMcu, sub, replies);
        case kRebootCtrl:
            Ack(kMcu, sub, kReady, replies);
            mInUpgradeProgram = false;
            outcome.reboot = UpgradeReboot::kIntoNormalMode;
            return outcome;
        default:
            return {};
    }
}

UpgradeOutcome AmplifierUpgrade::HandleFlash(const HostFrame& frame, Replies& replies) {
    const uint8_t sub = frame.subCommand;
    UpgradeOutcome outcome = Handled();
    switch (sub) {
        case device::FLASH_CHIP_ERASE:
            replies.After(mSettings.chipEraseTime);
            Ack(kFlash, sub, kReady, replies);
            return outcome;
        case device::FLASH_UPG_START:
            Ack(kFlash, sub, mInUpgradeProgram ? Start(Part::kFlash, frame.data) : kNotReady,
                replies);
            return outcome;
        case device::FLASH_UPG_DATA:
            AnswerBlock(kFlash, sub,
                        mInUpgradeProgram && mPart == Part::kFlash && TakeFlashBlock(frame.data),
                        replies);
            return outcome;
        case device::FLASH_UPG_FINISH:
            return Finish(mInUpgradeProgram ? Part::kFlash : Part::kNone, kFlash, sub, replies);
        default:
            return {};
    }
}

uint8_t AmplifierUpgrade::Start(Part part, const std::vector<uint8_t>& data) {
    // Whatever an earlier, cut attempt brought is dropped.
    mPart = Part::kNone;
    mBroken = false;
    mBlocks = 0;
    mNextOffset = 0;
    if (mSettings.refuseStart || data.size() < mHead.size()) {
        return kNotReady;
    }
    mReceived.clear();
    mPart = part;
    std::copy_n(data.begin(), mHead.size(), mHead.begin());
    return kReady;
}

void AmplifierUpgrade::AnswerBlock(uint8_t type, uint8_t sub, bool accepted, Replies& replies) {
    if (!accepted) {
        mBroken = true;
        Ack(type, sub, kNotReady, replies);
        return;
    }
    ++mBlocks;
    if (mSettings.notReadyEvery > 0 && mBlocks % mSettings.notReadyEvery == 0) {
        // Busy writing: not ready now, ready a moment later.
        Ack(type, sub, kNotReady, replies);
        replies.FrameLater(mSettings.notReadyTime, type, sub, kAck, {kReady});
        return;
    }
    Ack(type, sub, kReady, replies);
}

bool AmplifierUpgrade::TakeMcuBlock(const std::vector<uint8_t>& data) {
    if (mBroken || data.size() < static_cast<size_t>(device::kMcuBlockFrameBytes)) {
        return false;
    }
    const uint32_t offset = BigEndian32(data);
    constexpr uint32_t kBlock = device::kMcuBlockBytes;
    if (offset % kBlock != 0) {
        return false;
    }
    if (mBlocks == 0) {
        // The first block is the image's end, so it tells the size (rounded
        // up to whole blocks by the zeros it is padded with).
        if (offset >= kLargestImage) {
            return false;
        }
        mReceived.assign(offset + kBlock, 0);
    } else if (mNextOffset < kBlock || offset != mNextOffset - kBlock) {
        return false;
    }
    std::copy_n(data.begin() + 4, kBlock, mReceived.begin() + offset);
    mNextOffset = offset;
    return true;
}

bool AmplifierUpgrade::TakeFlashBlock(const std::vector<uint8_t>& data) {
    if (mBroken || data.size() < 5) {
        return false;
    }
    const uint32_t offset = BigEndian32(data);
    const size_t count = data[4];
    if (count == 0 || count > static_cast<size_t>(device::kFlashBlockBytes) ||
        data.size() < 5 + count || offset != mNextOffset || offset + count > kLargestImage) {
        return false;
    }
    mReceived.insert(mReceived.end(), data.begin() + 5,
                     data.begin() + 5 + static_cast<std::ptrdiff_t>(count));
    mNextOffset = static_cast<uint32_t>(offset + count);
    return true;
}

bool AmplifierUpgrade::TransferIsWhole() const {
    if (mBroken || mBlocks == 0) {
        return false;
    }
    // The microcontroller's blocks must have come down to offset 0; the
    // flash blocks were taken only in their turn from 0 up.
    if (mPart != Part::kFlash && mNextOffset != 0) {
        return false;
    }
    // Only a stand-in is installed; its head says what its body sums to (the
    // zeros a microcontroller image is padded with add nothing).
    return firmware::IsStandInImage(mReceived) &&
           firmware::StandInBodySum(mReceived) == firmware::DecodeStandInHead(mHead).bodySum;
}

UpgradeOutcome AmplifierUpgrade::Finish(Part part, uint8_t type, uint8_t sub, Replies& replies) {
    UpgradeOutcome outcome = Handled();
    const bool good = part != Part::kNone && part == mPart && TransferIsWhole();
    mPart = Part::kNone;
    if (!good) {
        Ack(type, sub, kNotReady, replies);
        return outcome;
    }
    Ack(type, sub, kReady, replies);
    ++mUpgradeCount;
    const firmware::StandInHead head = firmware::DecodeStandInHead(mHead);
    switch (part) {
        case Part::kMcu:
            mFirmware = {head.major, head.minor};
            mInUpgradeProgram = false;
            outcome.reboot = UpgradeReboot::kIntoNormalMode;
            break;
        case Part::kBootloader:
            mBootloader = {head.major, head.minor};
            break;
        case Part::kFlash:
            // Stays in the upgrade program until the host asks for the reboot.
            outcome.flashVersion = std::array<uint8_t, 4>{head.major, head.minor, 0, 0};
            break;
        case Part::kNone:
            break;
    }
    return outcome;
}

}  // namespace virtual_device
