// Filter list files: the spellings measurement software writes, what one
// output can take and why the rest is refused, files that are not filter
// lists at all, and an output written out and read back.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/model_cfg.h"
#include "model/filter_file.h"
#include "model/profile.h"
#include "model/units.h"
#include "testkit/build_paths.h"
#include "testkit/temp_dir.h"

namespace {

using model::FilterEntry;
using model::FilterFileError;
using model::FilterType;
using model::FitRefusalReason;
using model::ParseFilterText;

FilterEntry peaking(int number, double hz, double gain, double q) {
    FilterEntry f;
    f.number = number;
    f.frequencyHz = hz;
    f.gainDb = gain;
    f.q = q;
    return f;
}

model::FilterList listOf(std::vector<FilterEntry> filters) {
    model::FilterList list;
    list.filters = std::move(filters);
    return list;
}

void expectFilter(const FilterEntry& f, int number, bool on, FilterType type, double hz,
                  double gain, std::optional<double> q) {
    SCOPED_TRACE(number);
    EXPECT_EQ(f.number, number);
    EXPECT_EQ(f.on, on);
    EXPECT_EQ(f.type, type);
    EXPECT_DOUBLE_EQ(f.frequencyHz, hz);
    EXPECT_DOUBLE_EQ(f.gainDb, gain);
    ASSERT_EQ(f.q.has_value(), q.has_value());
    if (q) {
        EXPECT_NEAR(*f.q, *q, 1e-9);
    }
}

constexpr const char* kMeasuredFile =
    "# Room correction, left\n"
    "; exported 2026-12-01\n"
    "// second comment style\n"
    "\n"
    "Preamp: -6.5 dB\n"
    "   \n"
    "Filter 1: ON PK Fc 1000 Hz Gain -3.0 dB Q 2.00\n"
    "filter 2: on pk fc 1.2 khz gain 4.5 db q 0.71\n"
    "FILTER 3: OFF PK FC 250 HZ GAIN -1.5 DB Q 5.00\n"
    "Filter 4: ON PEQ Fc 63 Hz Gain +2.0 dB BW Oct 1.0\n"
    "Filter 5: ON LSC Fc 105 Hz Gain 6.0 dB Q 0.70\n"
    "Filter 6: ON HP Fc 30 Hz\n";

void expectMeasuredFilters(const model::FilterList& list) {
    ASSERT_TRUE(list.preampDb.has_value());
    EXPECT_DOUBLE_EQ(*list.preampDb, -6.5);
    ASSERT_EQ(list.filters.size(), 6u);
    expectFilter(list.filters[0], 1, true, FilterType::Peaking, 1000, -3.0, 2.0);
    expectFilter(list.filters[1], 2, true, FilterType::Peaking, 1200, 4.5, 0.71);
    expectFilter(list.filters[2], 3, false, FilterType::Peaking, 250, -1.5, 5.0);
    expectFilter(list.filters[3], 4, true, FilterType::Peaking, 63, 2.0, std::sqrt(2.0));
    expectFilter(list.filters[4], 5, true, FilterType::LowShelf, 105, 6.0, 0.70);
    expectFilter(list.filters[5], 6, true, FilterType::HighPass, 30, 0.0, std::nullopt);
    EXPECT_TRUE(list.unreadLines.empty());
}

TEST(FilterFileReading, CaseCommentsBlankLinesKilohertzBandwidthAndPreamp) {
    const auto read = ParseFilterText(kMeasuredFile);
    ASSERT_EQ(read.error, FilterFileError::None);
    expectMeasuredFilters(read.list);
}

TEST(FilterFileReading, WindowsLineEndsAndByteOrderMarkReadTheSame) {
    std::string crlf = "\xEF\xBB\xBF";
    for (const char* c = kMeasuredFile; *c != '\0'; ++c) {
        if (*c == '\n') {
            crlf += '\r';
        }
        crlf += *c;
    }
    const auto read = ParseFilterText(crlf);
    ASSERT_EQ(read.error, FilterFileError::None);
    expectMeasuredFilters(read.list);
}

TEST(FilterFileReading, WithoutPreampNumbersOrSpacesBeforeUnits) {
    const auto read = ParseFilterText(
        "Filter: ON PK Fc 2kHz Gain -2dB Q 1.5\n"
        "Filter: ON PK Fc 3000Hz Gain 1.0dB Q 3\n"
        "Filter 9: ON PK Fc 40 Hz Gain 0 dB Q 1\n"
        "Filter: ON PK Q 2 Gain 1 dB Fc 50 Hz");
    ASSERT_EQ(read.error, FilterFileError::None);
    EXPECT_FALSE(read.list.preampDb.has_value());
    ASSERT_EQ(read.list.filters.size(), 4u);
    expectFilter(read.list.filters[0], 1, true, FilterType::Peaking, 2000, -2.0, 1.5);
    expectFilter(read.list.filters[1], 2, true, FilterType::Peaking, 3000, 1.0, 3.0);
    expectFilter(read.list.filters[2], 9, true, FilterType::Peaking, 40, 0.0, 1.0);
    expectFilter(read.list.filters[3], 10, true, FilterType::Peaking, 50, 1.0, 2.0);
}

TEST(FilterFileReading, NumbersLeftOutCountOnEvenFromTheLargestNumber) {
    const auto read = ParseFilterText(
        "Filter 2147483647: ON PK Fc 100 Hz Q 1\n"
        "Filter: ON PK Fc 200 Hz Q 1\n"
        "Filter 99999999999: ON PK Fc 300 Hz Q 1\n");
    ASSERT_EQ(read.error, FilterFileError::None);
    ASSERT_EQ(read.list.filters.size(), 2u);
    EXPECT_EQ(read.list.filters[1].number, std::numeric_limits<int>::max());
    EXPECT_DOUBLE_EQ(read.list.filters[1].frequencyHz, 200);
    ASSERT_EQ(read.list.unreadLines.size(), 1u);
    EXPECT_EQ(read.list.unreadLines[0].lineNumber, 3);
}

TEST(FilterFileReading, EveryTypeNameOfSuchFiles) {
    const std::vector<std::pair<std::string, FilterType>> names = {
        {"PK", FilterType::Peaking},    {"PEQ", FilterType::Peaking},
        {"LS", FilterType::LowShelf},   {"LSC", FilterType::LowShelf},
        {"LSQ", FilterType::LowShelf},  {"HS", FilterType::HighShelf},
        {"HSC", FilterType::HighShelf}, {"HSQ", FilterType::HighShelf},
        {"LP", FilterType::LowPass},    {"LPQ", FilterType::LowPass},
        {"HP", FilterType::HighPass},   {"HPQ", FilterType::HighPass},
        {"NO", FilterType::Notch},      {"AP", FilterType::AllPass},
        {"BP", FilterType::BandPass},
    };
    for (const auto& [name, type] : names) {
        SCOPED_TRACE(name);
        const auto read = ParseFilterText("Filter 1: ON " + name + " Fc 500 Hz Q 1.0\n");
        ASSERT_EQ(read.error, FilterFileError::None);
        ASSERT_EQ(read.list.filters.size(), 1u);
        EXPECT_EQ(read.list.filters[0].type, type);
    }
    EXPECT_STREQ(model::filterTypeName(FilterType::LowShelf), "LS");
    EXPECT_STREQ(model::filterTypeName(FilterType::BandPass), "BP");
}

TEST(FilterFileReading, BandwidthInOctavesBecomesQ) {
    EXPECT_NEAR(model::qFromBandwidthOctaves(1.0), 1.414214, 1e-6);
    EXPECT_NEAR(model::qFromBandwidthOctaves(2.0), 0.666667, 1e-6);
    EXPECT_NEAR(model::qFromBandwidthOctaves(1.0 / 3.0), 4.318473, 1e-6);
}

TEST(FilterFileReading, GarbageLinesAreListedAndTheGoodOnesRead) {
    const auto read = ParseFilterText(
        "Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n"
        "Filter 2: ON XX Fc 100 Hz Gain 1 dB Q 1\n"
        "Filter 3: ON PK Fc abc Hz Gain 1 dB Q 1\n"
        "Filter 4: ON PK Fc nan Hz Gain 1 dB Q 1\n"
        "Filter 5: ON PK Gain 1 dB Q 1\r\n"
        "Filter 6: ON PK Fc 100 MHz Gain 1 dB Q 1\n"
        "Filter 7: MAYBE PK Fc 100 Hz\n"
        "Filter 8: ON PK Fc 100 Hz Gain 1 dB Q -2\n"
        "Filter 9: ON PK Fc 100 Hz Gain inf dB Q 1\n"
        "Filter x: ON PK Fc 100 Hz Gain 1 dB Q 1\n"
        "Filter 10 ON PK Fc 100 Hz\n"
        "hello there\n"
        "Preamp: loud\n"
        "Preamp: -3 dB\n"
        "Preamp: -9 dB\n"
        "Filter 11: ON PK Fc 8000 Hz Gain -2 dB Q 4 Width 3\n"
        "Filter 13: ON PK Fc 100 Hz Gain 1 dB BW Oct 75075\n"
        "Filter 14: ON PK Fc 100 Hz Gain 1 dB BW Oct 1e-300\n"
        "Filter 12: ON PK Fc 200 Hz Gain -2 dB Q 4\n");
    ASSERT_EQ(read.error, FilterFileError::None);
    ASSERT_EQ(read.list.filters.size(), 2u);
    expectFilter(read.list.filters[0], 1, true, FilterType::Peaking, 100, 1, 1);
    expectFilter(read.list.filters[1], 12, true, FilterType::Peaking, 200, -2, 4);
    ASSERT_TRUE(read.list.preampDb.has_value());
    EXPECT_DOUBLE_EQ(*read.list.preampDb, -3.0);
    std::vector<int> lines;
    for (const auto& unread : read.list.unreadLines) {
        lines.push_back(unread.lineNumber);
    }
    EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18}));
    ASSERT_GE(read.list.unreadLines.size(), 4u);
    EXPECT_EQ(read.list.unreadLines[0].text, "Filter 2: ON XX Fc 100 Hz Gain 1 dB Q 1");
    EXPECT_EQ(read.list.unreadLines[3].text, "Filter 5: ON PK Gain 1 dB Q 1");
}

