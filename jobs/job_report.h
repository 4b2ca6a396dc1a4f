// How a device job tells whoever runs it how far it is and how it ended.
// Jobs are plain units over the device link and profiles: the program runs
// them on a worker thread behind its loading window and posts their progress
// to it; the command-line tool runs them in a terminal and prints it. A job
// never touches a control.
#pragma once

namespace jobs {

enum class JobOutcome {
    kDone,        // every step was sent (replies are not checked, as the device needs)
    kDeviceGone,  // the cable was pulled or the link closed: the job stopped early
    kStopped,     // the runner asked the job to stop (the program is closing)
    kNoAnswer,    // a read went unanswered or its replies were not applied in time:
                  // what it read is incomplete and must not be kept
};

// A short English word for the log.
const char* OutcomeName(JobOutcome outcome);

class JobReport {
public:
    virtual ~JobReport() = default;
    // `done` of `total` steps (commands sent, scenes read) are behind the job.
    virtual void Progress(int done, int total) = 0;
    // True when the runner wants the job to stop at the next step.
    virtual bool StopRequested() const { return false; }
    // The device's replies are decoded on the thread that reads them and are
    // applied to the profiles elsewhere (in the program, on the UI thread).
    // Returns once every reply read so far has been applied; false when that
    // did not happen within timeoutMs.
    virtual bool WaitRepliesApplied(int timeoutMs) = 0;
};

}  // namespace jobs
