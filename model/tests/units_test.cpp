// Delay texts and conversions between ms, cm and inches, frequency steps,
// and the read-back of edited texts.
#include <gtest/gtest.h>

#include <string>

#include "model/units.h"

namespace {

using namespace model;

TEST(DelayText, ShowsEachUnit) {
    EXPECT_EQ(formatDelayText(kDelayUnitCm, 1.0f), "35 cm");
    EXPECT_EQ(formatDelayText(kDelayUnitInch, 1.0f), "14 in");
    EXPECT_EQ(formatDelayText(kDelayUnitCm, 2.5f), "87 cm");  // 86.5 rounds up
    EXPECT_EQ(formatDelayText(kDelayUnitInch, 2.5f), "34 in");
    EXPECT_EQ(formatDelayText(kDelayUnitCm, 15.0f), "519 cm");
    EXPECT_EQ(formatDelayText(kDelayUnitInch, 15.0f), "204 in");
    EXPECT_EQ(formatDelayText(kDelayUnitMs, 15.0f), "15.000 ms");
    EXPECT_EQ(formatDelayText(kDelayUnitMs, 20.0f), "15.000 ms");
    EXPECT_EQ(formatDelayText(kDelayUnitMs, -1.0f), "0.000 ms");
    EXPECT_EQ(formatDelayText(7, 1.25f), "1.250 ms");  // unknown units are ms
}

TEST(DelayQuantize, MovesToWholeUnits) {
    EXPECT_NEAR(quantizeDelay(kDelayUnitCm, 1.0f), 35.0 * 15 / 519, 1e-5);
    EXPECT_NEAR(quantizeDelay(kDelayUnitInch, 1.0f), 14.0 * 15 / 204, 1e-5);
    EXPECT_FLOAT_EQ(quantizeDelay(kDelayUnitInch, 2.5f), 2.5f);
    EXPECT_FLOAT_EQ(quantizeDelay(kDelayUnitMs, 1.2345f), 1.2345f);
    EXPECT_FLOAT_EQ(quantizeDelay(kDelayUnitCm, 99.0f), 15.0f);
    // A quantised delay shows the same whole number again.
    for (float ms = 0.0f; ms <= 15.0f; ms += 0.37f) {
        float q = quantizeDelay(kDelayUnitCm, ms);
        EXPECT_EQ(formatDelayText(kDelayUnitCm, q), formatDelayText(kDelayUnitCm, ms)) << ms;
    }
}

TEST(DelayFromTyped, LimitsAndConverts) {
    std::string text;
    EXPECT_NEAR(delayFromUnitValue(kDelayUnitCm, 100.0f, &text), 2.89017, 1e-5);
    EXPECT_EQ(text, "100 cm");
    EXPECT_FLOAT_EQ(delayFromUnitValue(kDelayUnitCm, 600.0f, &text), 15.0f);
    EXPECT_EQ(text, "519 cm");
    EXPECT_NEAR(delayFromUnitValue(kDelayUnitInch, 13.9f, &text), 0.95588, 1e-5);
    EXPECT_EQ(text, "13 in");
    EXPECT_FLOAT_EQ(delayFromUnitValue(kDelayUnitMs, 16.2f, &text), 15.0f);
    EXPECT_EQ(text, "15.000 ms");
    EXPECT_FLOAT_EQ(delayFromUnitValue(kDelayUnitMs, -3.0f, &text), 0.0f);
    EXPECT_EQ(text, "0.000 ms");
    EXPECT_FLOAT_EQ(delayFromUnitValue(kDelayUnitCm, 1e30f), 15.0f);  // no overflow on the cut
}

TEST(FrequencyStep, FollowsTheLogGrid) {
    EXPECT_EQ(stepFrequency(20, true), 21);
    EXPECT_EQ(stepFrequency(21, true), 22);
    EXPECT_EQ(stepFrequency(100, true), 101);
    EXPECT_EQ(stepFrequency(1000, true), 1026);
    EXPECT_EQ(stepFrequency(1000, false), 957);
    EXPECT_EQ(stepFrequency(100, false), 95);
    EXPECT_EQ(stepFrequency(19000, true), 19321);
    EXPECT_EQ(stepFrequency(19000, false), 18031);
    EXPECT_EQ(stepFrequency(20000, true), 20000);
    EXPECT_EQ(stepFrequency(20, false), 20);
}

TEST(FrequencyStep, WalksTheWholeRangeMonotonically) {
    int f = 20;
    int steps = 0;
    while (f < 20000 && steps < 1000) {
        int next = stepFrequency(f, true);
        ASSERT_GT(next, f);
        EXPECT_LE(next, f * 1.08 + 1);  // about 3.5 % per step, two at most
        f = next;
        ++steps;
    }
    EXPECT_EQ(f, 20000);
    EXPECT_GE(steps, 150);
    EXPECT_LE(steps, 200);
}

TEST(EditReadBack, TakesTheLeadingNumberAndLimits) {
    EXPECT_EQ(leadingNumber("-3.5dB"), -3.5);
    EXPECT_EQ(leadingNumber("  120Hz"), 120.0);
    EXPECT_EQ(leadingNumber("+2 ms"), 2.0);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("1e-999"), 0.0);
    EXPECT_EQ(readBackValue("1e999dB", -20, 12), 12.0);
    EXPECT_EQ(readBackValue("-75", -60, 0), -60.0);
    EXPECT_EQ(readBackValue("7.25dB", -60, 0), 0.0);
    EXPECT_EQ(readBackValue("-7.25dB", -60, 0), -7.25);
}

