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

// What the amplifier keeps of every output, against a profile.
inline void ExpectOutputsHeld(const virtual_device::AmplifierState& amp, const model::Profile& p) {
    for (int c = 0; c < 10; ++c) {
        SCOPED_TRACE("output " + std::to_string(c));
        const auto& ch = amp.channels[c];
        const model::Channel& want = p.channels[c];
        EXPECT_EQ(ch.trimAttenuation, static_cast<int>(-want.gain));
        EXPECT_EQ(ch.delayMs * 1000 + ch.delayThousandths, static_cast<int>(want.delay * 1000));
        EXPECT_EQ(ch.type, p.outputs[c]);
        EXPECT_EQ(ch.mute, want.mute);
        EXPECT_EQ(ch.phase, want.phase);
        EXPECT_EQ(ch.eqBypass, want.bypass ? 1 : 0);
        EXPECT_EQ(ch.highPass.frequency, want.crossover.hp.fs);
        EXPECT_EQ(ch.highPass.slope, want.crossover.hp.slope);
        EXPECT_EQ(ch.lowPass.frequency, want.crossover.lp.fs);
        EXPECT_EQ(ch.lowPass.slope, want.crossover.lp.slope);
        const model::EqBand* bands = p.eqArray(c);
        for (int b = 0; b < p.bandCount(c); ++b) {
            EXPECT_EQ(ch.eq[b].frequency, bands[b].freq) << "band " << b;
            EXPECT_EQ((ch.eq[b].gainByte & 0x1F) - 18, static_cast<int>(bands[b].eqGain))
                << "band " << b;
        }
    }
}

// The mixer rows of every source with inputs (plus the split cross-source
// rows and their sources for the working state).
inline void ExpectMixerHeld(const virtual_device::AmplifierState& amp, const model::Profile& p,
                            bool workingState) {
    for (int s = 0; s < model::kSourceCount; ++s) {
        const int own = model::Profile::inputChannelCount(s);
        if (own == 0) {
            continue;
        }
        const int rows = own + (workingState ? 2 : 0);
        for (int r = 0; r < rows; ++r) {
            for (int o = 0; o < 10; ++o) {
                EXPECT_EQ(amp.sources[s].mixTrim[r][o], p.inputMixVolume[s][r][o])
                    << "source " << s << " row " << r << " output " << o;
            }
        }
        for (int k = 0; workingState && k < 2; ++k) {
            EXPECT_EQ(amp.sources[s].crossMix[own + k].viceSource, p.csmViceSource[s][own + k])
                << "source " << s << " row " << own + k;
            EXPECT_EQ(amp.sources[s].crossMix[own + k].viceChannel, p.csmViceCh[s][own + k])
                << "source " << s << " row " << own + k;
        }
    }
}

}  // namespace test_support
