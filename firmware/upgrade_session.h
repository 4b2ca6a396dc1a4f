// Moving a firmware image into the amplifier. UpgradeStart loads the image
// named by the file, puts the device into upgrade mode (the device may
// reboot into its upgrade program and come back on USB) and announces the
// image; UpgradeStep, called in a loop by the update's worker, sends one
// block at a time and reads its acknowledgement, until it reports the end.
// The microcontroller image travels from its end down to offset 0 in 32-byte
// blocks, the DSP flash image from offset 0 up in 50-byte blocks.
//
// Both run on one worker thread while the command queue is disabled, so that
// nothing else talks to the device. The upgrade state lives on the link
// (DeviceLink::UpgradeStatus), where the controller sees it.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "device/device_link.h"
#include "device/packet.h"
#include "firmware/firmware_image.h"
#include "firmware/image_checks.h"
#include "firmware/image_file_loader.h"

namespace firmware {

// What UpgradeStart returns besides the parsers' results 0..3.
inline constexpr int UPG_STARTED = 0;
inline constexpr int UPG_NOT_ENTERED = 4;  // no upgrade mode, or the start was refused

// What UpgradeStep returns besides the progress 0..100.
inline constexpr uint8_t kUpgradeFinished = 101;
inline constexpr uint8_t kUpgradeFailed = 255;

// The waits of the upgrade. A real amplifier needs the defaults; the tests
// shorten the reboot wait.
struct UpgradeTimings {
    int replyTimeoutMs = device::kReplyTimeoutMs;  // each read
    int rebootWaitMs = 8000;  // after the enter command, before the first reopening
    int reopenAttempts = 10;
    int reopenPauseMs = 500;  // after each failed reopening
    // Reads in a row that bring nothing before the upgrade gives up, the
    // device left in upgrade mode for another attempt.
    int unansweredReadLimit = 3;
    // Not-ready answers in a row to one block before the upgrade gives up.
    int notReadyLimit = 100;
};

// The step phases.
enum class StepPhase : uint16_t {
    kAct = 0,        // act on the state
    kSent = 1,       // a block was just sent, or the device answered not-ready
    kReadReply = 2,  // a reply must be read
    kFinishing = 3,
};

class UpgradeSession {
public:
    // rules: this program's model and whether the model is compared
    // (RulesForLink gives the usual ones). Watches the link's frames for the
    // upgrade's acknowledgements while it exists.
    UpgradeSession(device::DeviceLink& link, ImageRules rules, UpgradeTimings timings = {});
    ~UpgradeSession();
    UpgradeSession(const UpgradeSession&) = delete;
    UpgradeSession& operator=(const UpgradeSession&) = delete;

    // The device to open again after it rebooted into its upgrade program;
    // when it cannot be opened by this path (or none is given), the first
    // amplifier found.
    void SetDevicePath(std::string path) { mDevicePath = std::move(path); }

    // 0 started; 1 the file cannot be opened; 2 not an image for this device
    // (name, part, model, checksum); 3 no device; 4 the device did not enter
    // upgrade mode or refused the start. The file name decides the target:
    // it contains "BL_UPG.BIN", "FLASH_UPG.BIN" or "MCU_UPG.BIN" (any case).
    int UpgradeStart(const std::filesystem::path& path, bool chipErase);

    // 0..100 progress in percent, kUpgradeFinished, or kUpgradeFailed.
    // Never sleeps; a read waits at most the reply time-out.
    uint8_t UpgradeStep();

    UpgradeTarget Target() const { return mTarget; }
    int Progress() const;

private:
    int LoadImage(const std::filesystem::path& path, const std::string& name);
    bool EnterUpgradeMode(bool chipErase);
    void WaitForReboot();
    bool SendStart();
    void OnFrame(const device::Frame& frame);
    void OnMcuAcknowledgement(uint8_t sub, uint8_t status);
    void OnFlashAcknowledgement(uint8_t sub, uint8_t status);
    uint8_t ReadReply();
    uint8_t SendNextMcuBlock();
    uint8_t SendNextFlashBlock();
    uint8_t End();
    bool SendFinish();
    uint8_t Status() const { return mLink.UpgradeStatus(); }
    void SetStatus(uint8_t status) { mLink.SetUpgradeStatus(status); }
    bool IsMcuTarget() const { return mTarget != UpgradeTarget::UPG_DEVICE_FLASH; }

    device::DeviceLink& mLink;
    const ImageRules mRules;
    const UpgradeTimings mTimings;
    std::string mDevicePath;
    UpgradeTarget mTarget = UpgradeTarget::UPG_DEVICE_MCU;
    std::optional<FirmwareImage> mImage;
    size_t mSize = 0;       // the body's length
    size_t mRemaining = 0;  // microcontroller and bootloader: bytes not yet sent
    size_t mSent = 0;       // DSP flash: bytes sent
    // Written by the acknowledgement decoder, which runs inside this
    // session's reads, and by the steps; atomic in case another thread reads.
    std::atomic<StepPhase> mPhase{StepPhase::kAct};
    std::atomic<bool> mEntering{false};  // enter acknowledgements count only now
    std::atomic<bool> mEnterAcknowledged{false};
    std::atomic<bool> mRefusedFinish{false};
    int mUnansweredReads = 0;
    int mNotReadyAnswers = 0;
    bool mGaveUp = false;  // the device stopped answering: leave it in upgrade mode
};

// The rules of the image checks for the device on this link: the program's
// model number, no model comparison when the model record says so or the
// device runs its upgrade program, and stand-in images only for the virtual
// amplifier.
ImageRules RulesForLink(const device::DeviceLink& link, bool noCheckId, bool virtualDevice);

// What the update windows' workers and the command-line tool see of a whole
// upgrade. Called on the thread that runs it.
class UpgradeObserver {
public:
    virtual ~UpgradeObserver() = default;
    virtual void OnStarted(UpgradeTarget target) = 0;
    virtual void OnProgress(int percent) = 0;
};

struct UpgradeOutcome {
    int startResult = UPG_STARTED;        // UpgradeStart's result
    uint8_t stepResult = kUpgradeFailed;  // the last step's: finished or failed
    bool Succeeded() const { return startResult == UPG_STARTED && stepResult == kUpgradeFinished; }
};

// UpgradeStart, then UpgradeStep until it reports the end or stop() says so
// (then the outcome is a failure). stop may be empty.
UpgradeOutcome RunUpgrade(UpgradeSession& session, const std::filesystem::path& path,
                          UpgradeObserver& observer, const std::function<bool()>& stop = {});

}  // namespace firmware
