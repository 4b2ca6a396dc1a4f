// Drives the modal windows a test opens: each window runs a nested event
// loop, so a test lists what to do in which window and the script does it
// once that window is the innermost one running modally.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "main_window_fixture.h"
#include "toolkit/window.h"
#include "toolkit/window_registry.h"

namespace ui::testing {

// The innermost modal window besides the main one: the newest one running
// modally.
inline toolkit::Window* TopModalWindow() {
    toolkit::Window* top = nullptr;
    for (toolkit::Window* window : toolkit::window_registry::All()) {
        if (window->IsRunningModal() && window->Title() != "TQ DSP Audio") {
            top = window;
        }
    }
    return top;
}

class ModalScript {
public:
    struct Step {
        std::string title;  // the modal window the step waits for
        std::function<void(toolkit::Window&)> act;
    };

    ModalScript() {
        QObject::connect(&mPlayer, &QTimer::timeout, [this] { PlayNextStep(); });
        mPlayer.start(15);
    }
    ~ModalScript() { mPlayer.stop(); }

    void Play(std::vector<Step> steps) {
        mSteps.assign(steps.begin(), steps.end());
        mPlaying.start();
    }
    // Waits until every step ran and no modal window is left; a window
    // still open is closed and counts as a failure.
    bool PlayedAll(int milliseconds = kStepPatienceMs + 5000) {
        const bool done =
            WaitFor([&] { return mSteps.empty() && TopModalWindow() == nullptr; }, milliseconds);
        if (!done) {
            toolkit::Window* top = TopModalWindow();
            ADD_FAILURE() << "waiting for "
                          << (mSteps.empty() ? std::string("no more steps") : mSteps.front().title)
                          << " while " << (top != nullptr ? top->Title() : std::string("nothing"))
                          << " is up";
            GiveUp();
        }
        return done;
    }

private:
    static constexpr int kStepPatienceMs = 20000;

    void PlayNextStep() {
        if (mSteps.empty()) {
            return;
        }
        // A step that never comes would leave the test inside a modal loop
        // for good: give up, close what is open and say what was awaited.
        if (mPlaying.elapsed() > kStepPatienceMs) {
            toolkit::Window* top = TopModalWindow();
            ADD_FAILURE() << "gave up waiting for " << mSteps.front().title << " while "
                          << (top != nullptr ? top->Title() : std::string("nothing")) << " is up";
            GiveUp();
            return;
        }
        toolkit::Window* top = TopModalWindow();
        if (top == nullptr || top->Title() != mSteps.front().title) {
            return;
        }
        Step step = std::move(mSteps.front());
        mSteps.pop_front();
        // Run from a timer of its own: an action that opens a modal window
        // stays on the stack, and a timer is not fired again inside its own
        // handler.
        QPointer<QWidget> alive(top->Widget());
        QTimer::singleShot(0, [step = std::move(step), top, alive] {
            if (alive) {
                step.act(*top);
            }
        });
    }
    void GiveUp() {
        mSteps.clear();
        while (toolkit::Window* open = TopModalWindow()) {
            open->Close(0);
            QApplication::processEvents();
        }
    }

    QTimer mPlayer;
    QElapsedTimer mPlaying;
    std::deque<Step> mSteps;
};

}  // namespace ui::testing
