// The tuning controller: the one object between the main page's controls, the
// working sound-processing state and the device link. Every user action on
// the main page ends in one of its operations; every value the device reports
// reaches the profile and the view through its handlers. It runs on the
// user-interface thread; its jobs (the first synchronisation, the bridge set
// up) run on worker threads and report back only by posted messages.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "controller/control_lookup.h"
#include "controller/controller_messages.h"
#include "controller/edit_history.h"
#include "controller/ui_services.h"
#include "controller/upgrade_worker.h"
#include "device/device_link.h"
#include "device/device_records.h"
#include "device/hid_seam.h"
#include "device/tick.h"
#include "jobs/job_report.h"
#include "jobs/profile_writeout.h"
#include "jobs/reply_applier.h"
#include "jobs/state_readback.h"
#include "model/cs_auto_settings.h"
#include "model/profile.h"
#include "model/profile_file.h"
#include "model/profile_json.h"
#include "platform/message_post.h"
#include "toolkit/control_access.h"

namespace controller {

struct SwitchLook;

// The look of "btnConnect".
enum class ConnectLook { kDisconnected, kConnecting, kConnected };

class EqualizerManager {
public:
    explicit EqualizerManager(std::shared_ptr<device::HidBackend> backend);
    ~EqualizerManager();
    EqualizerManager(const EqualizerManager&) = delete;
    EqualizerManager& operator=(const EqualizerManager&) = delete;

    // Binds the main page's controls and shows the working profile; once.
    void Init(toolkit::ControlAccess& page, UiServices& ui);

    device::DeviceLink& Link() { return *mDeviceLink; }
    model::Profile& WorkingProfile() { return mProfile; }
    const model::Profile& SceneProfile(int scene) const { return mSceneProfiles[scene]; }

    // ---- devices and connection ----
    void UpdateDeviceList();
    void SelectFirstDevice();
    void SelectDevice(const std::string& path);
    void SetDevice();
    bool IsSelectedDeviceInList() const;
    void UpdateSelectDeviceIndex();
    void EditDeviceName();
    void CommitDeviceName();
    void EndNameEdit();
    void ConnectDevice(bool showFailure);
    void DisconnectDevice();
    // When the program closes: a tune made offline and not sent to an
    // amplifier goes to the auto-save folder's "offline.spf", as when the
    // user keeps the amplifier's tune, so closing never loses it.
    void KeepUnsentOfflineTune();
    void DevicePlugin(const std::string& path);
    void DevicePlugOut(const std::string& path);
    void OnSyncDone();
    // On a worker thread: takes control of the device, shakes hands and
    // reads its whole state. 0 done, -1 no handshake answer.
    int PC_UI_Status_Init();
    void SetReadProfileToView();
    // Work a job handed back to the user-interface thread.
    void OnControllerStep(uintptr_t step);

    const std::vector<std::string>& DevicePaths() const { return mDevicePaths; }
    const std::vector<std::string>& DeviceNames() const { return mDeviceNames; }
    const std::vector<std::string>& DeviceNickNames() const { return mDeviceNickNames; }
    const std::string& SelectedPath() const { return mSelectedPath; }
    const std::string& SelectedName() const { return mSelectedName; }
    bool HasCachedProfile(const std::string& name) const;

    // ---- device reports ----
    void ReadDspValueCallback(uint8_t subCommand, intptr_t value,
                              const std::unique_ptr<platform::PostedRecord>& record);
    void ReadMcuValueCallback(uint8_t subCommand, intptr_t value,
                              const std::unique_ptr<platform::PostedRecord>& record);
    void ReadSenceValueCallback(uint8_t subCommand,
                                const std::unique_ptr<platform::PostedRecord>& record);
    void ReadKtvValueCallback(uint8_t subCommand, intptr_t value);
    const std::u16string& SceneName(int slot) const { return mSceneNames[slot]; }
    uint32_t SceneValidMask() const { return mSceneValidMask; }

