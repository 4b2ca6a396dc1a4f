#include "bench/soak/mixer_drag.h"

#include <cstddef>

#include "bench/soak/drag_steps.h"
#include "bench/soak/write_probe.h"
#include "device/dsp_subcommands.h"
#include "toolkit/control_access.h"

namespace soak {

void MixerDrag::SwitchOn() {
    for (const auto& [row, output] : mPoints) {
        if (mRig.Mixer().EffectiveLevel(row, output) == 0) {
            Move(row, output, 60, toolkit::kNotifyValueChanged);
        }
    }
}

void MixerDrag::Make() {
    const auto [row, output] = mPoints[static_cast<size_t>(mTurn++ % mPoints.size())];
    mRig.HoldPointer();
    for (int m = 0; m < kMovesPerDrag && !mRecorder.Finished(); ++m) {
        const int now = mRig.Mixer().EffectiveLevel(row, output);
        const int level = MoveWithin(now, 20, 100, 1 + m % 4, mDirection);
        mRig.MixerSlider(output, row).SetValue(level);
        mRecorder.Timed(kMixerLevel, DspSetKey(device::DSP_INPUT_MIX_CH_TRIM),
                        [&] { Notify(row, output, toolkit::kNotifyMoveValueChanged); });
    }
    mRig.ReleasePointer();
    mRecorder.Quiet([&] { Notify(row, output, toolkit::kNotifyValueChanged); });
    mRig.Manager().History().PointerReleased();
}

void MixerDrag::Move(int row, int output, int level, const char* type) {
    mRig.MixerSlider(output, row).SetValue(level);
    mRig.Deliver([&] { Notify(row, output, type); });
}

void MixerDrag::Notify(int row, int output, const char* type) {
    Control& slider = mRig.MixerSlider(output, row);
    toolkit::Notification n;
    n.type = type;
    n.name = slider.Name();
    n.sender = &slider;
    mRig.Mixer().Handle(n);
}

}  // namespace soak
