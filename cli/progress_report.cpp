#include "cli/progress_report.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/interrupts.h"

namespace cli {
namespace {

constexpr auto kQuietSpell = std::chrono::seconds(1);
constexpr int kBarWidth = 30;
// Plain lines at most every tenth of the job, so a log stays short.
constexpr int kLineSteps = 10;

}  // namespace

ProgressReport::ProgressReport(ReplyPump& pump, std::string what, bool quiet)
    : mPump(pump),
      mWhat(std::move(what)),
      mQuiet(quiet),
      mTerminal(::isatty(STDERR_FILENO) == 1),
      mStart(Clock::now()) {}

ProgressReport::~ProgressReport() {
    if (mBarOpen) {
        std::fputc('\n', stderr);
    }
}

bool ProgressReport::StopRequested() const {
    return InterruptRequested();
}

void ProgressReport::Progress(int done, int total) {
    if (mQuiet || total <= 0 || Clock::now() - mStart < kQuietSpell) {
        return;
    }
    if (mTerminal) {
        const int filled = done * kBarWidth / total;
        std::fprintf(stderr, "\r%s [%s%s] %d/%d", mWhat.c_str(), std::string(filled, '#').c_str(),
                     std::string(kBarWidth - filled, ' ').c_str(), done, total);
        std::fflush(stderr);
        mBarOpen = true;
        return;
    }
    const int step = done * kLineSteps / total;
    if (step != mLastShown) {
        mLastShown = step;
        std::fprintf(stderr, "%s %d/%d\n", mWhat.c_str(), done, total);
    }
}

}  // namespace cli
