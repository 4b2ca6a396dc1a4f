// The amplifier's upgrade program, as its bootloader runs it. In normal mode
// the application takes the enter command, acknowledges it and reboots into
// the upgrade program (except for a bootloader update, which the running
// application does itself); the upgrade program takes a start with the
// image's head, the data blocks (one acknowledgement each) and the finish,
// which installs the image only when what arrived is whole: contiguous from
// offset 0, each block in its turn, and a stand-in whose body sums to what
// its head says. A real image is never installed in the virtual amplifier.
//
// Microcontroller and bootloader images come from their end down to offset 0
// in 32-byte blocks, the first one padded with zeros; the DSP flash image
// from offset 0 up in blocks of at most 50 bytes. A block out of its turn is
// refused (not ready) and breaks the transfer, so that its finish is refused
// too; a new start begins afresh.
//
// Not thread-safe: the protocol calls it with its lock held.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "virtual_device/virtual_amplifier.h"

namespace virtual_device {

struct VersionNumber {
    uint8_t major = 0;
    uint8_t minor = 0;
    bool operator==(const VersionNumber&) const = default;
};

struct UpgradeSettings {
    VersionNumber firmware{1, 32};
    VersionNumber bootloader{2, 0};
    std::chrono::milliseconds chipEraseTime{400};
    // 0: never. n: every n-th data block is first answered not-ready, and
    // with ready notReadyTime later.
    int notReadyEvery = 0;
    std::chrono::milliseconds notReadyTime{20};
    bool refuseStart = false;
};

// What the protocol does once the answer is queued.
enum class UpgradeReboot : uint8_t {
    kNone,
    kIntoUpgradeProgram,
    kIntoNormalMode,
};

struct UpgradeOutcome {
    bool handled = false;  // an upgrade command, answered here
    UpgradeReboot reboot = UpgradeReboot::kNone;
    std::optional<std::array<uint8_t, 4>> flashVersion;  // a flash image was installed
};

class AmplifierUpgrade {
public:
    explicit AmplifierUpgrade(const UpgradeSettings& settings);

    bool InUpgradeProgram() const { return mInUpgradeProgram; }
    void SetInUpgradeProgram(bool inUpgradeProgram) { mInUpgradeProgram = inUpgradeProgram; }

    VersionNumber Firmware() const { return mFirmware; }
    VersionNumber Bootloader() const { return mBootloader; }
    // The versions of what is installed, as an amplifier kept between runs
    // remembers them.
    void SetInstalled(VersionNumber firmware, VersionNumber bootloader) {
        mFirmware = firmware;
        mBootloader = bootloader;
    }
    // The bootloader version as its one-byte report carries it: major in the
    // high nibble, minor in the low one (0x21 for 2.1).
    uint8_t BootloaderReport() const;

    // The image bytes of the last completed or the current transfer.
    std::vector<uint8_t> ReceivedImage() const { return mReceived; }
    // Images installed so far.
    int UpgradeCount() const { return mUpgradeCount; }

    // Answers CMD_MCU and CMD_FLASH upgrade commands and the reboot control;
    // handled is false for every other command.
    UpgradeOutcome Handle(const HostFrame& frame, Replies& replies);

private:
    enum class Part : uint8_t { kNone, kMcu, kBootloader, kFlash };

    UpgradeOutcome HandleMcu(const HostFrame& frame, Replies& replies);
    UpgradeOutcome HandleFlash(const HostFrame& frame, Replies& replies);
    uint8_t Start(Part part, const std::vector<uint8_t>& data);
    void AnswerBlock(uint8_t type, uint8_t sub, bool accepted, Replies& replies);
    bool TakeMcuBlock(const std::vector<uint8_t>& data);
    bool TakeFlashBlock(const std::vector<uint8_t>& data);
    bool TransferIsWhole() const;
    UpgradeOutcome Finish(Part part, uint8_t type, uint8_t sub, Replies& replies);

    const UpgradeSettings mSettings;
    bool mInUpgradeProgram = false;
    VersionNumber mFirmware;
    VersionNumber mBootloader;
    int mUpgradeCount = 0;

    // The transfer under way.
    Part mPart = Part::kNone;
    std::array<uint8_t, 4> mHead{};
    bool mBroken = false;
    int mBlocks = 0;
    uint32_t mNextOffset = 0;  // flash: the next block's; microcontroller: the last one's
    std::vector<uint8_t> mReceived;
};

}  // namespace virtual_device
