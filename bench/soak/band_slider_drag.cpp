#include "bench/soak/band_slider_drag.h"

#include <cmath>
#include <cstddef>
#include <string>

#include "bench/soak/drag_steps.h"
#include "bench/soak/write_probe.h"
#include "device/dsp_subcommands.h"

namespace soak {

void BandSliderDrag::Make() {
    controller::EqualizerManager& manager = mRig.Manager();
    const int c = manager.CurrentChannel();
    const int band = kEqBands[static_cast<size_t>(mTurn++ % kEqBands.size())];
    Control& slider = mRig.MainPage().Get("eq_slider_" + std::to_string(band));
    const auto send = [&] { manager.SetEqSlider(band); };
    mRig.HoldPointer();
    for (int m = 0; m < kMovesPerDrag && !mRecorder.Finished(); ++m) {
        const model::EqBand& stored = manager.WorkingProfile().eqArray(c)[band];
        const int now = static_cast<int>(std::lround(stored.eqGain * 10.0f));
        slider.SetValue(MoveWithin(now, 10, 60, 1 + m % 3, mDirection));
        mRecorder.Timed(kBandSlider, DspSetKey(device::DSP_EQ_CH), send);
    }
    mRig.ReleasePointer();
    mRecorder.Quiet(send);
    manager.History().PointerReleased();
}

}  // namespace soak