struct BadText {
    const char* what;
    std::string text;
    FilterFileError error;
};

TEST(FilterFileReading, TextThatIsNoFilterListIsRefusedWithItsError) {
    using namespace std::string_literals;
    const std::vector<BadText> cases = {
        {"nothing", "", FilterFileError::Empty},
        {"blank lines", " \r\n\t\n\n", FilterFileError::Empty},
        {"byte order mark only", "\xEF\xBB\xBF\r\n", FilterFileError::Empty},
        {"a NUL byte", "Filter 1: ON PK Fc 100 Hz Q 1\n\0"s, FilterFileError::Binary},
        {"a byte that is no UTF-8", "Filter 1: ON PK Fc 100 Hz Q 1 \xFF\n",
         FilterFileError::Binary},
        {"an overlong form", "# \xC0\x80\nFilter 1: ON PK Fc 100 Hz Q 1", FilterFileError::Binary},
        {"a cut sequence", "Filter 1: ON PK Fc 100 Hz Q 1\n# \xE2\x82", FilterFileError::Binary},
        {"a surrogate", "# \xED\xA0\x80\nFilter 1: ON PK Fc 100 Hz Q 1", FilterFileError::Binary},
        {"beyond U+10FFFF", "# \xF4\x90\x80\x80\nFilter 1: ON PK Fc 100 Hz Q 1",
         FilterFileError::Binary},
        {"comments only", "# a\n; b\n// c\n", FilterFileError::NoFilters},
        {"no filter line", "Preamp: -3 dB\nEqualizer settings\n", FilterFileError::NoFilters},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto read = ParseFilterText(c.text);
        EXPECT_EQ(read.error, c.error);
        EXPECT_TRUE(read.list.filters.empty());
        EXPECT_FALSE(read.list.preampDb.has_value());
        EXPECT_TRUE(read.list.unreadLines.empty());
    }
    const auto texts = ParseFilterText(
        "# Raum \xD0\xBA\xD0\xBE\xD0\xBC\xE6\xB5\x8B\xF0\x9F\x8E\xB5\n"
        "Filter 1: ON PK Fc 100 Hz Q 1\n");
    EXPECT_EQ(texts.error, FilterFileError::None) << "UTF-8 texts in comments are fine";
}