    // ---- scenes in the amplifier's ten slots (scene k is slot k - 1) ----
    // The scene menu: each opens the scene window in its mode and returns
    // when the user closed it.
    void LoadSenceConfigFromDSP();
    void SaveSenceConfigToDSP();
    void DeleteDSPSenceConfig();
    // What the scene window reads and writes: the slots' names, the current
    // scene (0 or less for none) and the narrow name the save job sends.
    void SetSceneName(int slot, const std::u16string& name);
    int SceneId() const { return mSceneId; }
    void SetSceneId(int scene) { mSceneId = scene; }
    void SetSceneNameToSave(const std::array<uint8_t, 16>& name) { mSceneNameToSave = name; }
    // The scene jobs on scene mSceneId, each behind the scene window's
    // loading window; they report to the link's scene window. The save job
    // names the slot with mSceneNameToSave and saves into it; the load job
    // makes the slot the working state and reads it into the profile and the
    // view; the delete job deletes the slot.
    void StartSaveSenceThread();
    void StartLoadSenceThread();
    void StartDeleteSenceThread();

    // ---- output channels ----
    void SetCurChannelChange(int channel);
    // Trim in tenths of a dB from the channel's slider (the current channel
    // for -1); immediate skips the rate limit (timer, bridge, type change).
    void SetChVolumeSlider(int channel, bool refocus, bool fromTimer, bool immediate);
    // keepFocus: after Enter the edit keeps the focus with its text selected;
    // a commit on focus loss leaves the focus where the user took it.
    void SetChVolumeEdit(int channel, bool keepFocus = true);
    void SetChVolumeUp(int channel, bool up);
    // Fired by CACHE_CH_VOLUME_TIMER: sends the trim held back by the rate limit.
    void OnChVolumeTimer();
    void SetChMute(int channel);
    void SetChPhase(int channel);
    void SetChSolo(int channel);
    void SetChDelaySlider(int channel);
    void SetChDelayEdit(int channel, bool keepFocus = true);
    void SetChDelayUp(int channel, bool up);
    void SetSpeakerDelayEdit(int position);
    void StepSpeakerDelay(int position, bool up);
    void SetSpeakerFocus(int position);
    // The speaker position (output type) of the current channel, 0 when none.
    int CurrentSpeakerPosition() const;
    void OnDelayUnitChanged();
    void ShowDelaySlider(int channel);
    void HideDelaySliders();
    void SetOutputValue(int channel, const std::string& itemName, bool keepBackup);
    // A user's click on the bridge button or box of a pair.
    void ToggleBridge(int pair);
    // The bridge setter for the mixer: pair p bridged or not, with the copy
    // of the left half's settings into the right one when it becomes bridged.
    void SetBridge(int pair, bool on);
    // The main page's routing options of one output, after the mixer changed
    // its mask.
    void RefreshRouting(int output);
    // "advance_item_mixer": the mixer window of the current source.
    void OpenMixer();
    // "btn_irc" and "advance_item_autocal": the automatic calibration
    // window; when the amplifier may have taken a new calibration, its
    // whole state is read again.
    void RunAutoCalibration();
    void SetChShow(int channel);
    void ShowChannelPage(int page);

    // ---- links and locks ----
    // "btn_link_output": pairs mirrored outputs (copying one side to the
    // other, as the user chooses) or ends the link mode.
    void SetOutputLink();
    // "btn_lock_output": locks or unlocks the output types, after asking.
    void SetOutpuLock();
    // "ch_synchronize_%d": the output joins group 1 or leaves its group.
    void ToggleLinkGroup(int channel);
    // Puts the output (and its bridge partner) into link group g, 0 for none.
    void SetLinkGroup(int channel, int group);
    // The delay-link-group menu: the output (and its bridge partner) goes
    // into delay-link group g, 0 for none, shown by its colour.
    void SetDelayLinkGroup(int channel, int group);
    // "btn_reset_link": every output leaves its link group.
    void ResetLinks();
    // The link options the installer chooses: whether a mute or a phase
    // change reaches the other members of the output's link group.
    void SetLinkOptions(bool linkMute, bool linkPhase);
    bool LinksMute() const { return mLinkMute; }
    bool LinksPhase() const { return mLinkPhase; }
    // ---- the service windows ----
    // Which USB audio mode the amplifier's shared socket serves: SCP (true)
    // or USB audio (false). Setting it tells the amplifier, offers the
    // source of that mode and moves a source of the other mode over.
    void SetUsbMode(bool scp);
    bool UsbModeIsScp() const { return mUsbUdpOrScp; }
    // "btn_debug": the DSP memory window.
    void OpenMemoryWindow();
    // How long the amplifier stays on after its switch-on signal goes away,
    // in milliseconds, limited to 0..1000; kept in the working profile and
    // sent to the amplifier.
    void SetPowerOffDelay(int milliseconds);
    int PowerOffDelay() const { return static_cast<int>(mProfile.powerOffDelay); }
    // "btn_reset_output": every output to its default type or to none, as the
    // user chooses, unbridged, unlinked and unlocked.
    void SetOutputReset();
    // "option_item_reset_default": after asking, the device goes back to its
    // factory settings and restarts.
    void ResetMcuFactoryDefault();
    // The device acknowledged a factory default and is restarting.
    bool IsRebootExpected() const { return mRebootExpected.load(); }

