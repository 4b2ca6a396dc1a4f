// The running program's main window against a virtual amplifier that plays
// the demo tune, for tests that act on the real widgets.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controller/controller_messages.h"
#include "platform/single_instance.h"
#include "testkit/build_paths.h"
#include "testkit/displays.h"
#include "testkit/wait.h"
#include "toolkit/text_resources.h"
#include "toolkit/window_registry.h"
#include "ui/main/device_notice.h"
#include "ui/main/main_wnd.h"
#include "ui/main/program.h"
#include "ui/main/virtual_plugging.h"
#include "ui/skin/display_scale.h"
#include "ui/skin/languages.h"
#include "ui/tests/text_fit.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace ui::testing {

using testkit::kEveryLanguage;
using testkit::kEveryScale;

// Spins the event loop until the condition holds; the limit only ends a wait
// that a fault keeps from ever ending.
inline bool WaitFor(const std::function<bool()>& done, int limitMs = 30000) {
    return testkit::WaitUntil(done, std::chrono::milliseconds(limitMs),
                              [] { QApplication::processEvents(QEventLoop::AllEvents, 10); });
}

// Handles every event posted so far and waits for the link to send what the
// handlers queued, until neither is left.
inline bool DrainEvents(const device::DeviceLink& link) {
    for (;;) {
        if (!testkit::WaitQueueDrained(link)) {
            return false;
        }
        // Events are delivered in the order they were posted: once this one
        // arrives, so has every reply the link posted before it.
        bool reached = false;
        QMetaObject::invokeMethod(
            qApp, [&reached] { reached = true; }, Qt::QueuedConnection);
        while (!reached) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        if (link.IsCmdQueueIdle()) {
            return true;
        }
    }
}

inline void SaveScreenshot(toolkit::Window& window, const std::string& name) {
    QApplication::processEvents();
    window.Widget()->grab().save(QString::fromStdString(testkit::ScreenshotPath(name + ".png")));
}