TEST(FilterFileReading, FilesOnDisk) {
    testkit::TempDir dir;
    const auto path = dir / "filters.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << kMeasuredFile;
    }
    const auto read = model::ReadFilterFile(path);
    ASSERT_EQ(read.error, FilterFileError::None);
    expectMeasuredFilters(read.list);

    EXPECT_EQ(model::ReadFilterFile(dir / "missing.txt").error, FilterFileError::CannotOpen);
    EXPECT_EQ(model::ReadFilterFile(dir.path()).error, FilterFileError::CannotOpen);

    // One byte over the limit, made of lines that would all be good filters.
    const std::string line = "Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\n";
    std::string huge;
    while (huge.size() <= model::kMaxFilterFileBytes) {
        huge += line;
    }
    huge.resize(model::kMaxFilterFileBytes + 1, '\n');
    {
        std::ofstream out(dir / "huge.txt", std::ios::binary);
        out << huge;
    }
    const auto tooLarge = model::ReadFilterFile(dir / "huge.txt");
    EXPECT_EQ(tooLarge.error, FilterFileError::TooLarge);
    EXPECT_TRUE(tooLarge.list.filters.empty());
    huge.resize(model::kMaxFilterFileBytes);
    {
        std::ofstream out(dir / "largest.txt", std::ios::binary);
        out << huge;
    }
    EXPECT_EQ(model::ReadFilterFile(dir / "largest.txt").error, FilterFileError::None);
}

