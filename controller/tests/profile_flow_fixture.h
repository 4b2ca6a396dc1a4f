// The controller connected to the virtual amplifier with short job waits, an
// auto-save folder and a clock of the test's own, and the checks that compare
// what the amplifier holds with a profile.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "controller_fixture.h"
#include "model/profile_file.h"
#include "testkit/profile_check.h"
#include "virtual_device/amplifier_state.h"

namespace test_support {

class ProfileFlowTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        // The device's own waits are the benchmark's business; here they
        // only slow the tests down.
        mManager->SetJobWaits({0, 0, 20});
        mManager->SetAutoSaveFolder((mDir.path() / "autoSave").string() + "/");
        mManager->SetLocalClock([this] { return mNow; });
    }

    std::filesystem::path File(const std::string& name) const { return mDir.path() / name; }

    // Starts a flow and waits until its loading window closed again.
    bool RunBehindLoading(const std::function<void()>& start,
                          std::chrono::milliseconds limit = std::chrono::seconds(30)) {
        const int hidden = mUi.mLoadingHidden;
        start();
        return Pump([&] { return mUi.mLoadingHidden > hidden; }, limit);
    }

    // The synchronised working profile with every output, mixer row and
    // cross-source row moved off what the amplifier plays; seed tells
    // profiles apart.
    model::Profile Retuned(int seed) {
        model::Profile p = mManager->WorkingProfile();
        for (int c = 0; c < 10; ++c) {
            model::Channel& ch = p.channels[c];
            ch.gain = -static_cast<float>((c + seed) % 25 + 1);
            ch.delay = 0.25f * static_cast<float>(c + seed + 1);
            ch.crossover.hp.fs = 60 + 10 * c + seed;
            ch.crossover.lp.fs = 6000 + 100 * c + seed;
            model::EqBand* bands = p.eqArray(c);
            for (int b = 0; b < p.bandCount(c); ++b) {
                bands[b].eqGain = static_cast<float>((b + c + seed) % 9 - 4);
                bands[b].freq = 120 + 40 * b + seed;
                bands[b].enable = true;
            }
            ch.bypass = false;
        }
        for (int s = 0; s < model::kSourceCount; ++s) {
            const int own = model::Profile::inputChannelCount(s);
            for (int r = 0; r < own + 2; ++r) {
                for (int o = 0; o < 10; ++o) {
                    p.inputMixVolume[s][r][o] = (s + r + o + seed) % 80 + 10;
                }
            }
            for (int k = 0; k < 2; ++k) {
                p.csmViceSource[s][own + k] = 81 + (s + k + seed) % 9;
                p.csmViceCh[s][own + k] = (k + seed) % 2;
            }
        }
        return p;
    }

    controller::EqualizerManager::LocalTime mNow{9, 5};
};

using testkit::ExpectMixerHeld;
using testkit::ExpectOutputsHeld;
using testkit::Held;

}  // namespace test_support