    // ---- time alignment from measured distances ----
    // The unit "comb_ch_unit" shows delays in, and a delay's text in it.
    int ShownDelayUnit() { return DelayUnit(); }
    std::string ShownDelayText(float ms) { return DelayText(ms); }
    // Each output given a delay takes it, limited and stored as a typed
    // delay is, shown and sent; the others keep theirs. Every output has its
    // own value, so link partners and link groups do not follow; the other
    // half of a bridged pair does, with the same delay (the lower output's
    // when both are given).
    void SetDelaysFromDistances(const std::vector<std::optional<float>>& delaysMs);
    // The settings section the distances of the connected amplifier are kept
    // in, the no-device section while none is connected.
    std::string DistancesSection() const;

    // ---- the features of models that have them (switched off here) ----
    // A channel's compressor switched on or off: kept in the working profile
    // and sent.
    void SetCompressorOn(int channel, bool on);
    // The centre/surround upmix block; its window edits it in place and
    // sends it whole after every change.
    model::CsAutoSettings& CsAutoSettings() { return mCsAutoSettings; }
    void SendCsAutoSettings();
    // The windows of these features, each returning when it closed.
    void OpenCompressorWindow();
    void OpenCompressorsOnWindow();
    void OpenKtvWindow();
    void OpenCsAutoWindow();

    // ---- crossover of the current channel ----
    // "hp_freq" / "lp_freq" committed; keepFocus after Enter.
    void SetCrossoverFreqEdit(bool highPass, bool keepFocus = true);
    void SetHpFreqUp(bool up);
    void SetLpFreqUp(bool up);
    // The item selected in "hp_type" / "lp_type", "hp_slop" / "lp_slop".
    void SetCrossoverType(bool highPass);
    void SetCrossoverSlope(bool highPass);

    // ---- EQ bands of the current channel ----
    void SetChEqEdit(int band);
    void SetEqSlider(int band);
    void SetEqFreqUp(int band, bool up);
    void SetEqQUp(int band, bool up);
    void SetEqGainUp(int band, bool up);
    // "pt_enable_%d" clicked.
    void ToggleEqEnable(int band);
    // The item selected in "comb_eq_type", for the band selected on the chart.
    void SetEqType();
    void SetOutputBypass();
    void SetOutputEqReset();
    // "btn_arg_eq": PEQ (frequency, Q and gain) or GEQ (gain only) editing.
    void TogglePeqMode();
    bool IsPeqMode() const;
    // A chart notification: kind 0 band, 1 high-pass, 2 low-pass; released
    // when the drag ended.
    void EqualizerCallback(int index, int kind, bool released);

    // ---- the EQ chart ----
    // Recomputes the curves of the current channel, its link partner and its
    // link group (same stage) and feeds the chart; band is the one selected
    // there, -1 for none.
    void UpdateEqualizer(int band);
    // Recomputes one output's curve and feeds the chart.
    void UpdateCurveOf(int channel);

    // ---- sources ----
    void FillSourceList();
    // The item selected in "btn_input_source".
    void SetInputSource();
    void SetInputSourceTo(int source);
    // GET_MAIN_VOLUME_TIMER: asks the device for its volume, at most ten times.
    void OnMainVolumeTimer();
    // Marks the current source in the source menu and hides what this model
    // does not offer; findItem gives a menu item by name (nullptr if none).
    void PrepareSourceMenu(
        const std::function<toolkit::ControlHandle*(const std::string&)>& findItem);
    // "option_ch_in%d_%d" of (input, output) changed; inputs count from 1.
    void SetInputIn(int input, int output);

