// Ctrl-C (and the hang-up and termination signals) in the middle of a job:
// the job stops at its next step and the run ends through its usual path,
// so the amplifier is let go of properly, a backup leaves no file and the
// virtual amplifier's state is kept. A second signal ends the run at once.
// While a firmware image is being installed nothing stops it: an update cut
// short leaves the amplifier in its upgrade program, so the signal is only
// answered with a line saying why.
#pragma once

namespace cli {

// Installs the handlers; called once, before the command runs.
void CatchInterrupts();

// True once a signal asked the run to stop.
bool InterruptRequested();

// While one exists, signals do not stop the run.
class UninterruptibleSpell {
public:
    UninterruptibleSpell();
    ~UninterruptibleSpell();
    UninterruptibleSpell(const UninterruptibleSpell&) = delete;
    UninterruptibleSpell& operator=(const UninterruptibleSpell&) = delete;
};

}  // namespace cli
