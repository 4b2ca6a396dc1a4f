// The soak: connects the virtual amplifier, puts the page and the mixer in
// the state it starts from, runs the bursts and the paced soak through the
// change makers, and reports.
#pragma once

#include <cstdint>

#include "bench/soak/band_slider_drag.h"
#include "bench/soak/change_recorder.h"
#include "bench/soak/chart_drag.h"
#include "bench/soak/delay_drag.h"
#include "bench/soak/mixer_drag.h"
#include "bench/soak/soak_rig.h"
#include "bench/soak/soak_targets.h"
#include "bench/soak/trim_typing.h"

namespace soak {

class Soak {
public:
    bool ConnectAndSynchronise() { return mRig.ConnectAndSynchronise(); }
    // Picks the outputs and mixer points whose changes reach no other output
    // (no link, no bridge, no mute to lift, no second subwoofer to follow),
    // and puts the page and the mixer in the state the soak starts from.
    bool Prepare();
    // From here on every output report the amplifier receives is counted.
    void ListenToWrites() { mRig.ListenToWrites(); }
    // Changes made back to back, as fast as the user-interface thread makes
    // them, pumping its messages between them but never waiting for the link;
    // with a USB-paced amplifier (one report per 1 ms frame each way) when
    // usbPaced. Prints whether the link kept up.
    void Burst(int changes, bool usbPaced);
    // The soak proper: paced, timed, sampled.
    void Run();
    // The figures at the end; whether every check held.
    bool Report(double seconds) const;

private:
    void PrepareEq();
    bool PrepareMixer();
    // One round of every kind of change: 20 timed changes.
    void Cycle();

    SoakRig mRig;
    SoakTargets mTargets;
    ChangeRecorder mRecorder{mRig};
    TrimTyping mTrims{mRig, mRecorder, mTargets.trimChannels};
    DelayDrag mDelays{mRig, mRecorder, mTargets.delayChannels};
    BandSliderDrag mBandSliders{mRig, mRecorder};
    ChartDrag mChartDrags{mRig, mRecorder};
    MixerDrag mMixerDrags{mRig, mRecorder, mTargets.mixerPoints};
    uint64_t mCycles = 0;
    uint64_t mReportsAtStart = 0;
    uint64_t mReportsAtEnd = 0;
};

}  // namespace soak