TEST(FilterFileReading, EveryErrorHasItsOwnKey) {
    EXPECT_EQ(model::filterFileErrorKey(FilterFileError::None), nullptr);
    EXPECT_STREQ(model::filterFileErrorKey(FilterFileError::CannotOpen),
                 "${filter_file_open_error}");
    EXPECT_STREQ(model::filterFileErrorKey(FilterFileError::Empty), "${filter_file_empty}");
    EXPECT_STREQ(model::filterFileErrorKey(FilterFileError::TooLarge), "${filter_file_too_large}");
    EXPECT_STREQ(model::filterFileErrorKey(FilterFileError::Binary), "${filter_file_binary}");
    EXPECT_STREQ(model::filterFileErrorKey(FilterFileError::NoFilters),
                 "${filter_file_no_filters}");
}

// --- fitting to one output ---

struct Refused {
    int number;
    FitRefusalReason reason;
    const char* key;
};

void expectRefusals(const model::FilterFit& fit, const std::vector<Refused>& expected) {
    ASSERT_EQ(fit.refusals.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fit.refusals[i].filter.number, expected[i].number);
        EXPECT_EQ(fit.refusals[i].reason, expected[i].reason);
        EXPECT_STREQ(fit.refusals[i].key, expected[i].key);
    }
}

TEST(FilterFitting, PeakingFiltersBecomeBandsAtTheBandsPrecision) {
    const auto fit = model::FitFiltersToOutput(
        listOf({peaking(1, 1000.4, -3.04, 2.004), peaking(2, 63.6, 4.56, 0.707)}), 21);
    EXPECT_TRUE(fit.refusals.empty());
    ASSERT_EQ(fit.bands.size(), 2u);
    EXPECT_EQ(fit.bands[0].freq, 1000);
    EXPECT_FLOAT_EQ(fit.bands[0].eqGain, -3.0f);
    EXPECT_FLOAT_EQ(fit.bands[0].eqFactor, 2.0f);
    EXPECT_EQ(fit.bands[1].freq, 64);
    EXPECT_FLOAT_EQ(fit.bands[1].eqGain, 4.6f);
    EXPECT_FLOAT_EQ(fit.bands[1].eqFactor, 0.71f);
    for (const auto& band : fit.bands) {
        EXPECT_TRUE(band.enable);
        EXPECT_EQ(band.type, 0);
    }
}

