// The job report of the command line: progress on standard error (a bar on a
// terminal, "n/total" lines otherwise, nothing when quiet), shown only once a
// job has run for a second, and the wait for the replies through the pump.
#pragma once

#include <chrono>
#include <string>

#include "cli/reply_pump.h"
#include "jobs/job_report.h"

namespace cli {

class ProgressReport final : public jobs::JobReport {
public:
    ProgressReport(ReplyPump& pump, std::string what, bool quiet);
    // Ends a bar's line.
    ~ProgressReport() override;

    void Progress(int done, int total) override;
    bool WaitRepliesApplied(int timeoutMs) override { return mPump.WaitApplied(timeoutMs); }
    // Ctrl-C stops the job at its next step.
    bool StopRequested() const override;

private:
    using Clock = std::chrono::steady_clock;

    ReplyPump& mPump;
    const std::string mWhat;
    const bool mQuiet;
    const bool mTerminal;
    const Clock::time_point mStart;
    int mLastShown = -1;
    bool mBarOpen = false;
};

}  // namespace cli
