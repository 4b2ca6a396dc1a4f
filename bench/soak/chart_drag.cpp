#include "bench/soak/chart_drag.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "bench/soak/drag_steps.h"
#include "bench/soak/write_probe.h"
#include "device/dsp_subcommands.h"

namespace soak {

void ChartDrag::KeepNear(int channel) {
    const model::Profile& p = mRig.Manager().WorkingProfile();
    for (int band : kEqBands) {
        mHomeHz[static_cast<size_t>(band)] = p.eqArray(channel)[band].freq;
    }
}

void ChartDrag::Prime() {
    controller::EqualizerManager& manager = mRig.Manager();
    const int c = manager.CurrentChannel();
    const int band = kEqBands.front();
    const model::EqBand stored = manager.WorkingProfile().eqArray(c)[band];
    mRig.HoldPointer();
    mRig.Chart().MovePoint(band, stored.freq + 1, stored.eqGain);
    mRig.Deliver([&] { manager.EqualizerCallback(band, 0, false); });
    mRig.ReleasePointer();
    mRig.Deliver([&] { manager.EqualizerCallback(band, 0, true); });
    manager.History().PointerReleased();
    mRig.Settle();
}

void ChartDrag::Make() {
    if (mRecorder.Finished()) {
        return;
    }
    controller::EqualizerManager& manager = mRig.Manager();
    const int c = manager.CurrentChannel();
    const int band = kEqBands[static_cast<size_t>(mTurn++ % kEqBands.size())];
    mRig.HoldPointer();
    for (int m = 0; m < kMovesPerDrag - 1; ++m) {
        const model::EqBand& stored = manager.WorkingProfile().eqArray(c)[band];
        const int home = mHomeHz[static_cast<size_t>(band)];
        const int step = std::max(1, stored.freq / 50);
        const int hz = MoveWithin(stored.freq, home * 7 / 10, home * 14 / 10, step, mFreqDirection);
        const int tenths = MoveWithin(static_cast<int>(std::lround(stored.eqGain * 10.0f)), 10, 60,
                                      2, mGainDirection);
        mRig.Chart().MovePoint(band, hz, static_cast<float>(tenths) / 10.0f);
        mRecorder.Quiet([&] { manager.EqualizerCallback(band, 0, false); });
    }
    mRig.ReleasePointer();
    mRecorder.Timed(kChartRelease, DspSetKey(device::DSP_EQ_CH),
                    [&] { manager.EqualizerCallback(band, 0, true); });
    manager.History().PointerReleased();
}

}  // namespace soak
