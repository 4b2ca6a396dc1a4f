// A main page without a screen: every control name exists and remembers what
// the controller set, and posted messages queue up until the test pumps them
// through the same handling the main window uses.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "controller/equalizer_manager.h"
#include "controller/posted_messages.h"
#include "controller/ui_services.h"
#include "fake_chart.h"
#include "platform/message_post.h"
#include "testkit/wait.h"
#include "toolkit/control_access.h"

namespace test_support {

class FakeControl final : public toolkit::ControlHandle {
public:
    explicit FakeControl(std::string name) : mName(std::move(name)) {}

    const std::string& Name() const override { return mName; }
    toolkit::ControlKind Kind() const override { return toolkit::ControlKind::Custom; }
    std::string Text() const override { return mText; }
    void SetText(const std::string& text) override { mText = text; }
    std::string UserData() const override { return mUserData; }
    int UserDataInt() const override { return -1; }
    void SetUserData(const std::string& data) override { mUserData = data; }
    void SetToolTip(const std::string&) override {}
    bool Visible() const override { return mVisible; }
    void SetVisible(bool visible) override { mVisible = visible; }
    bool Enabled() const override { return mEnabled; }
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    bool Selected() const override { return mSelected; }
    void SetSelected(bool selected, bool) override { mSelected = selected; }
    uint32_t TextColor() const override { return mColor; }
    void SetTextColor(uint32_t argb) override { mColor = argb; }
    void SetImage(const std::string& image) override { mImage = image; }
    void SetBkColor(uint32_t argb) override { mBkColor = argb; }
    int Value() const override { return mValue; }
    void SetValue(int value) override {
        mValue = mMaximum > mMinimum ? std::clamp(value, mMinimum, mMaximum) : value;
    }
    int Minimum() const override { return mMinimum; }
    int Maximum() const override { return mMaximum; }
    void SetRange(int minimum, int maximum) override {
        mMinimum = minimum;
        mMaximum = maximum;
    }
    void ClearItems() override {
        mItems.clear();
        mSelectedIndex = -1;
    }
    void AddItem(const std::string& text, const std::string& data) override {
        mItems.push_back({text, data});
    }
    int ItemCount() const override { return static_cast<int>(mItems.size()); }
    std::string ItemText(int i) const override { return Valid(i) ? mItems[i].first : ""; }
    std::string ItemUserData(int i) const override { return Valid(i) ? mItems[i].second : ""; }
    int SelectedIndex() const override { return mSelectedIndex; }
    void SelectItem(int index, bool) override { mSelectedIndex = index; }
    void SetItemVisible(int index, bool visible) override {
        if (visible) {
            mHiddenItems.erase(index);
        } else {
            mHiddenItems.insert(index);
        }
    }
    bool ItemVisible(int index) const override {
        return Valid(index) && mHiddenItems.count(index) == 0;
    }
    void SetFocus() override { mFocused = true; }
    bool HasFocus() const override { return false; }
    void SelectAllText() override {}
    void Activate() override { mSelected = true; }

    std::string mImage;
    uint32_t mBkColor = 0;
    std::set<int> mHiddenItems;
    bool mFocused = false;

private:
    bool Valid(int i) const { return i >= 0 && i < static_cast<int>(mItems.size()); }

    std::string mName;
    std::string mText;
    std::string mUserData;
    bool mVisible = true;
    bool mEnabled = true;
    bool mSelected = false;
    uint32_t mColor = 0;
    int mValue = 0;
    int mMinimum = 0;
    int mMaximum = 0;
    std::vector<std::pair<std::string, std::string>> mItems;
    int mSelectedIndex = -1;
};

class FakePage final : public toolkit::ControlAccess {
public:
    toolkit::ControlHandle* FindControl(const std::string& name) override { return &Get(name); }
    FakeControl& Get(const std::string& name) {
        auto& slot = mControls[name];
        if (!slot) {
            slot = std::make_unique<FakeControl>(name);
        }
        return *slot;
    }
    platform::WindowHandle Handle() const override { return 1; }
    // What every control shows now: name, text, value, selection, visibility
    // and colours; equal snapshots mean an unchanged view.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> shown;
        for (const auto& [name, control] : mControls) {
            shown[name] =
                control->Text() + "|" + std::to_string(control->Value()) + "|" +
                std::to_string(control->Selected()) + "|" + std::to_string(control->Visible()) +
                "|" + std::to_string(control->Enabled()) + "|" +
                std::to_string(control->TextColor()) + "|" + std::to_string(control->mBkColor) +
                "|" + control->mImage + "|" + std::to_string(control->SelectedIndex());
        }
        return shown;
    }
    void SetTimer(int id, int periodMs) override {
        mTimers[id] = true;
        mTimerPeriods[id] = periodMs;
    }
    void KillTimer(int id) override { mTimers[id] = false; }
    void Retranslate() override {}
    bool TimerRunning(int id) const {
        auto at = mTimers.find(id);
        return at != mTimers.end() && at->second;
    }
    // The period the timer was last started with, 0 when never started.
    int TimerPeriod(int id) const {
        auto at = mTimerPeriods.find(id);
        return at != mTimerPeriods.end() ? at->second : 0;
    }

private:
    std::map<std::string, std::unique_ptr<FakeControl>> mControls;
    std::map<int, bool> mTimers;
    std::map<int, int> mTimerPeriods;
};

