#include "cli/interrupts.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace cli {
namespace {

std::atomic<bool> gStopRequested{false};
std::atomic<bool> gUninterruptible{false};

constexpr const char kStopping[] =
    "tq-dsp: stopping after the current step (press Ctrl-C again to quit at once)\n";
constexpr const char kUpdateGoesOn[] =
    "tq-dsp: the update goes on: stopping it now would leave the amplifier in its upgrade "
    "program\n";

// Only what is safe in a signal handler: atomics, write and _exit.
void OnSignal(int) {
    if (gUninterruptible.load()) {
        (void)!::write(STDERR_FILENO, kUpdateGoesOn, sizeof kUpdateGoesOn - 1);
        return;
    }
    if (gStopRequested.exchange(true)) {
        ::_exit(128 + SIGINT);
    }
    (void)!::write(STDERR_FILENO, kStopping, sizeof kStopping - 1);
}

}  // namespace

void CatchInterrupts() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

bool InterruptRequested() {
    return gStopRequested.load();
}

UninterruptibleSpell::UninterruptibleSpell() {
    gUninterruptible.store(true);
}

UninterruptibleSpell::~UninterruptibleSpell() {
    gUninterruptible.store(false);
}

}  // namespace cli
