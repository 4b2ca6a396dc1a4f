// The device link: the one object through which the program talks to the
// amplifier. Its transport opens, closes, writes one output report and reads
// input reports with a time-out; its framing builds frames and reassembles
// and dispatches the device's frames; its command thread sends deferred
// commands; its setters and requests encode every command of the DSP,
// microcontroller, scene-flash and karaoke catalogues, and its decoders post
// every reply to the windows as messages.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/model_cfg.h"
#include "device/channel_range.h"
#include "device/cmd_queue_item.h"
#include "device/hid_seam.h"
#include "device/model_params.h"
#include "device/packet.h"
#include "device/packet_parser.h"
#include "device/reply_decoders.h"
#include "platform/message_post.h"

namespace device {

// The reply time-outs the device needs.
inline constexpr int kReplyTimeoutMs = 10000;
inline constexpr int kSceneFlashTimeoutMs = 20000;
inline constexpr int kFactoryDefaultTimeoutMs = 30000;
inline constexpr int kPowerOffDelayTimeoutMs = 500;
inline constexpr int kVersionRequestTimeoutMs = 500;

// One channel's entry of Compressor_Ctrl2.
struct Compressor2Entry {
    float threshold = 0;  // dB
    int32_t attack = 0;
    uint32_t releaseMs = 0;
};

class DeviceLink {
public:
    using WindowHandle = platform::WindowHandle;

    // Starts the command thread; the queue is disabled until EnableCmdCtrl.
    explicit DeviceLink(std::shared_ptr<HidBackend> backend);
    // Stops and joins the command thread; queued commands are released unsent.
    virtual ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // ---- transport ----

    // Opens the device at `path`, or the first amplifier when the path is
    // empty; reads and logs its four string descriptors and refuses a device
    // of which three or more cannot be read. IsConnected() tells the result.
    void OpenHIDDevice(const std::string& path);

    // Closes the device; with notifyDevice, first tells it that the PC lets
    // go (PC_Connect 0, no reply awaited). Does nothing when closed.
    void CloseHIDDevice(bool notifyDevice);

    bool IsConnected() const;
    // The open device was pulled out: nothing it is sent will be answered.
    bool IsDeviceGone() const;

    // Writes one 65-byte output report. A second writer waits at most
    // 2000 ms for the first; false when not connected, timed out or failed.
    bool WriteReport(const uint8_t* report);

    // Reads one input report (waiting at most timeoutMs) into buffer (at
    // least 64 bytes), feeds its bytes to the frame parser and dispatches the
    // frames it completes. True when at least one byte arrived.
    bool ReadHIDData(uint8_t* buffer, int timeoutMs);

    // ---- framing ----

    // Frames one command and writes it; never waits for the reply.
    bool SendCtrlCommand(uint8_t type, uint8_t subCommand, uint8_t operation, const uint8_t* data,
                         uint8_t dataLength);

    // Sees every good frame after its decoder ran (tests).
    void SetFrameTap(std::function<void(const Frame&)> tap);
    // Sees every good frame after its decoder ran, for the firmware upgrade,
    // whose acknowledgements the decoders leave alone. Kept apart from the
    // frame tap so that a test can watch an upgrade.
    void SetUpgradeTap(std::function<void(const Frame&)> tap);
    // Forgets the bytes received and not yet taken apart.
    void ClearReceiveRing();

    int BytesRead() const { return mBytesRead.load(); }
    bool IsHidBusy() const { return mHidBusy.load(); }

    // ---- command queue ----

    // With syncMode: sends at once and reads the reply (waiting at most
    // timeoutMs) on the caller's thread; true when a reply arrived. Without:
    // queues the command for the command thread (true), or drops it while
    // the queue is disabled (false). Data longer than a frame holds is
    // refused.
    bool SubmitCommand(uint8_t type, uint8_t subCommand, uint8_t operation,
                       std::vector<uint8_t> data, bool syncMode, int timeoutMs = kReplyTimeoutMs);