class FakeUi final : public controller::UiServices {
public:
    void ShowMessage(const std::string& title, const std::string& text) override {
        mMessages.push_back(title + "|" + text);
    }
    std::string Translate(const std::string& text) override {
        if (text == "${device_plugout}") {
            return "%s was unplugged";
        }
        if (text == "${dsp_fw_new_tips}") {
            return "device %d.%d newer than %d.%d";
        }
        if (text == "${update_tips}") {
            return "device %d.%d older than %d.%d, update?";
        }
        if (text == "${update_no_builtin_fw}") {
            return "device %d.%d older than %d.%d, no firmware carried";
        }
        return text;
    }
    void ShowLoading() override { ++mLoadingShown; }
    void HideLoading() override { ++mLoadingHidden; }
    void ShowProgress(int done, int total) override { mProgress.emplace_back(done, total); }
    // The file the test chose (empty: the user cancelled); every request is kept.
    std::string ChooseFile(const controller::FileDialogRequest& request) override {
        mFileRequests.push_back(request);
        return mChosenFile;
    }
    bool Confirm(const std::string& title, const std::string& text) override {
        mAsked.push_back(title + "|" + text);
        if (mAnswers.empty()) {
            return true;
        }
        const bool answer = mAnswers.front();
        mAnswers.pop_front();
        return answer;
    }
    int AskTwoChoices(const std::string& title, const std::string& text, const std::string& first,
                      const std::string& second) override {
        mAsked.push_back(title + "|" + text + "|" + first + "|" + second);
        if (mChoices.empty()) {
            return 0;
        }
        const int answer = mChoices.front();
        mChoices.pop_front();
        return answer;
    }
    int AskWithButtons(const std::string& title, const std::string& text,
                       const std::array<std::string, 3>& labels) override {
        mAsked.push_back(title + "|" + text + "|" + labels[0] + "|" + labels[1] + "|" + labels[2]);
        if (mButtons.empty()) {
            return 0;
        }
        const int answer = mButtons.front();
        mButtons.pop_front();
        return answer;
    }
    // The import summary the window would show; applied when the test says so.
    bool AskToApplyFilters(const model::FilterImportSummary& summary) override {
        mFilterSummaries.push_back(summary);
        return mApplyFilters;
    }
    void OpenPreferenceWindow() override { mMessages.push_back("preference window"); }
    void OpenMemoryWindow() override { mMessages.push_back("memory window"); }
    void OpenPowerOffDelayWindow() override { mMessages.push_back("power-off delay window"); }
    void OpenMixerWindow() override {
        ++mMixerWindowsOpened;
        if (mInMixerWindow) {
            mInMixerWindow();
        }
    }
    void CloseMixerWindow() override { ++mMixerCloses; }
    controller::EqChart* Chart() override { return &mChart; }
    int RunForceUpdateWindow(const std::string& mcuImage, const std::string& flashImage) override {
        mForceUpdateWindows.emplace_back(mcuImage, flashImage);
        if (mInForceUpdateWindow) {
            return mInForceUpdateWindow(mcuImage, flashImage);
        }
        return 0;
    }
    bool ResumeForceUpdate() override {
        ++mForceUpdateResumes;
        return !mForceUpdateWindows.empty();
    }
    int RunUpdateFwWindow() override {
        mMessages.push_back("firmware update window");
        if (mInUpdateFwWindow) {
            mInUpdateFwWindow();
        }
        return 0;
    }
    void CloseUpdateFwWindow() override { ++mUpdateFwCloses; }
    void OpenSceneWindow(controller::SceneWindowMode mode) override {
        mSceneWindows.push_back(mode);
        if (mInSceneWindow) {
            mInSceneWindow(mode);
        }
    }

