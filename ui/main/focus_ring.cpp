// The keyboard's way through the main page: the left and right arrows walk
// the ring of numeric edits.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "ui/main/main_wnd.h"

namespace ui {

// The numeric edits form one ring that the arrow keys walk: crossover, main
// volume, the current output's band frequencies, Qs and gains, then every
// output's trim and delay.
void CMainWnd::MoveFocusAlongTheEdits(const std::string& from, bool forward) {
    const int bands = mManager->WorkingProfile().bandCount(mManager->CurrentChannel());
    const int outputs = app::CurrentModelCfg().mOUT_CHANNEL_NUMBER;
    std::vector<std::string> ring = {"hp_freq", "lp_freq", "edit_main_volume"};
    for (const char* column : {"eq_freq_%d", "eq_q_%d", "eq_gain_%d"}) {
        for (int b = 0; b < bands; ++b) {
            char name[32];
            std::snprintf(name, sizeof name, column, b);
            ring.emplace_back(name);
        }
    }
    for (const char* column : {"edit_ch_volume_%d", "edit_ch_delay_%d"}) {
        for (int c = 0; c < outputs; ++c) {
            char name[32];
            std::snprintf(name, sizeof name, column, c);
            ring.emplace_back(name);
        }
    }
    auto at = std::find(ring.begin(), ring.end(), from);
    if (at == ring.end()) {
        return;  // arrows in other edits do nothing
    }
    auto enabled = [this](const std::string& name) {
        const toolkit::Control* control = Find(name);
        return control != nullptr && control->Enabled();
    };
    std::string target;
    if (forward && from == "edit_main_volume" && bands > 0) {
        target = enabled("eq_freq_0") ? "eq_freq_0" : "eq_gain_0";
    } else if (!forward && from == "eq_gain_0" && bands > 0) {
        const std::string lastQ = "eq_q_" + std::to_string(bands - 1);
        target = enabled(lastQ) ? lastQ : "edit_main_volume";
    } else if (!forward && from == "eq_freq_0") {
        target = "edit_main_volume";
    } else {
        const long index = at - ring.begin();
        const long size = static_cast<long>(ring.size());
        target = ring[static_cast<size_t>((index + (forward ? 1 : size - 1)) % size)];
    }
    if (toolkit::Control* control = Find(target)) {
        control->SetFocus();
    }
}

}  // namespace ui
