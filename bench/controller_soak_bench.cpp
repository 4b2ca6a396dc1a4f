// A soak of live tuning: 100,000 changes made the way the main window and
// the mixer window make them (typed trims, delay-slider drags, EQ band-slider
// drags, EQ chart drags of frequency and gain, mixer-slider drags), through
// the controller, the link's command queue and the HID seam, into the virtual
// amplifier playing the demo tune. Every 10,000 changes it prints the resident
// memory, the link's queue depth (now, and the most seen right after a change
// in the window) and the time from each controller call to the moment the
// amplifier received the write it caused (p50, p99, max of the window), with
// the machine's load, since other work on its cores shows in the tail; at the
// end whether memory and queue depth stayed flat (first and last sample
// within 5 %) and whether p99 stayed under 1 ms.
//
// Every timed change sends exactly one frame: the trim slider and its arrow
// keys are held to one send per 200 ms (the rest coalesced into a timer), so
// trims are typed; the chart holds its moves back for 500 ms, so a chart drag
// is timed at its release, and each of its moves is checked to send nothing.
// The count of reports the amplifier received during each change checks it.
//
// Before the soak, a burst of changes made back to back shows whether the
// user-interface thread outruns the link. The soak itself is paced: one
// change in flight, the next made once the amplifier has the last one's write
// and the link has read its reply.
//
// Exit status: 0 every check held, 1 one did not, 2 the soak could not run.
#include <chrono>
#include <cstdio>

#include "app/model_cfg.h"
#include "bench/soak/readings.h"
#include "bench/soak/scratch_config.h"
#include "bench/soak/soak.h"
#include "bench/soak/soak_plan.h"

int main() {
    const auto start = soak::Clock::now();
    soak::ScratchConfig config;
    app::FillModelCfg();
    int status = 0;
    {
        soak::Soak run;
        if (!run.ConnectAndSynchronise()) {
            std::fprintf(stderr, "the virtual amplifier was not connected and synchronised\n");
            return 2;
        }
        if (!run.Prepare()) {
            return 2;
        }
        run.ListenToWrites();
        std::printf(
            "controller soak: %d live changes through the controller, the link's queue and the "
            "virtual amplifier; per 20: 4 typed trims, 4 delay-slider moves (3 and the "
            "release), 4 EQ band-slider moves, 4 EQ chart drags (3 held-back moves and the "
            "release each), 4 mixer-slider moves; load average %s\n",
            soak::kChanges, soak::LoadText().c_str());
        run.Burst(soak::kBurstChanges, false);
        run.Burst(soak::kUsbBurstChanges, true);
        run.Run();
        const double seconds = std::chrono::duration<double>(soak::Clock::now() - start).count();
        status = run.Report(seconds) ? 0 : 1;
    }
    return status;
}