    // ---- main volume, main mute, ACC delay ----
    // "slider_main_volume" moved: sent at most every 200 ms while it moves.
    void SetMainVolumeSlider();
    // CACHE_MAIN_VOLUME_TIMER: sends the volume the rate limit held back.
    void OnMainVolumeTimerTick();
    // "edit_main_volume" committed; keepFocus after Enter.
    void SetMainVolumeEdit(bool keepFocus = true);
    void SetMainVolumeUp(bool up);
    // "main_mute" changed.
    void SetMainMute();
    void SetAccSlider();
    void SetAccEdit(bool keepFocus = true);
    void SetAccUp(bool up);
    // The ACC slider's range (the value goes to the device as it is).
    static constexpr int kAccSliderMin = 0;
    static constexpr int kAccSliderMax = 10;

    // ---- amplifier switches: clicks and views ----
    void ToggleAmp();
    void ToggleRemOut1();
    void ToggleRemOut2();
    void ToggleSpkOhm();
    void ToggleSpkOhm13();
    void ToggleSpkOhm21();
    void ToggleNoiseGate();
    // The noise gate on or off, as the noise gate window sets it: stored,
    // shown on the main page and sent.
    void SetNoiseGate(bool on);
    void SetAmpOnOffButton(bool on);
    void SetRemOut1OnOffButton(bool on);
    void SetRemOut2OnOffButton(bool on);
    void SetSpkOhmButton(bool on);
    void SetSpkOhmButton13(bool on);
    void SetSpkOhmButton21(bool on);
    void SetNoiseGateButton(bool on);

    // ---- profile files, auto save and the jobs that move a tune ----
    // The scene menu's file items: a scene profile (.spf) or a whole
    // configuration (.wpf) from or to a file the user picks. Loads send what
    // was read to the device behind the loading window.
    void LoadSenceConfigFromFile();
    void SaveSenceConfigToFile();
    void LoadWholeConfigFromFile();
    void SaveWholeConfigToFile();
    // ---- filter files ----
    // The scene menu's filter items: the current output's bands written to
    // a filter text file the user picks, or a filter file read, shown in the
    // import summary window and, when the user chooses so, applied to the
    // output's bands (the rest of them flat) as band edits are. A file that
    // cannot be used gives its message and changes nothing.
    void ExportFilters();
    void ImportFilters();

    // "enableAutoSave" changed: auto save starts (saving at once) or stops.
    void SetAutoSave(bool on);
    bool IsAutoSaveEnabled() const { return mAutoSaveEnabled; }
    // The slot buttons: only a slot that holds a save can be clicked.
    void ShowAutoSaveSlots();
    // Saves the working profile as "<folder>/HHMM.spf" and labels the next
    // "autoSave%d" button with the time; does nothing while auto save is off.
    void AutoSaveScene();
    // STATUS_ATUO_SAVE_TIMER ticked.
    void OnAutoSaveTimer();
    // An "autoSave%d" button clicked with its label ("09:05"); "--:--" is a
    // slot never used.
    void LoadAutoSavedScene(const std::string& label);
    // A job's marker reached the UI thread (WM_JOB_MARKER).
    void OnJobMarker(uintptr_t marker);
    const std::string& WholeConfigPath() const { return mWholeConfigPath; }

    // The local time of day auto save names its files by; the system's
    // unless a test sets its own.
    struct LocalTime {
        int hour = 0;
        int minute = 0;
    };
    void SetLocalClock(std::function<LocalTime()> now) { mLocalTime = std::move(now); }
    // The folder of the automatic saves, "./autoSave/" unless a test moves it.
    void SetAutoSaveFolder(std::string folder) { mAutoSaveFolder = std::move(folder); }
    // The waits the device needs during the jobs; tests shorten them.
    struct JobWaits {
        int sceneReadBackMs = jobs::kSceneReadBackSettleMs;
        int afterWholeWriteMs = jobs::kWholeWriteSettleMs;
        // The device stores ten scenes after a whole configuration arrives;
        // the loading window stays up meanwhile.
        int afterWholeLoadMs = 20000;
    };
    void SetJobWaits(const JobWaits& waits) { mJobWaits = waits; }

    // The millisecond clock of the rate limits; the steady clock unless a
    // test sets its own.
    void SetClock(std::function<int64_t()> nowMs) { mNowMs = std::move(nowMs); }

