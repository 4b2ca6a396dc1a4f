#include "jobs/command_steps.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace jobs {
namespace {

constexpr int kWaitSliceMs = 10;

}  // namespace

bool LinkGone(const device::DeviceLink& link) {
    return !link.IsConnected() || link.IsDeviceGone();
}

CommandSteps::CommandSteps(device::DeviceLink& link, JobReport& report, int total, bool reportEach)
    : mLink(&link), mReport(&report), mTotal(total), mReportEach(reportEach) {}

bool CommandSteps::MayGoOn() {
    if (mOutcome != JobOutcome::kDone) {
        return false;
    }
    if (mReport->StopRequested()) {
        mOutcome = JobOutcome::kStopped;
    } else if (LinkGone(*mLink)) {
        mOutcome = JobOutcome::kDeviceGone;
    }
    return mOutcome == JobOutcome::kDone;
}

void CommandSteps::Run(const Command& command, bool answered) {
    if (Counting()) {
        ++mCount;
        return;
    }
    if (!MayGoOn()) {
        return;
    }
    const bool ok = command(*mLink);
    ++mCount;
    if (answered && !ok) {
        ++mUnanswered;
    }
    if (mReportEach) {
        mReport->Progress(mCount, mTotal);
    }
    MayGoOn();  // a command that found the cable pulled ends the job at once
}

void CommandSteps::Send(const Command& command) {
    Run(command, true);
}

void CommandSteps::Queue(const Command& command) {
    Run(command, false);
}

void CommandSteps::Wait(int milliseconds) {
    if (Counting()) {
        return;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (MayGoOn()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) {
            return;
        }
        std::this_thread::sleep_for(
            std::min(end - now,
                     std::chrono::steady_clock::duration(std::chrono::milliseconds(kWaitSliceMs))));
    }
}

}  // namespace jobs
