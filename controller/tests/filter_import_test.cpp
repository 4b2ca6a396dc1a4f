// Filter files applied to the current output: the bands the amplifier gets
// on a bypassed output and without an amplifier, and the summary the user
// reads before he chooses.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "controller_fixture.h"
#include "device/dsp_subcommands.h"
#include "model/filter_import_summary.h"

namespace {

using model::SummaryLine;

class FilterImport : public test_support::ControllerTest {
protected:
    void Choose(const std::string& text) {
        const std::filesystem::path path = mDir.path() / "filters.txt";
        std::ofstream(path) << text;
        mUi.mChosenFile = path.string();
    }
    const model::EqBand& BandOf(int c, int b) { return mManager->WorkingProfile().eqArray(c)[b]; }
    static double AmpGain(const virtual_device::EqBandState& band) {
        return ((band.gainByte & 0x1F) * 10 + band.gainTenths) / 10.0 - 18.0;
    }
};

TEST_F(FilterImport, ABypassedOutputTakesTheBandsAsAnEditStartsFromFlat) {
    ASSERT_TRUE(ConnectAndSync());
    // Output 0 carries gains on bands 4, 13 and 17; bypass it.
    mManager->SetOutputBypass();
    ASSERT_TRUE(mManager->WorkingProfile().channels[0].bypass);
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->ClearReceived();
    Choose(
        "Filter 1: ON PK Fc 80 Hz Gain 4.0 dB Q 1.00\nFilter 2: ON PK Fc 3000 Hz Gain -2.0 dB Q "
        "3.00\n");
    mUi.mApplyFilters = true;
    mManager->ImportFilters();
    ASSERT_TRUE(WaitQueueIdle());
    ASSERT_EQ(mUi.mFilterSummaries.size(), 1u);
    EXPECT_FALSE(mManager->WorkingProfile().channels[0].bypass);
    EXPECT_EQ(Amp().channels[0].eqBypass, 0);
    EXPECT_EQ(Amp().channels[0].eq[0].frequency, 80);
    EXPECT_NEAR(AmpGain(Amp().channels[0].eq[0]), 4.0, 0.001);
    EXPECT_EQ(Amp().channels[0].eq[1].frequency, 3000);
    EXPECT_NEAR(AmpGain(Amp().channels[0].eq[1]), -2.0, 0.001);
    for (int b : {4, 13, 17}) {
        EXPECT_EQ(BandOf(0, b).eqGain, 0.0f) << b;
        EXPECT_EQ(AmpGain(Amp().channels[0].eq[b]), 0.0) << b;
    }
    EXPECT_EQ(mPage.Get("btn_bypass").Text(), "${bypass_eq}");
    EXPECT_TRUE(mUi.mMessages.empty());
}

TEST_F(FilterImport, WithoutAnAmplifierTheBandsGoIntoTheWorkingProfile) {
    ASSERT_GT(mManager->WorkingProfile().bandCount(0), 2);
    Choose("Filter 1: ON PK Fc 125 Hz Gain -6.0 dB Q 2.50\n");
    mUi.mApplyFilters = true;
    mManager->ImportFilters();
    ASSERT_EQ(mUi.mFilterSummaries.size(), 1u);
    EXPECT_EQ(BandOf(0, 0).freq, 125);
    EXPECT_FLOAT_EQ(BandOf(0, 0).eqGain, -6.0f);
    EXPECT_FLOAT_EQ(BandOf(0, 0).eqFactor, 2.5f);
    EXPECT_EQ(BandOf(0, 1).eqGain, 0.0f);
    EXPECT_EQ(mPage.Get("eq_freq_0").Text(), "125");
    EXPECT_TRUE(mDemo.amplifier->ReceivedReports().empty()) << "nothing to send to";
}

TEST_F(FilterImport, TheSummaryNamesEveryRefusalWithItsValues) {
    Choose(
        "Preamp: -3.0 dB\n"
        "Filter 1: ON PK Fc 5 Hz Gain 1.0 dB Q 1.00\n"
        "Filter 2: ON PK Fc 900 Hz Gain 30.0 dB Q 1.00\n"
        "Filter 3: ON HS Fc 8000 Hz Gain 2.0 dB Q 0.71\n"
        "Filter 4: ON PK Fc 700 Hz Gain 2.0 dB\n"
        "bad\tline\n");
    const model::EqBand before = BandOf(0, 0);
    mManager->ImportFilters();
    ASSERT_EQ(mUi.mFilterSummaries.size(), 1u);
    const model::FilterImportSummary& s = mUi.mFilterSummaries[0];
    EXPECT_TRUE(s.NothingFits());
    EXPECT_EQ(s.headline, (SummaryLine{"${filter_import_nothing_fits}", {"4", "1"}}));
    EXPECT_TRUE(s.taken.empty()) << "no line about flat bands when nothing is applied";
    ASSERT_EQ(s.refused.size(), 4u);
    EXPECT_EQ(s.refused[0].text, "${filter_fit_freq_low}");
    EXPECT_EQ(
        s.refused[0].values,
        (std::vector<std::string>{"1", "5", std::to_string(app::CurrentModelCfg().mEQ_FREQ_MIN)}));
    EXPECT_EQ(s.refused[0].detail, "PK 5 Hz 1.0 dB Q 1.00");
    EXPECT_EQ(s.refused[1].values[1], "30.0");
    EXPECT_EQ(s.refused[2].values, (std::vector<std::string>{"3", "HS"}));
    EXPECT_EQ(s.refused[2].detail, "HS 8000 Hz 2.0 dB Q 0.71");
    EXPECT_EQ(s.refused[3].values, std::vector<std::string>{"4"});
    EXPECT_EQ(s.refused[3].detail, "PK 700 Hz 2.0 dB");
    ASSERT_TRUE(s.preamp.has_value());
    EXPECT_EQ(s.preamp->values, std::vector<std::string>{"-3.0"});
    ASSERT_EQ(s.unread.size(), 1u);
    EXPECT_EQ(s.unread[0].values, (std::vector<std::string>{"6", "bad line"}));
    EXPECT_EQ(BandOf(0, 0), before) << "nothing applied";
}

}  // namespace
