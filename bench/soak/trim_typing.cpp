#include "bench/soak/trim_typing.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>

#include "bench/soak/drag_steps.h"
#include "bench/soak/write_probe.h"
#include "device/dsp_subcommands.h"

namespace soak {

void TrimTyping::Make() {
    if (mRecorder.Finished()) {
        return;
    }
    controller::EqualizerManager& manager = mRig.Manager();
    const int c = mChannels[static_cast<size_t>(mTurn++ % mChannels.size())];
    const int now =
        static_cast<int>(std::lround(manager.WorkingProfile().channels[c].gain * 10.0f));
    const int tenths = MoveWithin(now, -120, -5, 5 + (mTurn % 3) * 5, mDirection);
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", tenths / 10.0);
    mRig.MainPage().Get("edit_ch_volume_" + std::to_string(c)).SetText(text);
    mRecorder.Timed(kTrim, DspSetKey(device::DSP_TRIM_CH),
                    [&] { manager.SetChVolumeEdit(c, true); });
}

}  // namespace soak
