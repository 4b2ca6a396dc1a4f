// Which outputs follow a change of another: the members of its link group
// and its link partner.
#include <algorithm>

#include "app/model_cfg.h"
#include "controller/equalizer_manager.h"

namespace controller {

// Outputs below the model's first-stage count form link stage 1, the others
// stage 2.
static int StageOf(int channel) {
    return channel < app::CurrentModelCfg().mOUT_LINK_STAGE1_NUM ? 1 : 2;
}

std::vector<int> EqualizerManager::LinkGroupMembers(int channel, bool sameStage) const {
    std::vector<int> members;
    if (!IsOutput(channel)) {
        return members;
    }
    const int group = mProfile.linkGroup[static_cast<size_t>(channel)];
    if (group < 1) {
        return members;
    }
    const int count = std::min(app::CurrentModelCfg().mOUT_LINK_NUMBER,
                               app::CurrentModelCfg().mOUT_CHANNEL_NUMBER);
    for (int c = 0; c < count; ++c) {
        if (c != channel && mProfile.linkGroup[static_cast<size_t>(c)] == group &&
            (!sameStage || StageOf(c) == StageOf(channel))) {
            members.push_back(c);
        }
    }
    return members;
}

std::vector<int> EqualizerManager::EqFollowers(int channel) const {
    std::vector<int> followers = {channel};
    if (app::CurrentModelCfg().mHAS_LINK_SEL_CH_BUTTON) {
        for (int member : LinkGroupMembers(channel, true)) {
            followers.push_back(member);
        }
    }
    const int partner = LinkPartner(channel);
    if (partner >= 0 && std::find(followers.begin(), followers.end(), partner) == followers.end()) {
        followers.push_back(partner);
    }
    return followers;
}

}  // namespace controller
