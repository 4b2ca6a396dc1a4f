// The difference of two working states as commands: the amplifier holds
// `from`, and after the commands it holds `to`. Only what differs is sent, in
// the encoding and order of the full write-out: one command per band,
// crossover side or cross-source row that changed, one command per switch
// (trim, delay, mute, ...) covering the outputs from the first to the last
// that changed, and the same for the routing of the source and each mixer
// row. Equal states send nothing.
#pragma once

#include "device/device_link.h"
#include "jobs/job_report.h"
#include "jobs/profile_writeout.h"

namespace jobs {

// Progress: commands sent. Without a `from` profile nothing is known of the
// amplifier, so all of `to` is written; without a `to` nothing is sent.
JobOutcome WriteProfileDifference(device::DeviceLink& link, const WorkingState& from,
                                  const WorkingState& to, JobReport& report);

// The commands of the difference, counted without sending.
int CountProfileDifference(const WorkingState& from, const WorkingState& to);

}  // namespace jobs
