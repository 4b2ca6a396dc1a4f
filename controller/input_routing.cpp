// Input routing: which inputs of the current source feed each output. An
// input switched on for an output whose mixer level for it is still 0 would
// stay silent, so it starts at 100.
#include "app/log.h"
#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"

namespace controller {
namespace {

constexpr int kFirstMixLevel = 100;

}  // namespace

void EqualizerManager::SetInputIn(int input, int output) {
    app::Log("SetInputIn in %d out %d\n", input - 1, output);
    const int source = mProfile.source;
    if (!IsOutput(output) || source < 0 || source >= model::kSourceCount || input < 1 ||
        input > model::Profile::inputChannelCount(source) ||
        input > app::CurrentModelCfg().mMAX_INPUT_CHANNEL_NUMBER) {
        return;  // no such row for this source
    }
    const int bit = input - 1;
    const bool on = mControls.Indexed("option_ch_in%d_%d", input, output).Selected();
    uint32_t mask = static_cast<uint32_t>(mProfile.inputs[source][output]);
    mask = on ? mask | (1u << bit) : mask & ~(1u << bit);
    mProfile.inputs[source][output] = static_cast<int32_t>(mask);
    app::Log("outCh %d input = 0x%x\n", output, mask);
    const uint8_t o = static_cast<uint8_t>(output);
    const uint32_t masks[] = {mask};
    mDeviceLink->Mix_Ch_Ctrl(
        {static_cast<uint8_t>(mProfile.scene), static_cast<uint8_t>(source), o, o}, masks, false);
    int32_t& level = mProfile.inputMixVolume[source][bit][output];
    if (on && level == 0) {
        level = kFirstMixLevel;
        const uint8_t levels[] = {static_cast<uint8_t>(kFirstMixLevel)};
        mDeviceLink->Input_Mix_Trim_Ctrl(0, static_cast<uint8_t>(source), static_cast<uint8_t>(bit),
                                         o, o, levels, false);
    }
}

}  // namespace controller