    void EnableCmdCtrl();
    void DisableCmdCtrl();
    bool IsCmdCtrlEnabled() const { return mCmdCtrlEnabled.load(); }
    // True when the command thread found the queue empty after the reply (or
    // time-out) of the last command it sent.
    bool IsCmdQueueIdle() const { return mCmdQueueIdle.load(); }
    // Waits until the queue is idle as above; false when `limit` passed first.
    bool WaitCmdQueueIdle(std::chrono::milliseconds limit) const;
    // Commands queued and not yet taken by the command thread.
    size_t CmdQueueDepth() const;

    // ---- where decoded values go ----

    // Also marks the queue idle.
    void SetMainWnd(WindowHandle window);
    void SetSceneWnd(WindowHandle window) { mSceneWnd.store(window); }
    WindowHandle SceneWnd() const { return mSceneWnd.load(); }
    // A closing scene window lets go of the scene messages, unless another
    // window has taken them since.
    void ReleaseSceneWnd(WindowHandle window) {
        mSceneWnd.compare_exchange_strong(window, platform::kNoWindow);
    }
    void SetAutoCalWnd(WindowHandle window) { mAutoCalWnd.store(window); }
    void SetNoiseWnd(WindowHandle window) { mNoiseWnd.store(window); }
    WindowHandle NoiseWnd() const { return mNoiseWnd.load(); }
    // A closing noise window lets go of the noise reports, unless another
    // window has taken them since: none is posted to a window that is gone.
    void ReleaseNoiseWnd(WindowHandle window) {
        mNoiseWnd.compare_exchange_strong(window, platform::kNoWindow);
    }
    void SetMemWnd(WindowHandle window) { mMemWnd.store(window); }
    WindowHandle MemWnd() const { return mMemWnd.load(); }
    // A closing memory window lets go of the memory reports, unless another
    // window has taken them since: a late report then goes nowhere rather
    // than to a window that no longer exists.
    void ReleaseMemWnd(WindowHandle window) {
        mMemWnd.compare_exchange_strong(window, platform::kNoWindow);
    }

    void SetModelParams(const app::ModelCfg& cfg);
    void SetModelParams(const ModelParams& params);
    ModelParams GetModelParams() const;

    // ---- what the handshake reported ----
    int ModelId() const { return mModelId.load(); }
    bool IsMcuNormalMode() const { return mcu_is_normal_mode.load(); }
    int BootloaderVersion() const { return mBootloaderVersion.load(); }

    // ---- firmware upgrade ----

    // The upgrade state (device/upgrade_commands.h), written by the upgrade
    // protocol on its worker and read by the controller on the UI thread.
    uint8_t UpgradeStatus() const { return sys_upg_status.load(); }
    void SetUpgradeStatus(uint8_t status) { sys_upg_status.store(status); }
    // An image is loaded and the device is being put into upgrade mode (it
    // may reboot and come back): connect and plug events are not the user's.
    bool IsUpgradeUnderWay() const;

    // ---- connection upkeep and microcontroller ----

    // Sends the handshake and reads its answer; true when an answer arrived.
    bool Hand_Connect();
    // 1: the PC takes control, 0: it lets go. Not answered, not read.
    bool PC_Connect(uint8_t connect);
    bool MCU_Factory_Default_Ctrl();
    // Restarts the microcontroller after a DSP flash upgrade; waits 10000 ms
    // for the acknowledgement.
    bool MCU_Reboot_Ctrl();
    bool Get_Delay_Power_Off_Time();
    // The DSP flash version (posted as a FlashVersionRecord) and the
    // bootloader version (kept, see BootloaderVersion); firmware without
    // them does not answer, so each read waits only 500 ms.
    bool Get_Dsp_Flash_Version();
    bool Get_Bootloader_Version();
    bool Set_Power_Off_Time(int delayMs, bool syncMode);
    bool Get_Acc();
    bool Set_Acc(uint8_t delay, bool syncMode);
    bool Get_Usb_Power_Pin();
    bool Set_Usb_Power_Pin(uint8_t option, bool syncMode);