// Answers the modal boxes that open over the main window, one answer per box
// in the order they appear, and remembers each box's text. An answer clicks
// the named buttons in turn, or, with none named, closes the box with its
// code. The loading window is left alone: its job closes it.
class BoxAnswerer {
public:
    struct Answer {
        int code = 1;
        std::vector<std::string> buttons;
        // When set, the box stays open until this holds (a box that runs
        // modally keeps a test's own waiting loop from running).
        std::function<bool()> when;
    };
    explicit BoxAnswerer(const toolkit::Window* mainWindow) : mMain(mainWindow) {
        QObject::connect(&mTimer, &QTimer::timeout, [this] { AnswerOpenBox(); });
        mTimer.start(20);
    }
    void Expect(int code, std::vector<std::string> buttons = {}, std::function<bool()> when = {}) {
        mAnswers.push_back({code, std::move(buttons), std::move(when)});
    }
    // The "MessageText" of every box that showed so far, as the user read it.
    const std::vector<std::string>& Texts() const { return mTexts; }
    bool Answered(size_t count) const { return mAnswered >= count; }
    // Whether a loading window was seen running (its modal loop hides it from
    // a test waiting outside).
    bool SawLoading() const { return mLoadingSeen; }
    bool Saw(const std::string& text) const {
        for (const std::string& seen : mTexts) {
            if (seen.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

private:
    void AnswerOpenBox() {
        NoteOpenBoxes();
        if (mAnswers.empty() || mOpen.empty()) {
            return;
        }
        if (mAnswers.front().when && !mAnswers.front().when()) {
            return;
        }
        toolkit::Window* window = mOpen.back();  // the topmost box is the one to answer
        Answer answer = std::move(mAnswers.front());
        mAnswers.pop_front();
        ++mAnswered;
        if (answer.buttons.empty()) {
            window->Close(answer.code);
            return;
        }
        for (const std::string& name : answer.buttons) {
            toolkit::Control* control = window->Find(name);
            auto* button =
                control != nullptr ? qobject_cast<QAbstractButton*>(control->Widget()) : nullptr;
            EXPECT_NE(button, nullptr) << "no button " << name << " in the box";
            if (button != nullptr) {
                button->click();
            }
        }
    }
    // Every box is noted when it first shows, answered or not, so a box that
    // something else closes is seen too.
    void NoteOpenBoxes() {
        std::vector<toolkit::Window*> open;
        for (toolkit::Window* window : toolkit::window_registry::All()) {
            if (window == mMain || !window->IsRunningModal()) {
                continue;
            }
            if (window->ClassName() == "LoadingWnd") {
                mLoadingSeen = true;
                continue;
            }
            open.push_back(window);
        }
        std::vector<toolkit::Window*> stillOpen;
        for (toolkit::Window* window : mOpen) {
            if (std::find(open.begin(), open.end(), window) != open.end()) {
                stillOpen.push_back(window);
            }
        }
        for (toolkit::Window* window : open) {
            if (std::find(stillOpen.begin(), stillOpen.end(), window) == stillOpen.end()) {
                const toolkit::Control* text = window->Find("MessageText");
                mTexts.push_back(
                    toolkit::Translate(text != nullptr ? text->Text() : window->Title()));
                stillOpen.push_back(window);
            }
        }
        mOpen = std::move(stillOpen);
    }

    const toolkit::Window* mMain;
    QTimer mTimer;
    std::deque<Answer> mAnswers;
    std::vector<std::string> mTexts;
    std::vector<toolkit::Window*> mOpen;  // the boxes open now, in the order they showed
    size_t mAnswered = 0;
    bool mLoadingSeen = false;
};

// Fails for every text of the window that does not fit and every two
// controls that overlap; `what` names the language and scale in the message.
inline void ExpectEverythingFits(toolkit::Window& window, const std::string& what) {
    for (const auto& problem : OverflowingTexts(window)) {
        ADD_FAILURE() << what << ": text does not fit: " << problem;
    }
    for (const auto& problem : OverlappingControls(window)) {
        ADD_FAILURE() << what << ": controls overlap: " << problem;
    }
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        mPath = mBackend->Add(mDemo.amplifier);
        MakeWindow();
    }
    void TearDown() override { CloseWindow(); }

    void MakeWindow() {
        mWindow = std::make_unique<CMainWnd>(mBackend);
        AnnounceVirtualPlugging(*mDemo.amplifier, mPath, mWindow->Handle());
    }
    void CloseWindow() {
        mDemo.amplifier->SetPlugListener(nullptr);
        mWindow->CloseProgram();
        mWindow.reset();
        QApplication::processEvents();
    }

    // A new main window at another display scale, connected and synchronised.
    bool RestartAt(int scalePercent) {
        CloseWindow();
        SetDisplayScale(scalePercent);
        MakeWindow();
        const bool started = StartAndSync();
        SetDisplayScale(100);  // the next window of the test program starts at 100 %
        return started;
    }

    bool StartAndSync() {
        if (!mWindow->Start()) {
            return false;
        }
        return WaitFor(
            [&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); });
    }
    bool WaitQueueIdle() { return DrainEvents(mWindow->Manager().Link()); }
    // Handles what the program posted and waits until it sent what it
    // queued: what a test looks at next follows from everything done before.
    void Idle() { ASSERT_TRUE(WaitQueueIdle()) << "the link's queue never drained"; }
    // The DSP set frames of one sub-command the amplifier received.
    size_t SetsOf(uint8_t sub) {
        size_t count = 0;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            count += report.size() > 6 && report[4] == device::CMD_DSP && report[5] == sub &&
                     report[6] == device::OP_SET;
        }
        return count;
    }
    // Keys pressed where the focus is, as on the keyboard; then waits until
    // what they queued was sent.
    void Keys(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus != nullptr ? focus : mWindow->Widget(), key, modifiers);
        QApplication::processEvents();
        ASSERT_TRUE(WaitQueueIdle());
    }
    toolkit::Control& Control(const std::string& name) {
        toolkit::Control* control = mWindow->Find(name);
        EXPECT_NE(control, nullptr) << name;
        static toolkit::Control* none = nullptr;
        return control != nullptr ? *control : *none;
    }
    virtual_device::AmplifierState Amp() { return mDemo.protocol->State(0); }

    std::shared_ptr<virtual_device::VirtualHidBackend> mBackend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    virtual_device::DemoAmplifier mDemo = virtual_device::MakeDemoAmplifier(L"AMP-UI");
    std::unique_ptr<CMainWnd> mWindow;
    std::string mPath;
};

}  // namespace ui::testing