TEST(FilterFitting, OffFiltersAndOtherTypesAreListedNotApplied) {
    std::vector<FilterEntry> filters;
    FilterEntry off = peaking(1, 500, -2, 1);
    off.on = false;
    filters.push_back(off);
    const std::vector<FilterType> others = {
        FilterType::LowShelf, FilterType::HighShelf, FilterType::LowPass, FilterType::HighPass,
        FilterType::Notch,    FilterType::AllPass,   FilterType::BandPass};
    for (size_t i = 0; i < others.size(); ++i) {
        FilterEntry f = peaking(static_cast<int>(i) + 2, 500, -2, 1);
        f.type = others[i];
        filters.push_back(f);
    }
    FilterEntry noQ = peaking(20, 500, -2, 1);
    noQ.q.reset();
    filters.push_back(noQ);
    filters.push_back(peaking(21, 700, 1, 1));

    const auto fit = model::FitFiltersToOutput(listOf(filters), 21);
    std::vector<Refused> expected = {{1, FitRefusalReason::Off, "${filter_fit_off}"}};
    for (size_t i = 0; i < others.size(); ++i) {
        expected.push_back(
            {static_cast<int>(i) + 2, FitRefusalReason::NotPeaking, "${filter_fit_not_peaking}"});
        EXPECT_EQ(fit.refusals.size() > i + 1 ? fit.refusals[i + 1].filter.type : FilterType{},
                  others[i]);
    }
    expected.push_back({20, FitRefusalReason::NoQ, "${filter_fit_no_q}"});
    expectRefusals(fit, expected);
    ASSERT_EQ(fit.bands.size(), 1u);
    EXPECT_EQ(fit.bands[0].freq, 700);
}

TEST(FilterFitting, MoreFiltersThanBandsRefusesTheRest) {
    std::vector<FilterEntry> filters;
    for (int i = 1; i <= 5; ++i) {
        filters.push_back(peaking(i, 100.0 * i, 0, 1));
    }
    // A filter refused for its values does not use up a band.
    filters.insert(filters.begin() + 1, peaking(9, 5, 0, 1));
    const auto fit = model::FitFiltersToOutput(listOf(filters), 3);
    ASSERT_EQ(fit.bands.size(), 3u);
    EXPECT_EQ(fit.bands[0].freq, 100);
    EXPECT_EQ(fit.bands[1].freq, 200);
    EXPECT_EQ(fit.bands[2].freq, 300);
    expectRefusals(fit, {{9, FitRefusalReason::FrequencyTooLow, "${filter_fit_freq_low}"},
                         {4, FitRefusalReason::NoBandLeft, "${filter_fit_no_band_left}"},
                         {5, FitRefusalReason::NoBandLeft, "${filter_fit_no_band_left}"}});
    EXPECT_DOUBLE_EQ(fit.refusals[1].limit, 3.0);

    const auto none = model::FitFiltersToOutput(listOf({peaking(1, 100, 0, 1)}), 0);
    EXPECT_TRUE(none.bands.empty());
    expectRefusals(none, {{1, FitRefusalReason::NoBandLeft, "${filter_fit_no_band_left}"}});
}

struct LimitCase {
    FilterEntry filter;
    std::optional<FitRefusalReason> reason;  // none: fits
    double limit;
};

TEST(FilterFitting, EveryLimitOnEachSideNamesTheValueAndTheLimit) {
    const app::ModelCfg& m = app::CurrentModelCfg();
    const double lowHz = m.mEQ_FREQ_MIN;
    const double highHz = model::kMaxFrequencyHz;
    const double lowQ = m.mEQ_FACTOR_MIN;
    const double highQ = m.mEQ_FACTOR_MAX;
    const double lowGain = model::kMinBandGainDb;
    const double highGain = model::kMaxBandGainDb;
    const std::vector<LimitCase> cases = {
        {peaking(1, lowHz - 0.6, 0, 1), FitRefusalReason::FrequencyTooLow, lowHz},
        {peaking(2, lowHz - 0.4, 0, 1), std::nullopt, 0},
        {peaking(3, highHz + 0.4, 0, 1), std::nullopt, 0},
        {peaking(4, highHz + 1, 0, 1), FitRefusalReason::FrequencyTooHigh, highHz},
        {peaking(5, 1000, lowGain - 0.1, 1), FitRefusalReason::GainTooLow, lowGain},
        {peaking(6, 1000, lowGain - 0.04, 1), std::nullopt, 0},
        {peaking(7, 1000, highGain + 0.04, 1), std::nullopt, 0},
        {peaking(8, 1000, highGain + 0.1, 1), FitRefusalReason::GainTooHigh, highGain},
        {peaking(9, 1000, 0, lowQ - 0.01), FitRefusalReason::QTooLow, lowQ},
        {peaking(10, 1000, 0, lowQ - 0.004), std::nullopt, 0},
        {peaking(11, 1000, 0, highQ + 0.004), std::nullopt, 0},
        {peaking(12, 1000, 0, highQ + 0.01), FitRefusalReason::QTooHigh, highQ},
        {peaking(13, 1e300, 0, 1), FitRefusalReason::FrequencyTooHigh, highHz},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter.number);
        const auto fit = model::FitFiltersToOutput(listOf({c.filter}), 21);
        if (!c.reason) {
            EXPECT_TRUE(fit.refusals.empty());
            EXPECT_EQ(fit.bands.size(), 1u);
            continue;
        }
        EXPECT_TRUE(fit.bands.empty());
        ASSERT_EQ(fit.refusals.size(), 1u);
        const auto& r = fit.refusals[0];
        EXPECT_EQ(r.reason, *c.reason);
        EXPECT_STREQ(r.key, model::fitRefusalKey(*c.reason));
        EXPECT_DOUBLE_EQ(r.limit, c.limit);
        const double given = *c.reason <= FitRefusalReason::FrequencyTooHigh ? c.filter.frequencyHz
                             : *c.reason <= FitRefusalReason::GainTooHigh    ? c.filter.gainDb
                                                                             : *c.filter.q;
        EXPECT_DOUBLE_EQ(r.value, given);
    }
}