    // ---- scene flash (scenes 1..10; 0 is the working state) ----
    bool SaveScene(uint8_t scene, uint8_t immediately);
    // (k, 0): load scene k; (k, 255): start reading scene k back.
    bool ReadScene(uint8_t scene, uint8_t secondScene);
    bool DeleteScene(uint8_t scene);
    bool SetSceneName(uint8_t scene, const uint8_t* name, uint8_t length);
    bool Get_Scene_Name(uint8_t scene);
    bool Get_Scene_Id();
    bool Get_Scene_Valid();

    // ---- karaoke effects ----
    // ECHO_DELAY takes two bytes, the others the low byte of value.
    bool KTV_Ctrl(uint8_t subCommand, int value, bool syncMode);
    bool KTV_Get(uint8_t subCommand);

    // ---- DSP setters ----
    bool Source_Switch_Ctrl(uint8_t source, bool syncMode);
    // gain: the attenuation the controller computed; its integer part is sent.
    bool Main_Volume_Ctrl(float gain, bool syncMode);
    bool Mute_Ctrl(uint8_t mute, bool syncMode);
    // filterIndex 1 low-pass, 2 high-pass.
    bool Filter_Ctrl(uint8_t scene, uint8_t source, uint8_t channel, uint8_t filterIndex,
                     uint8_t filterType, int frequency, uint8_t slope, bool syncMode);
    bool EQ_Ctrl(uint8_t scene, uint8_t source, uint8_t channel, uint8_t band, int frequency,
                 float q, float gain, uint8_t type, bool syncMode);
    // Range setters: one value per channel from range.first to range.last.
    bool Delay_Ctrl(const ChannelRange& range, std::span<const float> delaysMs, bool syncMode);
    // Trims in dB (0 or below); the device takes the attenuation.
    bool Trim_Ctrl(const ChannelRange& range, std::span<const float> trims, bool syncMode);
    bool Mute_Ch_Ctrl(const ChannelRange& range, std::span<const uint8_t> mutes, bool syncMode);
    bool Phase_Ctrl(const ChannelRange& range, std::span<const uint8_t> phases, bool syncMode);
    bool Mix_Ch_Ctrl(const ChannelRange& range, std::span<const uint32_t> inputMasks,
                     bool syncMode);
    bool CH_Type_Ctrl(const ChannelRange& range, std::span<const uint8_t> types, bool syncMode);
    bool CH_Link_Ctrl(uint8_t scene, uint8_t link,
                      std::span<const std::pair<uint8_t, uint8_t>> pairs, bool syncMode);
    bool CH_Lock_Ctrl(uint8_t scene, uint8_t lock, bool syncMode);
    bool PEQ_Reset_Ctrl(uint8_t scene, std::span<const uint8_t> channels, bool syncMode);
    bool PEQ_Bypass_Ctrl(const ChannelRange& range, std::span<const uint8_t> bypasses,
                         bool syncMode);
    bool IRC_Ctrl(uint8_t on, uint16_t channelMask, uint8_t eqMode, bool syncMode);
    bool IRC_Sel_Test_Module(uint8_t module, bool syncMode);
    bool Input_Phase_Ctrl(const ChannelRange& range, std::span<const uint8_t> phases,
                          bool syncMode);
    bool Input_Mix_Trim_Ctrl(uint8_t scene, uint8_t source, uint8_t inputChannel,
                             uint8_t firstOutput, uint8_t lastOutput,
                             std::span<const uint8_t> trims, bool syncMode);
    bool Input_Ch_Threshold_Ctrl(int threshold, bool syncMode);
    bool Solo_Ctrl(const ChannelRange& range, std::span<const uint8_t> solos, bool syncMode);
    bool Auto_On_Ctrl(uint8_t scene, uint8_t on, bool syncMode);
    bool IRC_Active_Bypass_Ctrl(uint8_t scene, uint8_t on, bool syncMode);
    // The 52-byte centre/surround settings block, sent unchanged.
    bool CS_Auto_Setting_Ctrl(std::span<const uint8_t> block, bool syncMode);
    bool Compressor_Ctrl(uint8_t scene, uint8_t source, uint8_t channel, uint8_t bypass,
                         float threshold, float ratio, int attack, int release, float knee,
                         bool syncMode);
    bool Amp_Mute_Ctrl(uint8_t mute, bool syncMode);
    bool Set_MemData(uint32_t address, uint32_t value, bool syncMode);
    bool Rem_Out_Ctrl(uint8_t remOut1, uint8_t remOut2, bool syncMode);
    bool Cross_Source_Mix_Ctrl(uint8_t scene, uint8_t source, uint8_t channel, uint8_t viceSource,
                               uint8_t viceChannel, uint8_t viceGain, bool syncMode);
    bool Compressor_Ch_Ctrl(const ChannelRange& range, std::span<const uint8_t> ons, bool syncMode);
    bool Compressor_Ctrl2(const ChannelRange& range, std::span<const Compressor2Entry> entries,
                          bool syncMode);
    bool Spk_Ohm_Ctrl(uint8_t ohm, bool syncMode);
    bool Output_Bridge_Ctrl(uint8_t scene, uint8_t source, std::span<const uint8_t> bridges,
                            bool syncMode);
    bool Cross_Source_Mix_Ctrl_CS47048(uint8_t scene, uint8_t source, uint8_t viceSource,
                                       uint8_t viceChannel, uint8_t channel, bool syncMode);
    bool Noise_Gate_Ctrl(uint8_t on, bool syncMode);
    bool Noise_Gate_Drc_Gain_Ctrl(uint8_t index, bool syncMode);
    bool Noise_Gate_Threshold_Ctrl(uint8_t index, bool syncMode);
    bool Spk_Ohm13_21_Ctrl(uint8_t ohm13, uint8_t ohm21, bool syncMode);