    void OpenNoiseGateWindow() override { mMessages.push_back("noise gate window"); }
    void OpenNoiseThresholdWindow() override { mMessages.push_back("noise threshold window"); }

    std::vector<std::string> mMessages;
    std::vector<std::string> mAsked;  // every confirmation asked
    std::deque<bool> mAnswers;        // the user's answers, in order; yes when none left
    std::deque<int> mChoices;         // two-choice answers, in order; cancel when none left
    std::deque<int> mButtons;         // three-button answers, in order; cancel when none left
    std::vector<controller::SceneWindowMode> mSceneWindows;  // every scene window opened
    // What the user does while the scene window is open.
    std::function<void(controller::SceneWindowMode)> mInSceneWindow;
    int mMixerWindowsOpened = 0;
    int mMixerCloses = 0;  // every close from outside, open or not
    // What the user does while the mixer window is open.
    std::function<void()> mInMixerWindow;
    FakeChart mChart;
    int mLoadingShown = 0;
    int mLoadingHidden = 0;
    std::vector<std::pair<int, int>> mProgress;  // every progress shown, in order
    std::string mChosenFile;
    std::vector<model::FilterImportSummary> mFilterSummaries;
    bool mApplyFilters = false;
    // Every forced-update window opened, with its two image files, and what
    // happens while it is open (it returns the window's result).
    std::vector<std::pair<std::string, std::string>> mForceUpdateWindows;
    std::function<int(const std::string&, const std::string&)> mInForceUpdateWindow;
    int mForceUpdateResumes = 0;
    std::function<void()> mInUpdateFwWindow;
    int mUpdateFwCloses = 0;  // every close from outside, open or not
    std::vector<controller::FileDialogRequest> mFileRequests;
};

// Keeps what is posted to window 1 for the test to pump.
class QueueSink final : public platform::MessageSink {
public:
    // Keeps what is posted to this window (the main page's, 1, unless told).
    explicit QueueSink(platform::WindowHandle target = 1) : mTarget(target) {}
    bool Post(platform::PostedMessage message) override {
        if (message.target != mTarget) {
            return false;
        }
        std::lock_guard<std::mutex> hold(mLock);
        mQueue.push_back(std::move(message));
        return true;
    }
    bool Empty() {
        std::lock_guard<std::mutex> hold(mLock);
        return mQueue.empty();
    }
    bool Take(platform::PostedMessage* message) {
        std::lock_guard<std::mutex> hold(mLock);
        if (mQueue.empty()) {
            return false;
        }
        *message = std::move(mQueue.front());
        mQueue.pop_front();
        return true;
    }

private:
    platform::WindowHandle mTarget;
    std::mutex mLock;
    std::deque<platform::PostedMessage> mQueue;
};

// Handles queued messages as the main window would, until `done` holds or
// the time runs out; returns whether `done` held.
inline bool PumpUntil(QueueSink& sink, controller::EqualizerManager& manager,
                      controller::UiServices& ui, const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        platform::PostedMessage message;
        bool any = false;
        while (sink.Take(&message)) {
            controller::HandlePostedMessage(manager, ui, message);
            any = true;
        }
        if (done()) {
            return true;
        }
        if (!any) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return done();
}

// Handles posted messages and waits for the link to send what they queued,
// until no message is left and the queue is idle; false when the queue does
// not drain within the test kit's patience.
inline bool Drain(QueueSink& sink, controller::EqualizerManager& manager,
                  controller::UiServices& ui) {
    for (;;) {
        platform::PostedMessage message;
        while (sink.Take(&message)) {
            controller::HandlePostedMessage(manager, ui, message);
        }
        if (!testkit::WaitQueueDrained(manager.Link())) {
            return false;
        }
        // The replies to what went out were read before the queue went idle,
        // so the messages they posted are in the sink by now.
        if (sink.Empty()) {
            return true;
        }
    }
}

}  // namespace test_support
