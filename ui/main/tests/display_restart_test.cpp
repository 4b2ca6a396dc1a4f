// The restart after a display change: a scale the windows do not run at
// starts a new copy of the program and then closes this one; a copy that
// cannot start leaves this one open and tells the user.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QElapsedTimer>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/log.h"
#include "main_window_fixture.h"
#include "toolkit/text_resources.h"
#include "ui/main/display_restart.h"
#include "ui/main/display_watch.h"

namespace ui {
namespace {

using testing::BoxAnswerer;
using testing::WaitFor;

// What the program logs while a test runs: the test program's own log when
// it keeps one, otherwise a log file of the test's.
class LogWatch {
public:
    LogWatch() {
        if (app::IsLogOpen()) {
            mPath = "save.log";
            app::FlushLog();
            mStart = Read().size();
        } else {
            mPath = (std::filesystem::temp_directory_path() /
                     ("tq_display_restart_" + std::to_string(::getpid()) + ".log"))
                        .string();
            mOwn = app::OpenLog(mPath);
        }
    }
    ~LogWatch() {
        if (mOwn) {
            app::CloseLog();
            std::error_code ignored;
            std::filesystem::remove(mPath, ignored);
        }
    }
    LogWatch(const LogWatch&) = delete;
    LogWatch& operator=(const LogWatch&) = delete;

    bool Has(const std::string& line) {
        app::FlushLog();
        const std::string text = Read();
        return text.size() > mStart && text.find(line, mStart) != std::string::npos;
    }

private:
    std::string Read() const {
        std::ifstream in(mPath, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string mPath;
    size_t mStart = 0;
    bool mOwn = false;
};

class DisplayRestartTest : public testing::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        mWindow->SetOnClosed([this] { mEvents.push_back("closed"); });
        ASSERT_TRUE(StartAndSync());
    }
    // A starter that only notes that it ran and whether the window was
    // still open then.
    DisplayRestart::Starter Recording(bool succeeds) {
        return [this, succeeds](std::string* error) {
            mEvents.push_back(mWindow->Widget()->isVisible() ? "start, window open"
                                                             : "start, window gone");
            if (!succeeds) {
                *error = "no such file";
            }
            return succeeds;
        };
    }
    std::vector<std::string> mEvents;
};

TEST_F(DisplayRestartTest, TheSameScaleKeepsTheProgramRunning) {
    LogWatch log;
    mWindow->SetRestartStarter(Recording(true));
    mWindow->OnDisplayChanged(DisplayScale());
    EXPECT_TRUE(mEvents.empty());
    EXPECT_TRUE(mWindow->Widget()->isVisible());
    EXPECT_TRUE(mWindow->Manager().Link().IsConnected());
    EXPECT_TRUE(log.Has("display changed, scale stays 100\n"));
}

TEST_F(DisplayRestartTest, AnotherScaleStartsTheNewCopyFirstAndThenCloses) {
    LogWatch log;
    mWindow->SetRestartStarter(Recording(true));
    mWindow->OnDisplayChanged(125);
    EXPECT_EQ(mEvents, (std::vector<std::string>{"start, window open", "closed"}));
    EXPECT_FALSE(mWindow->Widget()->isVisible());
    EXPECT_FALSE(mWindow->Manager().Link().IsConnected());
    EXPECT_TRUE(log.Has("display changed, scale 100 -> 125\n"));
    // Signals still arriving while the program closes start no second copy.
    mWindow->OnDisplayChanged(150);
    EXPECT_EQ(mEvents.size(), 2u);
}

TEST_F(DisplayRestartTest, ANewCopyThatCannotStartLeavesThisOneOpenAndSaysSo) {
    LogWatch log;
    BoxAnswerer boxes(mWindow.get());
    boxes.Expect(1);
    mWindow->SetRestartStarter(Recording(false));
    mWindow->OnDisplayChanged(150);
    ASSERT_TRUE(boxes.Answered(1));
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], toolkit::Translate("${restart_failed}"));
    EXPECT_EQ(mEvents, (std::vector<std::string>{"start, window open"}));
    EXPECT_TRUE(log.Has("display changed, scale 100 -> 150\n"));
    EXPECT_TRUE(log.Has("restart after display change failed: no such file\n"));
    EXPECT_TRUE(mWindow->Widget()->isVisible());
    EXPECT_TRUE(mWindow->Manager().Link().IsConnected());
    EXPECT_TRUE(mWindow->Manager().IsSynchronised());

    // The next change tries again, and a start that works closes the window.
    mWindow->SetRestartStarter(Recording(true));
    mWindow->OnDisplayChanged(150);
    EXPECT_EQ(mEvents,
              (std::vector<std::string>{"start, window open", "start, window open", "closed"}));
}