    // ---- firmware update ----
    // WM_FORCE_UPDATE: asks whether to update the older device with the
    // images the program carries, writes them to the temporary folder and
    // runs the forced-update window; reads the device again afterwards.
    void StartForceUpdate();
    // "option_item_firmware_upgrade": the manual update window, during which
    // the device's reboots are no unplugged cable.
    void OpenFirmwareUpdate();
    // WM_DEVICE_STATUS_UNNORMAL: the device runs its upgrade program.
    void OnDeviceStatusUnnormal();
    // What an update window's transfer uses for the connected device.
    UpgradeSetup UpgradeSetupForDevice() const;
    // The waits of a transfer; tests shorten the reboot wait.
    void SetUpgradeTimings(const firmware::UpgradeTimings& timings) { mUpgradeTimings = timings; }
    bool IsForceUpdatePending() const { return mForceUpdatePending; }
    // The files the built-in images are written to before a forced update.
    static std::filesystem::path ForceUpdateMcuFile();
    static std::filesystem::path ForceUpdateFlashFile();

    // ---- undo and redo ----
    // The history of the user's tuning steps; the window's notifications
    // reach it (toolkit::SetUserActionObserver).
    EditHistory& History() { return *mHistory; }
    bool CanUndo() const;
    bool CanRedo() const;
    // The tuning before the last step (after the step last undone) becomes
    // the working profile; only the difference is sent.
    void Undo();
    void Redo();

    // ---- offline tuning ----
    // The working profile holds a tune made with no amplifier connected that
    // no amplifier has been offered yet.
    bool HasOfflineTune() const { return mOfflineTune || mOfflineProfile != nullptr; }
    // Where a tune made offline is kept when the user keeps the amplifier's.
    std::string OfflineTuneFile() const;

    // ---- state the main window reads ----
    bool IsSynchronised() const { return mLook == ConnectLook::kConnected; }
    ConnectLook Look() const { return mLook; }
    int CurrentChannel() const { return mProfile.currOutChannel; }

private:
    using Ctl = toolkit::ControlHandle;

    // jobs
    void StartJob(void (EqualizerManager::*job)());
    void StartJob(std::function<void()> job);
    void SaveSenceThread(int scene, std::array<uint8_t, 16> name, platform::WindowHandle sceneWnd);
    void LoadSenceThread(int scene, platform::WindowHandle sceneWnd);
    void DeleteSenceThread(int scene, platform::WindowHandle sceneWnd);
    void OnSceneLoaded();
    void JoinJobs();
    void ReadMcuValueThread();
    void SetCurProfileThread();
    void BridgeWaitThread();
    void ResetOutputWaitThread();
    void FactoryDefaultThread();
    void SetCurSceneThread();
    void SetWholeProfileThread();
    void SaveWholeSceneThread();
    // Sends the difference from *mJobFrom to mJobProfile.
    void SendDifferenceThread();
    class PostingReport;
    friend class PostingReport;
    // Marks a posted marker's number and waits until the UI thread handled
    // it; false on time-out or shutdown.
    bool WaitMarkerHandled(int timeoutMs);
    // What a job needs of the working state, copied on the UI thread before
    // it starts (the job never reads the controller's profiles).
    void TakeJobInput(bool withScenes);
    void WriteWholeConfigFile();
    bool ReadSceneFileInto(const std::string& path, bool showMessages);
    void OnProfileFileRead();
    model::ProfileFile ProfileFiles();
    std::string ChooseProfileFile(bool whole, bool save);
    std::string ChooseFilterFile(bool save);
    // The fitted bands on the output's first bands, the others flat.
    void ApplyImportedBands(int channel, const std::vector<model::EqBand>& fitted);
    void Post(uint32_t message, uintptr_t wParam = 0);
    void PostStep(SyncStep step);
    void CheckFirmware();
    bool IsVirtualAmplifier() const;
    void ReadDeviceAgain();

    // undo and offline tuning
    void ApplyHistoryProfile(const model::Profile& restored, const char* what);
    void ShowUndoButtons();
    void NoteOfflineChange();
    void KeepOfflineTune();
    void OfferOfflineTune();
    void KeepOfflineTuneInFile(const model::Profile& offline);
    // The working profile was replaced by the amplifier's or a file's.
    void ForgetHistory();

    // devices
    void SelectEntry(size_t index);
    void ClearSelection();
    void SetConnectLook(ConnectLook look);
    void LogCachedProfiles();

