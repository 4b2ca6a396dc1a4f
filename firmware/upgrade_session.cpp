#include "firmware/upgrade_session.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/log.h"
#include "device/upgrade_commands.h"
#include "firmware/test_images.h"

namespace firmware {

namespace {

using namespace device;

// The name after the last folder separator, in upper case: names are
// compared by containment and regardless of case ("my_mcu_upg.bin" is a
// microcontroller image).
std::string UpperCaseFileName(const std::filesystem::path& path) {
    const std::string text = path.string();
    const size_t cut = text.find_last_of("/\\");
    std::string name = cut == std::string::npos ? text : text.substr(cut + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

bool Contains(const std::string& name, const char* part) {
    return name.find(part) != std::string::npos;
}

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::string ByteText(const uint8_t* bytes, int count) {
    std::string text;
    char hex[4];
    for (int i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, "%02X ", bytes[i]);
        text += hex;
    }
    return text;
}

void PutBigEndian32(uint32_t value, uint8_t* out) {
    out[0] = static_cast<uint8_t>(value >> 24);
    out[1] = static_cast<uint8_t>(value >> 16);
    out[2] = static_cast<uint8_t>(value >> 8);
    out[3] = static_cast<uint8_t>(value);
}

}  // namespace

UpgradeSession::UpgradeSession(DeviceLink& link, ImageRules rules, UpgradeTimings timings)
    : mLink(link), mRules(rules), mTimings(timings) {
    mLink.SetUpgradeTap([this](const Frame& frame) { OnFrame(frame); });
}

UpgradeSession::~UpgradeSession() {
    mLink.SetUpgradeTap({});
    // An upgrade given up half-way must not leave the controller ignoring
    // the device's comings and goings.
    SetStatus(UPG_IDLE);
}

int UpgradeSession::Progress() const {
    if (mSize == 0) {
        return 100;
    }
    const size_t done = IsMcuTarget() ? mSize - mRemaining : mSent;
    return static_cast<int>(done * 100 / mSize);
}

// ---- starting ----

int UpgradeSession::UpgradeStart(const std::filesystem::path& path, bool chipErase) {
    const std::string name = UpperCaseFileName(path);
    app::Log("UpgradeStart %s\n", name.c_str());
    const int parsed = LoadImage(path, name);
    if (parsed != UPG_FILE_VALID) {
        SetStatus(UPG_IDLE);
        return parsed;
    }
    if (!EnterUpgradeMode(chipErase)) {
        mImage.reset();
        SetStatus(UPG_IDLE);
        return UPG_NOT_ENTERED;
    }
    // The microcontroller restarts into its upgrade program to take an image
    // for itself or for the DSP flash; the running program updates the
    // bootloader without restarting.
    if (mLink.IsMcuNormalMode() && mTarget != UpgradeTarget::UPG_DEVICE_MCU_BL) {
        WaitForReboot();
    }
    if (!mLink.IsConnected()) {
        app::Log("UpgradeStart Device not Connected\n");
        mImage.reset();
        SetStatus(UPG_IDLE);
        app::Log("UpgradeStart UPG_CONNECT_FAIL\n");
        return UPG_CONNECT_FAIL;
    }
    app::Log("UpgradeStart Device Connected\n");
    mLink.ClearReceiveRing();
    const bool answered = SendStart();
    app::Log("UpgradeStart %sStart return 0x%0x\n", IsMcuTarget() ? "Mcu" : "Flash", Status());
    // A start that was refused or not answered at all ends here: the steps
    // would otherwise wait for a go-ahead that never comes.
    if (!answered || Status() != UPG_SEND_BIN_DATA) {
        mImage.reset();
        SetStatus(UPG_IDLE);
        return UPG_NOT_ENTERED;
    }
    mPhase.store(StepPhase::kAct);
    return UPG_STARTED;
}

int UpgradeSession::LoadImage(const std::filesystem::path& path, const std::string& name) {
    mRemaining = mSent = mSize = 0;
    mUnansweredReads = mNotReadyAnswers = 0;
    mGaveUp = false;
    mRefusedFinish.store(false);
    const bool connected = mLink.IsConnected();
    LoadedImage loaded;
    if (Contains(name, "BL_UPG.BIN")) {
        app::Log("before MCUUpgBLParsingFile\n");
        mTarget = UpgradeTarget::UPG_DEVICE_MCU_BL;
        SetStatus(UPG_ENTER);
        loaded = MCUUpgBLParsingFile(path, mRules, connected);
    } else if (Contains(name, "FLASH_UPG.BIN")) {
        app::Log("before FlashUpgParsingFile\n");
        if (connected) {
            mTarget = UpgradeTarget::UPG_DEVICE_FLASH;
            SetStatus(UPG_START);
        }
        loaded = FlashUpgParsingFile(path, mRules, connected);
    } else if (Contains(name, "MCU_UPG.BIN")) {
        app::Log("before MCUUpgParsingFile\n");
        mTarget = UpgradeTarget::UPG_DEVICE_MCU;
        SetStatus(UPG_ENTER);
        loaded = MCUUpgParsingFile(path, mRules, connected);
    } else {
        // Neither an image of this device nor anything else this build can
        // flash (the external flashing kit's "DOWNLOAD.BAT" does not run here).
        app::Log("UpgradeStart UPG_FILE_INVALID\n");
        app::Log("return UPG_FILE_INVALID %s, FlashUpgParsingFile %d\n", name.c_str(), __LINE__);
        return UPG_FILE_INVALID;
    }
    app::Log("Parsing return 0x%0x\n", static_cast<unsigned>(loaded.result));
    if (loaded.result != UPG_FILE_VALID) {
        return loaded.result;
    }
    if (!mRules.standInsAllowed && IsStandInImage(loaded.image->body)) {
        app::Log("return UPG_FILE_INVALID %s: a stand-in image, for the virtual amplifier only\n",
                 name.c_str());
        return UPG_FILE_INVALID;
    }
    mImage = std::move(loaded.image);
    mSize = mImage->body.size();
    mRemaining = IsMcuTarget() ? mSize : 0;
    return UPG_FILE_VALID;
}

bool UpgradeSession::EnterUpgradeMode(bool chipErase) {
    mEnterAcknowledged.store(false);
    mEntering.store(true);
    const int timeout = mTimings.replyTimeoutMs;
    switch (mTarget) {
        case UpgradeTarget::UPG_DEVICE_MCU_BL:
            mLink.SubmitCommand(CMD_MCU, MCU_BL_ENTER, OP_SET, {}, true, timeout);
            break;
        case UpgradeTarget::UPG_DEVICE_MCU:
            mLink.SubmitCommand(CMD_MCU, MCU_Enter_Upg_Mode, OP_SET, {}, true, timeout);
            break;
        case UpgradeTarget::UPG_DEVICE_FLASH:
            if (chipErase) {
                // Its outcome is not examined: the enter command decides.
                mLink.SubmitCommand(CMD_FLASH, FLASH_CHIP_ERASE, OP_SET, {}, true, timeout);
            }
            mLink.SubmitCommand(CMD_MCU, MCU_Enter_Upg_Mode, OP_SET, {}, true, timeout);
            break;
    }
    mEntering.store(false);
    // Only an acknowledged enter counts: a flash image leaves the state at
    // UPG_START from its loading, answered or not.
    return mEnterAcknowledged.load() && Status() == UPG_START;
}

void UpgradeSession::WaitForReboot() {
    mLink.CloseHIDDevice(false);
    SleepMs(mTimings.rebootWaitMs);
    for (int attempt = 0; attempt < mTimings.reopenAttempts; ++attempt) {
        if (!mDevicePath.empty()) {
            mLink.OpenHIDDevice(mDevicePath);
        }
        if (!mLink.IsConnected()) {
            mLink.OpenHIDDevice("");
        }
        if (mLink.IsConnected()) {
            return;
        }
        SleepMs(mTimings.reopenPauseMs);
    }
}

bool UpgradeSession::SendStart() {
    std::vector<uint8_t> head(mImage->head.begin(), mImage->head.end());
    switch (mTarget) {
        case UpgradeTarget::UPG_DEVICE_MCU_BL:
            return mLink.SubmitCommand(CMD_MCU, MCU_BL_START, OP_SET, std::move(head), true,
                                       mTimings.replyTimeoutMs);
        case UpgradeTarget::UPG_DEVICE_MCU:
            return mLink.SubmitCommand(CMD_MCU, MCU_UPG_START, OP_SET, std::move(head), true,
                                       mTimings.replyTimeoutMs);
        case UpgradeTarget::UPG_DEVICE_FLASH:
            break;
    }
    return mLink.SubmitCommand(CMD_FLASH, FLASH_UPG_START, OP_SET, std::move(head), true,
                               mTimings.replyTimeoutMs);
}

// ---- the acknowledgements, decoded inside this session's reads ----

void UpgradeSession::OnFrame(const Frame& frame) {
    if (frame.operation() != OP_ACK) {
        return;
    }
    const uint8_t status = frame.dataLength() >= 1 ? frame.data()[0] : 0;
    if (frame.type == CMD_MCU) {
        OnMcuAcknowledgement(frame.subCommand(), status);
    } else if (frame.type == CMD_FLASH) {
        OnFlashAcknowledgement(frame.subCommand(), status);
    }
}

void UpgradeSession::OnMcuAcknowledgement(uint8_t sub, uint8_t status) {
    const bool ready = status == UPG_ACK_READY;
    switch (sub) {
        case MCU_Enter_Upg_Mode:
        case MCU_BL_ENTER:
            if (ready && mEntering.load()) {
                mEnterAcknowledged.store(true);
                SetStatus(UPG_START);
            }
            return;
        case MCU_UPG_START:
        case MCU_BL_START:
            app::Log(ready ? "MCU_UPG_START: ACK_READY\n\n" : "MCU_UPG_START: ACK_NOT_READY\n\n");
            SetStatus(ready ? UPG_SEND_BIN_DATA : UPG_FAIL);
            return;
        case MCU_UPG_DATA:
        case MCU_BL_DATA:
            if (Status() != UPG_WAITING_BIN_DATA_ACK) {
                return;
            }
            if (ready) {
                app::Log("MCU UPG_WAITING_BIN_DATA_ACK: ACK_READY\n\n");
                SetStatus(UPG_SEND_BIN_DATA);
            } else if (status == UPG_ACK_NOT_READY) {
                app::Log("MCU !!!!! NOT_READY !!!!!!\n\n");
                ++mNotReadyAnswers;
                mPhase.store(StepPhase::kSent);
            }
            return;
        case MCU_UPG_FINISH:
        case MCU_BL_FINISH:
            if (Status() != UPG_FINISH) {
                return;
            }
            if (ready) {
                app::Log("MCU UPG_FINISH: ACK_READY\n\n");
            } else {
                // The device found the image incomplete or damaged.
                app::Log("MCU UPG_FINISH: ACK_NOT_READY\n\n");
                mRefusedFinish.store(true);
            }
            return;
        default:
            return;
    }
}

void UpgradeSession::OnFlashAcknowledgement(uint8_t sub, uint8_t status) {
    const bool ready = status == UPG_ACK_READY;
    const bool notReady = status == UPG_ACK_NOT_READY;
    switch (sub) {
        case FLASH_CHIP_ERASE:
            if (ready && Status() == UPG_START) {
                app::Log("FLASH CHIP ERASE: ACK_READY\n\n");
                SetStatus(UPG_CHIP_ERASED);
            } else if (notReady) {
                app::Log("FLASH CHIP ERASE: ACK_NOT_READY\n\n");
                SetStatus(UPG_FAIL);
            }
            return;
        case FLASH_UPG_START:
            if (ready && Status() == UPG_START) {
                app::Log("FLASH UPG_START: ACK_READY\n\n");
                SetStatus(UPG_SEND_BIN_DATA);
            } else if (notReady) {
                app::Log("FLASH UPG_START: ACK_NOT_READY\n\n");
                SetStatus(UPG_FAIL);
            }
            return;
        case FLASH_UPG_DATA:
            if (Status() != UPG_WAITING_BIN_DATA_ACK) {
                return;
            }
            if (ready) {
                app::Log("UPG_WAITING_BIN_DATA_ACK: ACK_READY\n\n");
                SetStatus(UPG_SEND_BIN_DATA);
            } else if (notReady) {
                app::Log("!!!!! NOT_READY !!!!!!\n\n");
                ++mNotReadyAnswers;
                mPhase.store(StepPhase::kSent);
            }
            return;
        case FLASH_UPG_FINISH:
            if (Status() != UPG_FINISH) {
                return;
            }
            if (ready) {
                app::Log("UPG_FINISH: ACK_READY\n");
            } else {
                app::Log("UPG_FINISH: ACK_NOT_READY\n");
                mRefusedFinish.store(true);
            }
            return;
        default:
            return;
    }
}

// ---- stepping ----

uint8_t UpgradeSession::UpgradeStep() {
    switch (mPhase.load()) {
        case StepPhase::kSent:
            if (mNotReadyAnswers > mTimings.notReadyLimit) {
                app::Log("the device stays not ready, the upgrade stops\n");
                mGaveUp = true;
                SetStatus(UPG_FAIL);
                mPhase.store(StepPhase::kFinishing);
                return static_cast<uint8_t>(Progress());
            }
            mPhase.store(StepPhase::kReadReply);
            return static_cast<uint8_t>(Progress());
        case StepPhase::kReadReply:
            return ReadReply();
        case StepPhase::kAct:
        case StepPhase::kFinishing:
            break;
    }
    switch (Status()) {
        case UPG_SEND_BIN_DATA:
            return IsMcuTarget() ? SendNextMcuBlock() : SendNextFlashBlock();
        case UPG_FINISH:
        case UPG_FAIL:
            return End();
        default:
            // A report came that was not the awaited acknowledgement: read
            // again, within the same bound as reads that bring nothing.
            if (++mUnansweredReads >= mTimings.unansweredReadLimit) {
                app::Log("no acknowledgement after %d reads, the upgrade stops\n",
                         mUnansweredReads);
                mGaveUp = true;
                SetStatus(UPG_FAIL);
                return End();
            }
            mPhase.store(StepPhase::kReadReply);
            return static_cast<uint8_t>(Progress());
    }
}

uint8_t UpgradeSession::ReadReply() {
    const uint8_t progress = static_cast<uint8_t>(Progress());
    // A device gone before the finish was answered has not said that it took
    // the image: a pulled cable, as far as this program can tell.
    if (!mLink.IsConnected() || mLink.IsDeviceGone()) {
        mPhase.store(StepPhase::kFinishing);
        SetStatus(UPG_FAIL);
        return progress;
    }
    app::Log("begain to read data...\n");
    std::array<uint8_t, kOutputReportSize> buffer{};
    if (!mLink.ReadHIDData(buffer.data(), mTimings.replyTimeoutMs)) {
        app::Log("read data error! %d\n", errno);
        const bool silent = ++mUnansweredReads >= mTimings.unansweredReadLimit;
        if (silent) {
            // Leave the device in its upgrade program, ready for another attempt.
            app::Log("the device has not answered %d reads, the upgrade stops\n", mUnansweredReads);
            mGaveUp = true;
            SetStatus(UPG_FAIL);
            mPhase.store(StepPhase::kFinishing);
        }
        return progress;
    }
    const int count = mLink.BytesRead();
    app::Log("has send out %d dtata... \n", count);
    if (app::IsLogOpen()) {
        app::Log("data return from devices is:\n%s\n", ByteText(buffer.data(), count).c_str());
    }
    // A not-ready answer has asked for one more read: keep that.
    StepPhase expected = StepPhase::kReadReply;
    mPhase.compare_exchange_strong(expected, StepPhase::kAct);
    return progress;
}

uint8_t UpgradeSession::SendNextMcuBlock() {
    const bool bootloader = mTarget == UpgradeTarget::UPG_DEVICE_MCU_BL;
    if (mRemaining == 0) {
        SendFinish();
        SetStatus(UPG_FINISH);
        // Its answer is read: a device that refuses the image must not be
        // reported as updated.
        mPhase.store(StepPhase::kReadReply);
        app::Log(bootloader ? "upgrade mcu bootloader finished!\n" : "upgrade mcu finished!\n");
        return static_cast<uint8_t>(Progress());
    }
    if (!mLink.IsConnected()) {
        mPhase.store(StepPhase::kFinishing);
        SetStatus(UPG_FAIL);
        return static_cast<uint8_t>(Progress());
    }
    // From the end downwards: a first block of size % 32 bytes when the size
    // is not a multiple of 32, then 32-byte blocks on 32-byte offsets.
    const size_t tail = mSize % kMcuBlockBytes;
    const size_t length = (mRemaining == mSize && tail != 0) ? tail : kMcuBlockBytes;
    mRemaining -= length;
    std::array<uint8_t, kMcuBlockFrameBytes> block{};  // a short block is padded with zeros
    PutBigEndian32(static_cast<uint32_t>(mRemaining), block.data());
    std::copy_n(mImage->body.begin() + static_cast<std::ptrdiff_t>(mRemaining), length,
                block.begin() + 4);
    mLink.SendCtrlCommand(CMD_MCU, bootloader ? MCU_BL_DATA : MCU_UPG_DATA, OP_SET, block.data(),
                          static_cast<uint8_t>(block.size()));
    SetStatus(UPG_WAITING_BIN_DATA_ACK);
    mPhase.store(StepPhase::kSent);
    mUnansweredReads = mNotReadyAnswers = 0;
    return static_cast<uint8_t>(Progress());
}

uint8_t UpgradeSession::SendNextFlashBlock() {
    if (mSent >= mSize) {
        SendFinish();
        SetStatus(UPG_FINISH);
        mPhase.store(StepPhase::kReadReply);
        app::Log("upgrade dsp finished!\n");
        return static_cast<uint8_t>(Progress());
    }
    const size_t offset = mSent;
    const size_t length = std::min<size_t>(kFlashBlockBytes, mSize - mSent);
    mSent += length;
    app::Log("Total file len %ld; current read pos: %ld;  has read len %ld.\n",
             static_cast<long>(mSize), static_cast<long>(length), static_cast<long>(mSent));
    if (!mLink.IsConnected()) {
        mPhase.store(StepPhase::kFinishing);
        SetStatus(UPG_FAIL);
        return static_cast<uint8_t>(Progress());
    }
    std::array<uint8_t, 5 + kFlashBlockBytes> block{};
    PutBigEndian32(static_cast<uint32_t>(offset), block.data());
    block[4] = static_cast<uint8_t>(length);
    std::copy_n(mImage->body.begin() + static_cast<std::ptrdiff_t>(offset), length,
                block.begin() + 5);
    mLink.SendCtrlCommand(CMD_FLASH, FLASH_UPG_DATA, OP_SET, block.data(),
                          static_cast<uint8_t>(5 + length));
    SetStatus(UPG_WAITING_BIN_DATA_ACK);
    mPhase.store(StepPhase::kSent);
    mUnansweredReads = mNotReadyAnswers = 0;
    return static_cast<uint8_t>(Progress());
}

bool UpgradeSession::SendFinish() {
    switch (mTarget) {
        case UpgradeTarget::UPG_DEVICE_MCU_BL:
            return mLink.SendCtrlCommand(CMD_MCU, MCU_BL_FINISH, OP_SET, nullptr, 0);
        case UpgradeTarget::UPG_DEVICE_MCU:
            return mLink.SendCtrlCommand(CMD_MCU, MCU_UPG_FINISH, OP_SET, nullptr, 0);
        case UpgradeTarget::UPG_DEVICE_FLASH:
            break;
    }
    return mLink.SendCtrlCommand(CMD_FLASH, FLASH_UPG_FINISH, OP_SET, nullptr, 0);
}

uint8_t UpgradeSession::End() {
    const bool finished = Status() == UPG_FINISH && !mRefusedFinish.load();
    // The microcontroller restarts by itself after its own image; after the
    // DSP flash it is told to. A device that stopped answering is left in
    // its upgrade program for another attempt.
    if (!IsMcuTarget() && !mGaveUp && mLink.IsConnected()) {
        mLink.MCU_Reboot_Ctrl();
    }
    mImage.reset();
    SetStatus(UPG_IDLE);
    mPhase.store(StepPhase::kFinishing);
    return finished ? kUpgradeFinished : kUpgradeFailed;
}

// ---- the usual rules and a whole run ----

ImageRules RulesForLink(const DeviceLink& link, bool noCheckId, bool virtualDevice) {
    ImageRules rules;
    rules.pc_model_id = link.GetModelParams().pcModelId;
    rules.noCheckID = noCheckId || !link.IsMcuNormalMode();
    rules.standInsAllowed = virtualDevice;
    return rules;
}

UpgradeOutcome RunUpgrade(UpgradeSession& session, const std::filesystem::path& path,
                          UpgradeObserver& observer, const std::function<bool()>& stop) {
    UpgradeOutcome outcome;
    outcome.startResult = session.UpgradeStart(path, false);
    if (outcome.startResult != UPG_STARTED) {
        return outcome;
    }
    observer.OnStarted(session.Target());
    int shown = -1;
    for (;;) {
        if (stop && stop()) {
            outcome.stepResult = kUpgradeFailed;
            return outcome;
        }
        const uint8_t step = session.UpgradeStep();
        if (step > 100) {
            outcome.stepResult = step;
            return outcome;
        }
        // Two of every three steps only read: the percentage is told when it
        // changes, not thousands of times over.
        if (step != shown) {
            shown = step;
            observer.OnProgress(step);
        }
    }
}

}  // namespace firmware