// A text without a number has no value: read as 0 it would be full level.
TEST(EditReadBack, ATextWithoutANumberHasNoValue) {
    for (const char* text : {"dB", "", "   ", "abc", "-", "+", ".", "nan", "inf", "-x3"}) {
        EXPECT_EQ(leadingNumber(text), std::nullopt) << '"' << text << '"';
        EXPECT_EQ(readBackValue(text, -60, 0), std::nullopt) << '"' << text << '"';
    }
}

TEST(FrequencyText, HertzAndThousandsWithK) {
    EXPECT_EQ(parseFrequencyText("1k2"), 1200);
    EXPECT_EQ(parseFrequencyText("2k5"), 2500);
    EXPECT_EQ(parseFrequencyText("3K"), 3000);
    EXPECT_EQ(parseFrequencyText("1.2k"), 1200);
    EXPECT_EQ(parseFrequencyText("120"), 120);
    EXPECT_EQ(parseFrequencyText("120Hz"), 120);
    EXPECT_EQ(parseFrequencyText(" 30000"), 30000);
    EXPECT_EQ(parseFrequencyText("20k"), 20000);
    EXPECT_EQ(parseFrequencyText("1k25"), 1200);  // one digit of hundreds only
    EXPECT_EQ(parseFrequencyText("k2"), std::nullopt);
    EXPECT_EQ(parseFrequencyText("Hz"), std::nullopt);
    EXPECT_EQ(parseFrequencyText(""), std::nullopt);
}

TEST(DelaySteps, OneWholeUnitInCentimetresAndInches) {
    const float perCm = 15.0f / 519.0f;
    const float perInch = 15.0f / 204.0f;
    EXPECT_NEAR(stepDelay(kDelayUnitInch, 0.0f, true), perInch, 1e-6);
    EXPECT_NEAR(stepDelay(kDelayUnitInch, 3 * perInch, false), 2 * perInch, 1e-6);
    EXPECT_NEAR(stepDelay(kDelayUnitCm, 0.0f, true), perCm, 1e-6);
    EXPECT_NEAR(stepDelay(kDelayUnitCm, 10 * perCm, true), 11 * perCm, 1e-6);
    // Limits: nothing below 0 or above the longest delay.
    EXPECT_EQ(stepDelay(kDelayUnitInch, 0.0f, false), 0.0f);
    EXPECT_NEAR(stepDelay(kDelayUnitCm, 15.0f, true), 15.0f, 1e-6);
    // Milliseconds keep their 21 us step.
    EXPECT_NEAR(stepDelay(kDelayUnitMs, 1.0f, true), 1.021f, 1e-6);
    EXPECT_NEAR(stepDelay(kDelayUnitMs, 0.010f, false), 0.0f, 1e-6);
    EXPECT_NEAR(stepDelay(kDelayUnitMs, 14.990f, true), 15.0f, 1e-6);
}

TEST(ValueTexts, ControlFormats) {
    EXPECT_EQ(formatFrequencyText(1000), "1000Hz");
    EXPECT_EQ(formatBandGainText(-3.45f), "-3.5");
    EXPECT_EQ(formatQText(1.41f), "1.41");
    EXPECT_EQ(formatTrimText(-12.7f), "-12dB");  // no fractional trims in this model
}

TEST(Utf8ToWide, DecodesAndReplacesMalformedInput) {
    EXPECT_EQ(utf8ToWide("Scene 1"), u"Scene 1");
    EXPECT_EQ(utf8ToWide("\xC3\xA9t\xC3\xA9"), u"\u00e9t\u00e9");
    EXPECT_EQ(utf8ToWide("\xE5\x9C\xBA\xE6\x99\xAF"), u"\u573a\u666f");
    EXPECT_EQ(utf8ToWide("\xF0\x9F\x8E\xB5"), u"\U0001F3B5");
    EXPECT_EQ(utf8ToWide("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(utf8ToWide("\xC0\xAF"), u"\uFFFD");  // overlong
    EXPECT_EQ(utf8ToWide(std::string_view("x\0y", 3)), std::u16string(u"x\0y", 3));
}

}  // namespace
