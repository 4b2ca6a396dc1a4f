#include "bench/soak/delay_drag.h"

#include <cmath>
#include <cstddef>
#include <string>

#include "bench/soak/drag_steps.h"
#include "bench/soak/write_probe.h"
#include "device/dsp_subcommands.h"

namespace soak {

void DelayDrag::Make() {
    controller::EqualizerManager& manager = mRig.Manager();
    const int c = mChannels[static_cast<size_t>(mTurn++ % mChannels.size())];
    Control& slider = mRig.MainPage().Get("slider_ch_delay_" + std::to_string(c));
    const auto send = [&] { manager.SetChDelaySlider(c); };
    mRig.HoldPointer();
    for (int m = 0; m < kMovesPerDrag - 1 && mRecorder.Remaining() > 1; ++m) {
        const int now =
            static_cast<int>(std::lround(manager.WorkingProfile().channels[c].delay * 1000.0f));
        slider.SetValue(MoveWithin(now, 0, 5000, 50, mDirection));
        mRecorder.Timed(kDelay, DspSetKey(device::DSP_DELAY_CH), send);
    }
    mRig.ReleasePointer();
    if (!mRecorder.Finished()) {
        mRecorder.Timed(kDelay, DspSetKey(device::DSP_DELAY_CH), send);
    }
    manager.History().PointerReleased();
}

}  // namespace soak
