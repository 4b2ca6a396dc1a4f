// What the program does when the monitors change: the windows keep the
// scale they were made at, so a display that asks for another scale means
// starting the program anew. The new copy is started first and the running
// one closes only when that worked: a failed start leaves the user with the
// program still open and a message, never with no program at all.
//
// While the program is busy with the amplifier (a firmware update, a scene
// job, a write-out behind the loading window, any box the user has open)
// the restart waits: cutting an update short can leave the amplifier in its
// upgrade program, and a write-out cut short leaves half a tune on it.
#pragma once

#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace ui {

class DisplayRestart {
public:
    // Starts the new copy of the program; false with the reason in `error`.
    using Starter = std::function<bool(std::string* error)>;

    DisplayRestart(Starter start, std::function<void()> close, std::function<void()> tellFailure);

    void SetStarter(Starter start) { mStart = std::move(start); }
    // True while a restart must wait; asked at each change and then every
    // kBusyRecheck until it is false.
    void SetBusyCheck(std::function<bool()> busy) { mBusy = std::move(busy); }

    static constexpr int kBusyRecheckMs = 500;

    // The screens now ask for `newScale` percent. Restarts when that is not
    // the scale the windows run at; returns whether the program closes now.
    bool OnDisplayChanged(int newScale);

    // True while a change waits for the program to be free.
    bool IsWaiting() const { return mWaitingScale >= 0; }

    // True once the new copy started: this one is on its way out.
    bool IsRestarting() const { return mRestarting; }

private:
    bool Restart();
    void RecheckWhenFree();

    Starter mStart;
    std::function<bool()> mBusy;
    QTimer mRecheck;
    int mWaitingScale = -1;  // the scale of the change that waits, or -1
    std::function<void()> mClose;
    std::function<void()> mTellFailure;
    bool mRestarting = false;
    bool mTellingFailure = false;  // the failure box runs its own event loop
};

// The arguments for the new copy: the given ones, with "--restarted" once.
std::vector<std::string> RestartArguments(const std::vector<std::string>& given);

// Starts `program` with `arguments` as a process of its own that outlives
// this one; false with the reason in `error`.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   std::string* error);

// Starts this program's own executable again with `arguments`.
DisplayRestart::Starter ProgramStarter(std::vector<std::string> arguments);

}  // namespace ui