    // ---- DSP requests: sent at once, the answer read with 10000 ms and
    // posted by its decoder; true when an answer arrived ----
    bool Get_Source();
    bool Get_Main_Volume();
    bool Get_Subwoofer_Volume();
    bool Get_Mute();
    bool Get_Filter(const ChannelRange& range);
    bool Get_EQ(uint8_t scene, uint8_t source, uint8_t channel, uint8_t firstBand,
                uint8_t lastBand);
    bool Get_Delay(const ChannelRange& range);
    bool Get_Trim(const ChannelRange& range);
    bool Get_Mute_Ch(const ChannelRange& range);
    bool Get_Phase(const ChannelRange& range);
    bool Get_Mix_Ch(const ChannelRange& range);
    bool Get_CH_Type(const ChannelRange& range);
    bool Get_CH_Link(uint8_t scene);
    bool Get_CH_Lock(uint8_t scene);
    bool Get_PEQ_Bypass(const ChannelRange& range);
    bool IRC_Get();
    bool IRC_Get_Distance(uint8_t first, uint8_t last);
    bool IRC_Get_EQ(uint8_t channel, uint8_t firstBand, uint8_t lastBand);
    bool IRC_Get_Spectrum(uint8_t channel, uint8_t firstBand, uint8_t lastBand);
    bool Get_Input_Mix_CH_Trim(uint8_t scene, uint8_t source, uint8_t inputChannel,
                               uint8_t firstOutput, uint8_t lastOutput);
    // These two follow syncMode like setters.
    bool Get_Input_Threshold(uint8_t scene, uint8_t source, bool syncMode);
    bool Get_Input_Noise(uint8_t first, uint8_t last, bool syncMode);
    bool Get_Ch_Solo(const ChannelRange& range);
    bool Get_Speaker_Config();
    bool Get_AUTO_ON();
    bool Get_Compressor(const ChannelRange& range);
    bool Get_Amp_Mute();
    // The clip reports follow syncMode like setters: a window that polls them
    // queues them and never waits for the answer.
    bool Get_InDistort(const ChannelRange& range, bool syncMode);
    bool Get_OutDistort(const ChannelRange& range, bool syncMode);
    bool Get_MemData(uint32_t address);
    bool Get_Rem_Out();
    // The cross-source mix of one input: the plain layout (0x47) and the
    // CS47048 layout (0x4D).
    bool Get_Mix_Source2(uint8_t scene, uint8_t source, uint8_t channel);
    bool Get_Mix_Source2_CS47048(uint8_t scene, uint8_t source, uint8_t channel);
    bool Get_Compressor_Ch_On(const ChannelRange& range);
    bool Get_Compressor2(const ChannelRange& range);
    bool Get_Spk_Ohm();
    bool Get_Ouput_Bridge(uint8_t scene, uint8_t source, uint8_t count);
    bool Get_Noise_Gate();
    bool Get_Noise_Gate_Gain();
    bool Get_Noise_Gate_Threshold();
    bool Get_Spk_Ohm13_21();

protected:
    // Called for each good frame, on the thread that read it: runs the
    // decoder of its packet type, then the frame tap.
    virtual void DispatchFrame(const Frame& frame);

