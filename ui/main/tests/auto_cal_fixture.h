// The calibration window in the running program against the virtual
// amplifier, whose measurement run goes at a multiple of its real pace: the
// window opened from the main page, driven by clicks, with the frames it
// sends and the texts it shows collected on the way.
#pragma once

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "device/dsp_subcommands.h"
#include "device/packet.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "toolkit/text_resources.h"
#include "ui/dialogs/auto_cal_window.h"

namespace ui::testing {

// Whether the box on top is a message box (not the calibration window).
inline bool AMessageBoxIsUp() {
    toolkit::Window* top = TopModalWindow();
    return top != nullptr && top->ClassName() == "MsgWnd";
}

class AutoCalTest : public MainWindowTest {
protected:
    // The amplifier's run goes this many times faster than a real one.
    int mRunSpeedUp = 10;
    static constexpr int kPatienceMs = 30000;

    void SetUp() override {
        MainWindowTest::SetUp();
        mRunClock.start();
        mDemo.protocol->SetCalibrationClock(
            [this] { return static_cast<int64_t>(mRunClock.elapsed()) * mRunSpeedUp; });
        mWindow->SetAutoCalTimings({20, 20});
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        mDemo.amplifier->ClearReceived();
    }

    // Clicks the main page's calibration button (or does `open`) and runs
    // `act` in the window once it is up, from within its modal loop;
    // returns whether it ran. A window `act` leaves open is closed and
    // counts as a failure.
    bool InCalibrationWindow(const std::function<void(CAutoCalWnd&)>& act,
                             std::function<void()> open = {}) {
        bool ran = false;
        bool done = false;
        QTimer poll;
        QElapsedTimer waited;
        waited.start();
        QObject::connect(&poll, &QTimer::timeout, [&] {
            CAutoCalWnd* window = OpenAutoCalWindow();
            const bool up = window != nullptr && window->IsRunningModal();
            if (!up && waited.elapsed() < kPatienceMs) {
                return;
            }
            poll.stop();
            done = true;
            if (!up) {
                return;
            }
            ran = true;
            act(*window);
            // A closed window is hidden at once; its loop ends after this.
            if (window->Widget() != nullptr && window->Widget()->isVisible()) {
                ADD_FAILURE() << "the calibration window was left open";
                window->Close(0);
            }
        });
        poll.start(10);
        if (open) {
            open();
        } else if (QAbstractButton* button = Button(*mWindow, "btn_irc")) {
            button->click();
        }
        WaitFor([&] { return done && OpenAutoCalWindow() == nullptr; }, kPatienceMs + 5000);
        EXPECT_TRUE(ran) << "the calibration window did not open";
        return ran;
    }
    // After the window closed: whether the program read the amplifier's
    // state again (its first request, the source, went out).
    bool ReadTheAmplifierAgain() {
        return WaitFor([&] {
            return !Frames(device::DSP_SOURCE_SWITCH, device::OP_GET).empty() &&
                   mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown();
        });
    }

    static QAbstractButton* Button(toolkit::Window& window, const std::string& name) {
        toolkit::Control* control = window.Find(name);
        auto* button =
            control != nullptr ? qobject_cast<QAbstractButton*>(control->Widget()) : nullptr;
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    static void Click(toolkit::Window& window, const std::string& name) {
        if (QAbstractButton* button = Button(window, name)) {
            button->click();
        }
    }
    // Ticks or clears an option as the user's click would.
    static void SetOption(toolkit::Window& window, const std::string& name, bool on) {
        QAbstractButton* button = Button(window, name);
        if (button != nullptr && button->isChecked() != on) {
            button->click();
        }
    }
    static std::string Shown(toolkit::Window& window, const std::string& name) {
        toolkit::Control* control = window.Find(name);
        return control != nullptr ? toolkit::Translate(control->Text()) : std::string();
    }
    static std::string Text(const std::string& key) { return toolkit::Translate(key); }

    // Collects every text "tips" shows while `until` does not hold.
    std::set<std::string> TipsUntil(toolkit::Window& window, const std::function<bool()>& until,
                                    int milliseconds = kPatienceMs) {
        std::set<std::string> seen;
        WaitFor(
            [&] {
                seen.insert(Shown(window, "tips"));
                return until();
            },
            milliseconds);
        return seen;
    }
    // The run is under way: the amplifier has reported and the run has not
    // ended (it cannot end before every chosen channel was read).
    bool MidRun(const CAutoCalWnd& window) const {
        return window.Panel() != nullptr && window.Panel()->State().mStatusReports.load() >= 1 &&
               window.Panel()->State().mIrcRunning.load();
    }
    bool RunEnded(const CAutoCalWnd& window) const {
        return window.Panel() != nullptr && !window.Panel()->State().mIrcRunning.load();
    }
    // The worker ends the run before the window has taken its last message:
    // ended, and the window offers a new start.
    bool WindowShowsTheEnd(CAutoCalWnd& window) {
        return RunEnded(window) && Shown(window, "start_auto_cal") == Text("${start_irc}");
    }

    // The data of every DSP frame of this sub-command and operation the
    // amplifier received, oldest first.
    std::vector<std::vector<uint8_t>> Frames(uint8_t sub, uint8_t operation) const {
        std::vector<std::vector<uint8_t>> frames;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            if (report.size() > 7 && report[4] == device::CMD_DSP && report[5] == sub &&
                report[6] == operation) {
                const size_t length = report[3] >= 3 ? report[3] - 3u : 0u;
                frames.emplace_back(report.begin() + 7,
                                    report.begin() + 7 + std::min(length, report.size() - 7));
            }
        }
        return frames;
    }

    QElapsedTimer mRunClock;
};

}  // namespace ui::testing