TEST(FilterFitting, ValuesThatAreNoNumbersAreRefusedNotApplied) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const auto fit = model::FitFiltersToOutput(
        listOf({peaking(1, nan, 0, 1), peaking(2, 100, nan, 1), peaking(3, 100, 0, nan),
                peaking(4, -inf, 0, 1), peaking(5, 100, inf, 1)}),
        21);
    EXPECT_TRUE(fit.bands.empty());
    expectRefusals(fit, {{1, FitRefusalReason::FrequencyTooLow, "${filter_fit_freq_low}"},
                         {2, FitRefusalReason::GainTooLow, "${filter_fit_gain_low}"},
                         {3, FitRefusalReason::QTooLow, "${filter_fit_q_low}"},
                         {4, FitRefusalReason::FrequencyTooLow, "${filter_fit_freq_low}"},
                         {5, FitRefusalReason::GainTooHigh, "${filter_fit_gain_high}"}});
}

// --- writing an output and reading it back ---

TEST(FilterFileWriting, OneLinePerBandInTheSameFormat) {
    auto profile = std::make_unique<model::Profile>();
    model::EqBand* bands = profile->eqArray(2);
    ASSERT_NE(bands, nullptr);
    bands[0] = {-3.0f, 2.0f, 1000, true, 0};
    bands[1] = {4.5f, 0.71f, 125, false, 0};
    bands[2] = {0.0f, 1.5f, 300, true, 1};
    bands[3] = {0.0f, 2.5f, 400, true, 3};
    const std::string text = model::FormatFilterFile(*profile, 2);
    EXPECT_TRUE(text.starts_with("# TQ DSP Audio ")) << text;
    const std::string firstLine = text.substr(0, text.find('\n'));
    EXPECT_TRUE(firstLine.ends_with("output 3")) << firstLine;
    EXPECT_NE(text.find("\nFilter 1: ON PK Fc 1000 Hz Gain -3.0 dB Q 2.00\n"), std::string::npos);
    EXPECT_NE(text.find("\nFilter 2: OFF PK Fc 125 Hz Gain 4.5 dB Q 0.71\n"), std::string::npos);
    EXPECT_NE(text.find("\nFilter 3: ON AP Fc 300 Hz Q 1.50\n"), std::string::npos);
    // A band type without a name in the format is not passed off as peaking.
    EXPECT_NE(text.find("\nFilter 4: OFF PK Fc 400 Hz Gain 0.0 dB Q 2.50\n"), std::string::npos);
    int lines = 0;
    for (char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    EXPECT_EQ(lines, 1 + profile->bandCount(2));
    EXPECT_EQ(model::FormatFilterFile(*profile, -1), "");
    EXPECT_EQ(model::FormatFilterFile(*profile, model::kChannelRecords), "");
}

TEST(FilterFileWriting, ExportThenImportGivesBackTheSameBands) {
    const app::ModelCfg& m = app::CurrentModelCfg();
    auto profile = std::make_unique<model::Profile>();
    for (int output : {0, 5}) {
        SCOPED_TRACE(output);
        const int count = profile->bandCount(output);
        ASSERT_GT(count, 0);
        model::EqBand* bands = profile->eqArray(output);
        std::vector<model::EqBand> enabled;
        for (int i = 0; i < count; ++i) {
            model::EqBand& b = bands[i];
            // Varied values, the limits among them.
            b.freq = i == 0 ? m.mEQ_FREQ_MIN : i == 1 ? model::kMaxFrequencyHz : 37 + 911 * i;
            b.eqGain = i == 2   ? model::kMinBandGainDb
                       : i == 3 ? model::kMaxBandGainDb
                                : static_cast<float>((i * 7 % 29) - 15) / 10.0f * 3.0f;
            b.eqGain = std::round(b.eqGain * 10.0f) / 10.0f;
            b.eqFactor = i == 4 ? m.mEQ_FACTOR_MIN
                         : i == 5
                             ? m.mEQ_FACTOR_MAX
                             : std::round((0.5f + 0.37f * static_cast<float>(i)) * 100.0f) / 100.0f;
            b.enable = i % 4 != 3 || i == 3;
            b.type = 0;
            if (b.enable) {
                enabled.push_back(b);
            }
        }
        const auto read = ParseFilterText(model::FormatFilterFile(*profile, output));
        ASSERT_EQ(read.error, FilterFileError::None);
        EXPECT_TRUE(read.list.unreadLines.empty());
        ASSERT_EQ(read.list.filters.size(), static_cast<size_t>(count));
        const auto fit = model::FitFiltersToOutput(read.list, count);
        ASSERT_EQ(fit.bands.size(), enabled.size());
        for (size_t i = 0; i < enabled.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(fit.bands[i], enabled[i]);
        }
        EXPECT_EQ(fit.refusals.size(), static_cast<size_t>(count) - enabled.size());
        for (const auto& r : fit.refusals) {
            EXPECT_EQ(r.reason, FitRefusalReason::Off);
        }
    }
}

// --- the messages ---

// The printf conversions of a text, in order ("%d%s%s").
std::string conversions(const std::string& text) {
    std::string out;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%') {
            out += text.substr(i, 2);
            ++i;
        }
    }
    return out;
}