    // Stops and joins the command thread, releasing queued items unsent. A
    // subclass that overrides DispatchFrame calls it from its destructor.
    void StopCommandThread();

    std::shared_ptr<HidDevice> Handle() const;

    // Drains the receive ring through the parser while connected.
    void DrainRing();

    std::shared_ptr<HidBackend> mBackend;

    mutable std::mutex mHandleLock;
    std::shared_ptr<HidDevice> mHidHandle;  // guarded by mHandleLock; null = not connected

    std::array<uint8_t, kOutputReportSize> mReadBuffer{};  // guarded by mReadLock
    std::atomic<int> mBytesRead{0};
    std::atomic<bool> WRITE_ROPRT{false};  // a report write is in progress
    std::atomic<bool> mHidBusy{false};

    // Serialises writers; a second writer polls it for at most 2000 ms.
    std::mutex mWriteLock;
    // One reader at a time owns the receive ring and the parser state.
    std::recursive_mutex mReadLock;
    PacketParser mParser;  // guarded by mReadLock

    std::mutex mTapLock;
    std::function<void(const Frame&)> mFrameTap;    // guarded by mTapLock
    std::function<void(const Frame&)> mUpgradeTap;  // guarded by mTapLock

private:
    void McuCmdThread();
    void SendQueuedItem(const CmdQueueItem& item);
    void ReleaseLeftoverItems();
    bool SendAndRead(uint8_t type, uint8_t subCommand, uint8_t operation,
                     const std::vector<uint8_t>& data, int timeoutMs);
    bool Request(uint8_t subCommand, std::vector<uint8_t> data = {});
    bool RangeRequest(const char* name, uint8_t subCommand, const ChannelRange& range);
    // Range setters whose entries are one byte each.
    bool ByteRangeSetter(uint8_t subCommand, const ChannelRange& range,
                         std::span<const uint8_t> values, bool syncMode);
    ReplyContext CurrentReplyContext() const;
    void ApplyMcuReport(const McuReport& report);

    std::atomic<WindowHandle> mMainWnd{platform::kNoWindow};
    std::atomic<WindowHandle> mSceneWnd{platform::kNoWindow};
    std::atomic<WindowHandle> mAutoCalWnd{platform::kNoWindow};
    std::atomic<WindowHandle> mNoiseWnd{platform::kNoWindow};
    std::atomic<WindowHandle> mMemWnd{platform::kNoWindow};

    mutable std::mutex mModelParamsLock;
    ModelParams mModelParams;  // guarded by mModelParamsLock

    std::atomic<int> mModelId{-1};
    std::atomic<bool> mcu_is_normal_mode{false};
    std::atomic<int> mBootloaderVersion{0};
    std::atomic<uint8_t> sys_upg_status{0};

    std::atomic<bool> mCmdCtrlEnabled{false};
    std::atomic<bool> mCmdQueueIdle{true};
    mutable std::condition_variable mCmdQueueIdleWake;  // with mCmdQueueLock
    std::atomic<bool> mCmdThreadRunning{true};
    // Producers on any thread; the command thread is the one consumer. The
    // thread waits on mCmdQueueWake, so a queued command goes out at once.
    mutable std::mutex mCmdQueueLock;
    std::condition_variable mCmdQueueWake;
    std::deque<CmdQueueItem> mCmdQueue;  // guarded by mCmdQueueLock
    std::thread mCmdThread;              // last: started once everything above exists
};

}  // namespace device
