// What the program does when the monitors change: the windows keep the
// scale they were made at, so a display that asks for another scale means
// starting the program anew. The new copy is started first and the running
// one closes only when that worked: a failed start leaves the user with the
// program still open and a message, never with no program at all.
#pragma once

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

    // The screens now ask for `newScale` percent. Restarts when that is not
    // the scale the windows run at; returns whether the program closes.
    bool OnDisplayChanged(int newScale);

    // True once the new copy started: this one is on its way out.
    bool IsRestarting() const { return mRestarting; }

private:
    Starter mStart;
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
