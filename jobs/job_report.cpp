#include "jobs/job_report.h"

namespace jobs {

const char* OutcomeName(JobOutcome outcome) {
    switch (outcome) {
        case JobOutcome::kDone:
            return "done";
        case JobOutcome::kDeviceGone:
            return "device gone";
        case JobOutcome::kStopped:
            return "stopped";
        case JobOutcome::kNoAnswer:
            return "no answer";
    }
    return "unknown";
}

}  // namespace jobs