TEST_F(DisplayRestartTest, TheFailureMessageFitsInEveryLanguageAndScale) {
    mWindow->SetRestartStarter(Recording(false));
    for (int scale : {100, 125, 150}) {
        for (const auto& [language, stored] : testing::kEveryLanguage) {
            SwitchLanguage(language, stored);
            const std::string what = language.substr(0, 2) + "_" + std::to_string(scale);
            bool seen = false;
            QTimer looker;
            QObject::connect(&looker, &QTimer::timeout, [&] {
                for (toolkit::Window* window : toolkit::window_registry::All()) {
                    if (window != mWindow.get() && window->IsRunningModal() &&
                        window->Find("MessageText") != nullptr) {
                        EXPECT_EQ(window->Scale(), scale) << what;
                        testing::ExpectEverythingFits(*window, "restart failure box " + what);
                        testing::SaveScreenshot(*window, "restart_failed_" + what);
                        seen = true;
                        window->Close(1);
                    }
                }
            });
            looker.start(50);
            SetDisplayScale(scale);
            mWindow->OnDisplayChanged(scale == 150 ? 100 : 150);
            SetDisplayScale(100);
            EXPECT_TRUE(seen) << what;
        }
    }
    SwitchLanguage("en", "0");
    EXPECT_EQ(mEvents.size(), 12u);
    EXPECT_TRUE(mWindow->Widget()->isVisible());
}

TEST(ProgramStarter, AProgramThatIsNotThereIsAFailureWithItsReason) {
    std::string error;
    EXPECT_FALSE(StartDetached("/nonexistent/tq-dsp-audio", {"--restarted"}, &error));
    EXPECT_NE(error.find("/nonexistent/tq-dsp-audio"), std::string::npos) << error;
    EXPECT_GT(error.size(), std::string("/nonexistent/tq-dsp-audio: ").size()) << error;
    // A program that is there starts.
    error.clear();
    EXPECT_TRUE(StartDetached("/bin/true", {}, &error)) << error;
}

TEST(ProgramStarter, TheNewCopyGetsTheOptionsOfThisOneAndRestartedOnce) {
    EXPECT_EQ(RestartArguments({}), (std::vector<std::string>{"--restarted"}));
    EXPECT_EQ(
        RestartArguments({"--virtual-device", "--virtual-firmware=1.20"}),
        (std::vector<std::string>{"--virtual-device", "--virtual-firmware=1.20", "--restarted"}));
    EXPECT_EQ(RestartArguments({"--restarted", "--virtual-device"}),
              (std::vector<std::string>{"--restarted", "--virtual-device"}));
}

// While the program is busy the restart waits, and it comes once the
// program is free; a change back to the windows' own scale meanwhile drops it.
TEST(DisplayRestartWaitTest, ABusyProgramRestartsWhenFreeUnlessTheScaleCameBack) {
    constexpr int kPatienceMs = 4 * DisplayRestart::kBusyRecheckMs;
    std::vector<std::string> events;
    bool busy = true;
    const DisplayRestart::Starter start = [&](std::string*) {
        events.emplace_back("start");
        return true;
    };
    DisplayRestart restart(
        start, [&] { events.emplace_back("closed"); }, [] {});
    restart.SetBusyCheck([&] { return busy; });

    EXPECT_FALSE(restart.OnDisplayChanged(150));
    EXPECT_TRUE(restart.IsWaiting());
    restart.OnDisplayChanged(DisplayScale());  // the other monitor is gone again
    EXPECT_FALSE(restart.IsWaiting());
    busy = false;
    WaitFor([] { return false; }, kPatienceMs);
    EXPECT_TRUE(events.empty());

    busy = true;
    EXPECT_FALSE(restart.OnDisplayChanged(125));
    WaitFor([] { return false; }, kPatienceMs);
    EXPECT_TRUE(events.empty()) << "still busy";
    busy = false;
    ASSERT_TRUE(WaitFor([&] { return events.size() == 2; }, kPatienceMs));
    EXPECT_EQ(events, (std::vector<std::string>{"start", "closed"}));
    EXPECT_TRUE(restart.IsRestarting());
}

TEST(DisplayWatchTest, ABurstOfChangesGivesOneDecisionAfterTheQuiet) {
    constexpr int kQuiet = 100;
    int decisions = 0;
    QElapsedTimer clock;
    qint64 lastNudge = 0;
    qint64 decidedAt = 0;
    DisplayWatch watch(std::chrono::milliseconds(kQuiet), [&] {
        ++decisions;
        decidedAt = clock.elapsed();
    });
    clock.start();
    for (int i = 0; i < 5; ++i) {
        watch.Nudge();
        lastNudge = clock.elapsed();
        WaitFor([] { return false; }, 2 * kQuiet / 5);
    }
    ASSERT_TRUE(WaitFor([&] { return decisions > 0; }, 5000));
    EXPECT_GE(decidedAt - lastNudge, kQuiet * 9 / 10);
    WaitFor([] { return false; }, 3 * kQuiet);
    EXPECT_EQ(decisions, 1);
    // A later change is a decision of its own.
    watch.Nudge();
    EXPECT_TRUE(WaitFor([&] { return decisions == 2; }, 5000));
}

}  // namespace
}  // namespace ui