    // device reports
    void OnSourceReport(int value);
    void OnMainVolumeReport(int deviceVolume);
    void OnFilterReport(const device::FilterRecord& record);
    void OnEqBandReport(const device::EqBandRecord& record);
    void OnTrimReport(int channel, float trimDb);
    void OnTypeReport(int channel, int type);
    void OnLinkReport(const device::LinkRecord& record);
    void OnCompressorReport(const device::CompressorRecord& record, bool secondType);
    void OnMixMaskReport(const device::MixMaskRecord& record);
    void OnInputMixTrimReport(const device::InputMixTrimRecord& record);
    void OnCrossMixReport(const device::CrossMixRecord& record, bool cs47048);
    void OnInputClipReport(const device::InputDistortRecord& record);
    void OnOutputClipReport(const device::OutputDistortRecord& record);
    void OnBridgeReport(const device::BridgeRecord& record);
    model::Profile* ProfileOfScene(int scene);
    // The working profile and the stored scenes' as the shared reply
    // handlers take them.
    jobs::ReplyTargets ReportTargets();
    bool IsOutput(int channel) const;

    // views of one output channel
    void ShowTrim(int channel, int tenths);
    void ShowMute(int channel);
    void ShowPhase(int channel);
    void ShowSolo(int channel);
    void ShowDelay(int channel);
    void ShowOutputType(int channel);
    void ShowSpeakerPositions();
    void ShowCrossover(int channel);
    void ShowSlopeItems(bool highPass, int type);
    void ShowEqBands(int channel);
    void ShowBypassButton(bool bypassed);
    void ShowPeqMode();
    void ShowRouting(int channel);
    void ShowBridge(int pair);
    void ShowSwitches();
    void ShowSwitch(const SwitchLook& look, bool on);
    bool ToggledState(const SwitchLook& look, int32_t shown);
    void SendRemOuts();
    void SendSpkOhm13_21();
    void ShowMainVolume();
    void ShowAcc();
    void ShowSource();
    void SelectSourceItem();
    bool SourceOffered(int source) const;
    void ApplyUsbOption(bool udpOrScp);
    bool IsOffText(const std::string& text) const;
    int DelayUnit();
    std::string DelayText(float ms);

    // sending
    void SendTrim(int channel);
    void SendMute(int channel);
    void SendPhase(int channel);
    void SendSolos();
    void SendDelay(int channel);
    void SendType(int channel);
    void SendFilters(int channel);
    void SendBridges();
    void SendEqBands(int channel);
    void SendEqBand(int channel, int band);
    void SendFilter(int channel, bool highPass);
    void SendBypass(int channel);
    void SendMixer(int channel);
    device::ChannelRange RangeOf(int channel) const;

    // trim and delay helpers
    void ApplyTrim(int channel, int tenths, bool send, bool unmute);
    void ApplyDelay(int channel, float ms, bool fromEdit);
    void PropagateTrim(int channel, float oldGain);
    void PropagateDelay(int channel, float oldDelay);
    int LinkPartner(int channel) const;
    void ApplyMute(int channel, bool on);
    std::vector<int> GroupFollowers(int channel, bool links) const;
    void ApplyPhase(int channel, bool on);
    void ApplyMainVolume(int slider, bool send, bool keepFocus);
    void ApplyMainMute(bool on);
    void ApplyAcc(int value, bool keepFocus);
    void SetBridgePair(int pair, bool on, bool fromUser);

    // crossover and EQ helpers
    void ApplyCrossoverFreq(bool highPass, int hz);
    void PassCrossover(bool highPass);
    void StoreCrossover(int channel, bool highPass, int hz, int type, int slope);
    // The other members of the channel's link group; sameStage keeps only
    // those of its link stage (EQ passes only inside one stage).
    std::vector<int> LinkGroupMembers(int channel, bool sameStage) const;
    // The channel, its link group (same stage) and its partner: the outputs
    // an EQ change reaches.
    std::vector<int> EqFollowers(int channel) const;
    void ApplyBand(int channel, int band, const model::EqBand& value, bool sendNow);
    void UnbypassByZeroing(int channel, int keepBand);
    void UpdateAutoBypass(int channel, int band);
    void SetBypassOf(int channel, bool bypassed);
    bool DragMaySend(bool released);
    void ComputeCurve(int channel);
    void FeedChart(int band);
    bool AskToConfirm(const std::string& text);
    void BridgePairOn(int pair);

