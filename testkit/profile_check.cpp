#include "testkit/profile_check.h"

#include <gtest/gtest.h>

#include <string>

namespace testkit {

namespace {
constexpr int kOutputs = 10;
constexpr int kGainByteZero = 18;  // the band gain byte's low five bits hold dB + 18
}  // namespace

void ExpectOutputsHeld(const virtual_device::AmplifierState& amp, const model::Profile& p) {
    for (int c = 0; c < kOutputs; ++c) {
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
        EXPECT_EQ(ch.highPass.type, want.crossover.hp.type);
        EXPECT_EQ(ch.highPass.slope, want.crossover.hp.slope);
        EXPECT_EQ(ch.lowPass.frequency, want.crossover.lp.fs);
        EXPECT_EQ(ch.lowPass.slope, want.crossover.lp.slope);
        const model::EqBand* bands = p.eqArray(c);
        for (int b = 0; b < p.bandCount(c); ++b) {
            EXPECT_EQ(ch.eq[b].frequency, bands[b].freq) << "band " << b;
            EXPECT_EQ((ch.eq[b].gainByte & 0x1F) - kGainByteZero, static_cast<int>(bands[b].eqGain))
                << "band " << b;
        }
    }
}

void ExpectSourceMixHeld(const virtual_device::AmplifierState& amp, const model::Profile& p,
                         int source, int rows) {
    for (int r = 0; r < rows; ++r) {
        for (int o = 0; o < kOutputs; ++o) {
            EXPECT_EQ(amp.sources[source].mixTrim[r][o], p.inputMixVolume[source][r][o])
                << "source " << source << " row " << r << " output " << o;
        }
    }
}

void ExpectMixerHeld(const virtual_device::AmplifierState& amp, const model::Profile& p,
                     Held which) {
    const bool working = which == Held::kWorkingState;
    for (int s = 0; s < model::kSourceCount; ++s) {
        const int own = model::Profile::inputChannelCount(s);
        if (own == 0) {
            continue;
        }
        ExpectSourceMixHeld(amp, p, s, own + (working ? 2 : 0));
        for (int k = 0; working && k < 2; ++k) {
            EXPECT_EQ(amp.sources[s].crossMix[own + k].viceSource, p.csmViceSource[s][own + k])
                << "source " << s << " row " << own + k;
            EXPECT_EQ(amp.sources[s].crossMix[own + k].viceChannel, p.csmViceCh[s][own + k])
                << "source " << s << " row " << own + k;
        }
    }
}

}  // namespace testkit
