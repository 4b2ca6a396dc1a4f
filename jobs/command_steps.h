// The commands of a job, counted before they are sent so that its progress
// reads "n of total". A job describes its commands once, as calls of Send;
// run without a link the same description only counts them.
//
// Once the link is gone (the cable pulled, the link closed) or the runner
// asks to stop, every further Send does nothing: a pulled cable costs the one
// command that found it, not one reply time-out per command left.
#pragma once

#include <functional>

#include "device/device_link.h"
#include "jobs/job_report.h"

namespace jobs {

class CommandSteps {
public:
    using Command = std::function<bool(device::DeviceLink&)>;

    // Counts the commands described; sends nothing.
    CommandSteps() = default;
    // Sends them. With reportEach every command sent is reported as one step
    // of `total`; otherwise the job reports its own steps.
    CommandSteps(device::DeviceLink& link, JobReport& report, int total, bool reportEach);

    // A command sent at once whose reply is read: false from the link (no
    // reply within its time-out) counts as unanswered.
    void Send(const Command& command);
    // A command handed to the link's queue: not answered here.
    void Queue(const Command& command);
    // Waits, as the device needs between steps; ends early when the job stops.
    void Wait(int milliseconds);

    bool Counting() const { return mLink == nullptr; }
    // False once the job stopped early (link gone or stop requested).
    bool Going() const { return mOutcome == JobOutcome::kDone; }
    // Commands described (counting) or sent (sending).
    int Count() const { return mCount; }
    int Unanswered() const { return mUnanswered; }
    JobOutcome Outcome() const { return mOutcome; }
    JobReport* Report() const { return mReport; }

private:
    bool MayGoOn();
    void Run(const Command& command, bool answered);

    device::DeviceLink* mLink = nullptr;
    JobReport* mReport = nullptr;
    int mTotal = 0;
    bool mReportEach = false;
    int mCount = 0;
    int mUnanswered = 0;
    JobOutcome mOutcome = JobOutcome::kDone;
};

// The link can no longer reach the device.
bool LinkGone(const device::DeviceLink& link);

}  // namespace jobs