    // link helpers
    void EndLinkMode();
    void EnableOutputTypeButtons(bool enabled);
    void EnableLinkGroupControls(bool enabled);
    void ApplyLinkGroup(int channel, int group);
    void ShowLinkButtonEnabled();
    void ShowLinks();
    void ResetOutputs(bool toDefault);
    void ApplyDelayLinkGroup(int channel, int group);
    void ShowDelayLinkGroup(int channel);
    void BridgePairOff(int pair);

    platform::WindowHandle mHwnd = platform::kNoWindow;
    toolkit::ControlAccess* mPage = nullptr;
    UiServices* mUi = nullptr;
    ControlLookup mControls;

    int mSceneId = 0;
    std::array<uint8_t, 16> mSceneNameToSave{};
    model::Profile mProfile;
    std::vector<model::Profile> mSceneProfiles;  // index k = scene k (0 unused)
    std::array<std::u16string, 10> mSceneNames;
    uint32_t mSceneValidMask = 0;

    bool mForceUpdatePending = false;
    bool mPlugOutMsgSuppressed = false;
    firmware::UpgradeTimings mUpgradeTimings;
    // Set from the close of the forced-update window until the next connection.
    bool mForceUpdateWindowClosed = false;
    // Set when the device acknowledged a factory default: it is restarting,
    // so its departure from the bus is no unplugged cable. Cleared when it is
    // connected again.
    std::atomic<bool> mRebootExpected{false};
    bool mLinkPhase = false;
    bool mLinkMute = false;
    bool mUsbUdpOrScp = false;
    model::CsAutoSettings mCsAutoSettings;
    ConnectLook mLook = ConnectLook::kDisconnected;

    std::shared_ptr<device::HidBackend> mBackend;
    std::unique_ptr<device::DeviceLink> mDeviceLink;

    std::string mEditingName;
    std::string mSelectedPath;
    std::string mSelectedName;
    std::string mSelectedNickName;
    std::string mUnpluggedName;
    std::vector<std::string> mDevicePaths;
    std::vector<std::string> mDeviceNames;
    std::vector<std::string> mDeviceNickNames;
    std::map<std::string, model::Profile> mDeviceProfiles;

    std::unique_ptr<EditHistory> mHistory;
    // Set by a step made while no amplifier is connected; the tune is kept in
    // mOfflineProfile when one is connected, until the user chose.
    bool mOfflineTune = false;
    std::unique_ptr<model::Profile> mOfflineProfile;

    std::string mWholeConfigPath;
    bool mAutoSaveEnabled = false;
    int mAutoSaveIndex = 0;
    std::string mAutoSaveFolder = "./autoSave/";
    std::function<LocalTime()> mLocalTime;
    JobWaits mJobWaits;

    // The input of the running job, written on the UI thread before it starts.
    model::Profile mJobProfile;
    float mJobMainVolume = 0;
    std::unique_ptr<model::Profile> mJobFrom;  // what the amplifier holds
    std::vector<model::Profile> mJobScenes;
    std::vector<model::SceneName> mJobNames;
    jobs::BandCounts mJobBands{};

    // Job markers: posted by a job, handled on the UI thread.
    std::mutex mMarkerLock;
    std::condition_variable mMarkerHandled;
    uint64_t mMarkersPosted = 0;   // guarded by mMarkerLock
    uint64_t mMarkersHandled = 0;  // guarded by mMarkerLock

    std::function<int64_t()> mNowMs = device::TickMs;
    // The trim rate limit: the time of the last trim sent, and a trim held
    // back for CACHE_CH_VOLUME_TIMER.
    int64_t mLastTrimSentMs = -1000000;
    // The drag rate limit of the chart: the time of the last filter or band
    // command sent while dragging.
    int64_t mLastDragSentMs = -1000000;
    bool mTrimPending = false;
    int mTrimPendingChannel = -1;
    int mLastSoloChannel = -1;
    int mChannelPage = 0;
    int mMainVolumePolls = 0;
    // The main volume's rate limit: the time of the last volume sent, and
    // whether one is held back for CACHE_MAIN_VOLUME_TIMER.
    int64_t mLastMainVolumeSentMs = -1000000;
    bool mMainVolumePending = false;

    // Worker jobs; joined when finished and at destruction, so none outlives
    // the controller.
    std::mutex mJobsLock;
    std::vector<std::thread> mJobs;  // guarded by mJobsLock
    std::atomic<bool> mShuttingDown{false};
};

}  // namespace controller