// The value of key in one of the generated language files; none when missing.
std::optional<std::string> languageText(const std::string& language, const std::string& key) {
    std::ifstream in(testkit::BuildPath("LANGUAGE_DIR") + "/lan_" + language + ".xml");
    const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string start = "id=\"" + key + "\" value=\"";
    const size_t at = file.find(start);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    const size_t from = at + start.size();
    return file.substr(from, file.find('"', from) - from);
}

TEST(FilterFileMessages, EveryKeyIsTranslatedWithTheValuesItIsGiven) {
    struct Key {
        const char* key;
        const char* conversions;
    };
    std::vector<Key> keys;
    for (auto e : {FilterFileError::CannotOpen, FilterFileError::Empty, FilterFileError::TooLarge,
                   FilterFileError::Binary, FilterFileError::NoFilters}) {
        keys.push_back({model::filterFileErrorKey(e), ""});
    }
    keys.push_back({model::fitRefusalKey(FitRefusalReason::Off), "%d"});
    keys.push_back({model::fitRefusalKey(FitRefusalReason::NotPeaking), "%d%s"});
    keys.push_back({model::fitRefusalKey(FitRefusalReason::NoQ), "%d"});
    keys.push_back({model::fitRefusalKey(FitRefusalReason::NoBandLeft), "%d%d"});
    for (auto r : {FitRefusalReason::FrequencyTooLow, FitRefusalReason::FrequencyTooHigh,
                   FitRefusalReason::GainTooLow, FitRefusalReason::GainTooHigh,
                   FitRefusalReason::QTooLow, FitRefusalReason::QTooHigh}) {
        keys.push_back({model::fitRefusalKey(r), "%d%s%s"});
    }
    std::set<std::string> distinct;
    for (const auto& k : keys) {
        ASSERT_NE(k.key, nullptr);
        distinct.insert(k.key);
        for (const char* language : {"en", "cn", "ru", "de"}) {
            SCOPED_TRACE(std::string(k.key) + " " + language);
            const auto text = languageText(language, k.key);
            ASSERT_TRUE(text.has_value());
            EXPECT_FALSE(text->empty());
            EXPECT_EQ(conversions(*text), k.conversions);
        }
    }
    EXPECT_EQ(distinct.size(), keys.size());
}

}  // namespace
