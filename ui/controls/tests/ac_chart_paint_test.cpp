// What the calibration chart draws, read from its pixels: each layer's
// curves in their colours where their values map, hidden and cleared curves
// nowhere, nothing of the points outside 20 Hz .. 20 kHz, the grid at its
// levels and frequencies, the geometry at every display scale, the
// attributes of its layout node and no reaction to the mouse.
#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include "chart_harness.h"
#include "dsp_math/biquad.h"
#include "dsp_math/log_grid.h"

namespace ui {
namespace {

using testing::AcChartWindow;
using testing::CountNear;
using testing::Grab;

constexpr int kTolerance = 8;  // the palettes hold neighbours 16 apart

QColor Rgb(uint32_t argb) {
    return QColor::fromRgba(argb);
}

// A speaker measurement grid running past both ends of the chart: 121
// points from 10 Hz to 40 kHz.
controller::SpeakerRow WideSpeakerGrid() {
    controller::SpeakerRow row{};
    for (size_t k = 0; k < row.size(); ++k) {
        row[k] = 10.0 * std::pow(4000.0, static_cast<double>(k) / (row.size() - 1));
    }
    return row;
}

controller::CurveRow CurveGrid() {
    controller::CurveRow row{};
    dsp::makeLogGrid(dsp::kSampleRate, row);
    return row;
}

// count curves, curve i at levels[i] dB everywhere.
struct SpeakerSet {
    std::vector<controller::SpeakerRow> frequency;
    std::vector<controller::SpeakerRow> value;
    std::unique_ptr<bool[]> visible;
};
SpeakerSet FlatSpeakers(const std::vector<double>& levels, const std::vector<bool>& shown) {
    SpeakerSet set;
    set.visible = std::make_unique<bool[]>(shown.size());
    for (size_t i = 0; i < levels.size(); ++i) {
        set.frequency.push_back(WideSpeakerGrid());
        controller::SpeakerRow row;
        row.fill(levels[i]);
        set.value.push_back(row);
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        set.visible[i] = shown[i];
    }
    return set;
}

struct CurveSet {
    std::vector<controller::CurveRow> frequency;
    std::vector<controller::CurveRow> value;
    std::unique_ptr<bool[]> visible;
};
CurveSet FlatCurves(const std::vector<double>& levels, const std::vector<bool>& shown) {
    CurveSet set;
    set.visible = std::make_unique<bool[]>(shown.size());
    for (size_t i = 0; i < levels.size(); ++i) {
        set.frequency.push_back(CurveGrid());
        controller::CurveRow row;
        row.fill(levels[i]);
        set.value.push_back(row);
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        set.visible[i] = shown[i];
    }
    return set;
}

void Give(UIEqualizerAc& chart, const SpeakerSet& set, int count) {
    chart.setSpeakerCurves(set.frequency, set.value, count,
                           std::span<const bool>(set.visible.get(), set.frequency.size()));
}
void GiveEq(UIEqualizerAc& chart, const CurveSet& set, int count) {
    chart.setEqLayerCurves(set.frequency, set.value, count,
                           std::span<const bool>(set.visible.get(), set.frequency.size()));
}
void GiveTarget(UIEqualizerAc& chart, const CurveSet& set, int count) {
    chart.setTargetCurves(set.frequency, set.value, count,
                          std::span<const bool>(set.visible.get(), set.frequency.size()));
}

// Pixels of the colour in a band of rows around the y of a level, over the
// chart's columns from 30 Hz to 15 kHz.
int NearLevel(const QImage& image, UIEqualizerAc& chart, double db, uint32_t color) {
    const int y = static_cast<int>(std::lround(chart.GainToY(db)));
    const int from = static_cast<int>(chart.FrequencyToX(30));
    const int to = static_cast<int>(chart.FrequencyToX(15000));
    return CountNear(image, QRect(from, y - 3, to - from, 7), Rgb(color), kTolerance);
}

// Pixels of the colour anywhere in the chart.
int Anywhere(const QImage& image, uint32_t color) {
    return CountNear(image, image.rect(), Rgb(color), kTolerance);
}

// Of the columns from 30 Hz to 15 kHz, the share that show the colour near
// the level.
double CoveredShare(const QImage& image, UIEqualizerAc& chart, double db, uint32_t color) {
    const int y = static_cast<int>(std::lround(chart.GainToY(db)));
    const int from = static_cast<int>(chart.FrequencyToX(30));
    const int to = static_cast<int>(chart.FrequencyToX(15000));
    int covered = 0;
    for (int x = from; x < to; ++x) {
        if (CountNear(image, QRect(x, y - 2, 1, 5), Rgb(color), kTolerance) > 0) {
            ++covered;
        }
    }
    return static_cast<double>(covered) / (to - from);
}

TEST(AcChartLayers, EachLayerDrawsItsCurvesInItsColourWhereTheyMap) {
    AcChartWindow window(100);
    UIEqualizerAc& chart = window.Chart();
    const uint32_t speaker0 = UIEqualizerAc::kSpeakerPalette[0];
    const uint32_t speaker4 = UIEqualizerAc::kSpeakerPalette[4];
    const uint32_t eq5 = UIEqualizerAc::kEqPalette[5];
    const uint32_t target = UIEqualizerAc::kTargetColor;

    // Nothing given: no curve colour at all.
    const QImage empty = Grab(chart);
    for (uint32_t color : {speaker0, speaker4, eq5, target}) {
        EXPECT_EQ(Anywhere(empty, color), 0);
    }

    auto speakers = FlatSpeakers({10.0, 0, -5.0, 5.0, -17.0}, {true, false, false, false, true});
    Give(chart, speakers, 5);
    auto eq = FlatCurves({0, 0, 0, 0, 0, -10.0}, {false, false, false, false, false, true});
    GiveEq(chart, eq, 6);
    auto targets = FlatCurves({4.0}, {true});
    GiveTarget(chart, targets, 1);
    const QImage image = Grab(chart);

    EXPECT_GT(NearLevel(image, chart, 10.0, speaker0), 400);
    EXPECT_GT(NearLevel(image, chart, -17.0, speaker4), 400);
    EXPECT_GT(NearLevel(image, chart, -10.0, eq5), 150);
    EXPECT_GT(NearLevel(image, chart, 4.0, target), 400);
    // Each only there: the whole chart holds no more of the colour than the
    // rows around its level.
    const int y10 = static_cast<int>(std::lround(chart.GainToY(10.0)));
    EXPECT_EQ(Anywhere(image, speaker0),
              CountNear(image, QRect(0, y10 - 4, image.width(), 9), Rgb(speaker0), kTolerance));
    // The hidden curves show nowhere.
    for (size_t hidden : {1, 2, 3}) {
        EXPECT_EQ(Anywhere(image, UIEqualizerAc::kSpeakerPalette[hidden]), 0) << hidden;
    }
    EXPECT_EQ(Anywhere(image, UIEqualizerAc::kEqPalette[0]), 0);
    EXPECT_EQ(NearLevel(image, chart, -10.0, speaker0), 0);
    EXPECT_EQ(NearLevel(image, chart, 10.0, eq5), 0);
    EXPECT_EQ(NearLevel(image, chart, -10.0, target), 0);

    // The EQ curves are dashed, the speaker and target curves solid.
    EXPECT_GT(CoveredShare(image, chart, 10.0, speaker0), 0.98);
    EXPECT_GT(CoveredShare(image, chart, 4.0, target), 0.98);
    const double dashed = CoveredShare(image, chart, -10.0, eq5);
    EXPECT_GT(dashed, 0.4);
    EXPECT_LT(dashed, 0.9);
    // Curves are 2 px wide and anti-aliased: a column crosses the speaker
    // curve in two or three pixels, some of them blended with the
    // background.
    const int x = static_cast<int>(chart.FrequencyToX(1000));
    const int y = static_cast<int>(std::lround(chart.GainToY(10.0)));
    const int full = CountNear(image, QRect(x, y - 4, 1, 9), Rgb(speaker0), kTolerance);
    EXPECT_GE(full, 1);
    EXPECT_LE(full, 3);
}

TEST(AcChartLayers, HiddenClearedAndCutCurvesAreNotDrawn) {
    AcChartWindow window(100);
    UIEqualizerAc& chart = window.Chart();
    const uint32_t eq1 = UIEqualizerAc::kEqPalette[1];
    const uint32_t eq2 = UIEqualizerAc::kEqPalette[2];

    // A hidden curve is kept but not drawn.
    auto hidden = FlatCurves({5.0}, {false});
    GiveTarget(chart, hidden, 1);
    EXPECT_EQ(chart.TargetCount(), 1);
    EXPECT_EQ(Anywhere(Grab(chart), UIEqualizerAc::kTargetColor), 0);

    // Three EQ curves, then a count of 0 that changes nothing.
    auto three = FlatCurves({0.0, 8.0, -8.0}, {true, true, true});
    GiveEq(chart, three, 3);
    const QImage before = Grab(chart);
    EXPECT_GT(NearLevel(before, chart, 8.0, eq1), 100);
    EXPECT_GT(NearLevel(before, chart, -8.0, eq2), 100);
    auto other = FlatCurves({12.0, 12.0, 12.0}, {true, true, true});
    GiveEq(chart, other, 0);
    GiveEq(chart, other, -3);
    EXPECT_EQ(chart.EqCount(), 3);
    EXPECT_TRUE(testing::Difference(before, Grab(chart)).isEmpty());

    // A second call with count 1 clears curves 1 and 2 of the layer.
    auto one = FlatCurves({-3.0, 8.0, -8.0}, {true, true, true});
    GiveEq(chart, one, 1);
    EXPECT_EQ(chart.EqCount(), 1);
    const QImage after = Grab(chart);
    EXPECT_GT(NearLevel(after, chart, -3.0, UIEqualizerAc::kEqPalette[0]), 100);
    EXPECT_EQ(Anywhere(after, eq1), 0);
    EXPECT_EQ(Anywhere(after, eq2), 0);
    // The other layers keep theirs.
    EXPECT_EQ(chart.TargetCount(), 1);

    // More than 16 curves: the first 16 are kept, curve 15 drawn in the
    // last colour.
    std::vector<double> levels(20, -19.0);
    levels[15] = 15.0;
    auto many = FlatSpeakers(levels, std::vector<bool>(20, false));
    many.visible[15] = true;
    Give(chart, many, 20);
    EXPECT_EQ(chart.SpeakerCount(), 16);
    EXPECT_GT(NearLevel(Grab(chart), chart, 15.0, UIEqualizerAc::kSpeakerPalette[15]), 400);
    // A count beyond the rows given takes only the rows there are.
    auto two = FlatSpeakers({1.0, 2.0}, {true, true});
    Give(chart, two, 9);
    EXPECT_EQ(chart.SpeakerCount(), 2);
}

TEST(AcChartLayers, PointsOutsideTheChartsRangeAreNotDrawn) {
    AcChartWindow window(100);
    UIEqualizerAc& chart = window.Chart();
    const int w = chart.width();
    const int high = static_cast<int>(chart.GainToY(3.0));  // rows above +3 dB

    // Speaker points below 20 Hz and above 20 kHz at +15 dB, 0 dB inside.
    auto speakers = FlatSpeakers({0.0}, {true});
    for (size_t k = 0; k < speakers.value[0].size(); ++k) {
        const double hz = speakers.frequency[0][k];
        if (hz < 20.0 || hz > 20000.0) {
            speakers.value[0][k] = 15.0;
        }
    }
    Give(chart, speakers, 1);
    // EQ and target points above 20 kHz at +15 dB (the smoothing would
    // carry them into the chart), -10 and -15 dB inside.
    auto eq = FlatCurves({-10.0}, {true});
    auto target = FlatCurves({-15.0}, {true});
    for (size_t k = 0; k < eq.value[0].size(); ++k) {
        if (eq.frequency[0][k] > 20000.0 || eq.frequency[0][k] < 20.0) {
            eq.value[0][k] = 15.0;
            target.value[0][k] = 15.0;
        }
    }
    GiveEq(chart, eq, 1);
    GiveTarget(chart, target, 1);
    const QImage image = Grab(chart);
    const uint32_t colors[] = {UIEqualizerAc::kSpeakerPalette[0], UIEqualizerAc::kEqPalette[0],
                               UIEqualizerAc::kTargetColor};
    for (uint32_t color : colors) {
        SCOPED_TRACE(color);
        EXPECT_EQ(CountNear(image, QRect(0, 0, 8, high), Rgb(color), kTolerance), 0);
        EXPECT_EQ(CountNear(image, QRect(w - 8, 0, 8, high), Rgb(color), kTolerance), 0);
    }
    // While the curves are there inside.
    EXPECT_GT(NearLevel(image, chart, 0.0, colors[0]), 400);
    EXPECT_GT(NearLevel(image, chart, -10.0, colors[1]), 150);
    EXPECT_GT(NearLevel(image, chart, -15.0, colors[2]), 400);
}

// Walked from the highest frequency down, each point of a target or EQ
// curve is the mean of itself and the point before it: a single point at
// +16 dB in a flat 0 dB curve peaks at half its height, and its
// lower-frequency neighbours carry the rest down in halves.
TEST(AcChartLayers, TargetCurvesAreSmoothedTowardsTheLowFrequencies) {
    AcChartWindow window(100);
    UIEqualizerAc& chart = window.Chart();
    auto target = FlatCurves({0.0}, {true});
    size_t spike = 0;
    while (target.frequency[0][spike] < 1000.0) {
        ++spike;
    }
    target.value[0][spike] = 16.0;
    GiveTarget(chart, target, 1);
    const QImage image = Grab(chart);
    const QColor color = Rgb(UIEqualizerAc::kTargetColor);
    int top = image.height();
    for (int y = 0; y < image.height() && top == image.height(); ++y) {
        if (CountNear(image, QRect(0, y, image.width(), 1), color, kTolerance) > 0) {
            top = y;
        }
    }
    EXPECT_GT(top, chart.GainToY(10.0));
    EXPECT_LT(top, chart.GainToY(7.0));
    // A point one grid step below the spike's frequency stands at a quarter
    // of it; a few steps above, the curve is back at 0 dB.
    const int below =
        static_cast<int>(std::lround(chart.FrequencyToX(target.frequency[0][spike - 1])));
    const int above =
        static_cast<int>(std::lround(chart.FrequencyToX(target.frequency[0][spike + 3])));
    const int y4 = static_cast<int>(std::lround(chart.GainToY(4.0)));
    const int y0 = static_cast<int>(std::lround(chart.GainToY(0.0)));
    EXPECT_GT(CountNear(image, QRect(below, y4 - 2, 1, 5), color, kTolerance), 0);
    EXPECT_GT(CountNear(image, QRect(above, y0 - 2, 1, 5), color, kTolerance), 0);
}

// The speaker curves are smooth splines through their points: a step from
// 0 to +10 dB at 1 kHz reaches both levels and swings past them by less
// than a dB and a half.
TEST(AcChartLayers, SpeakerCurvesAreSplinesThroughTheirPoints) {
    AcChartWindow window(100);
    UIEqualizerAc& chart = window.Chart();
    auto speakers = FlatSpeakers({0.0}, {true});
    for (size_t k = 0; k < speakers.value[0].size(); ++k) {
        speakers.value[0][k] = speakers.frequency[0][k] > 1000.0 ? 10.0 : 0.0;
    }
    Give(chart, speakers, 1);
    const QImage image = Grab(chart);
    const uint32_t color = UIEqualizerAc::kSpeakerPalette[0];
    EXPECT_GT(NearLevel(image, chart, 0.0, color), 150);
    EXPECT_GT(NearLevel(image, chart, 10.0, color), 150);
    const int w = image.width();
    const int above = static_cast<int>(chart.GainToY(11.5));
    const int below = static_cast<int>(chart.GainToY(-1.5));
    EXPECT_EQ(CountNear(image, QRect(0, 0, w, above), Rgb(color), kTolerance), 0);
    EXPECT_EQ(CountNear(image, QRect(0, below, w, image.height() - below), Rgb(color), kTolerance),
              0);
    // Between the levels only where the step is.
    const int middle = static_cast<int>(chart.GainToY(5.0));
    const QRect crossing(static_cast<int>(chart.FrequencyToX(900)), middle - 1,
                         static_cast<int>(chart.FrequencyToX(1150) - chart.FrequencyToX(900)), 3);
    EXPECT_EQ(CountNear(image, QRect(0, middle - 1, w, 3), Rgb(color), kTolerance),
              CountNear(image, crossing, Rgb(color), kTolerance));
    EXPECT_GT(CountNear(image, crossing, Rgb(color), kTolerance), 0);
}

TEST(AcChartGrid, LinesAtTheLevelsAndFrequenciesOnePixelWide) {
    AcChartWindow window(150);
    UIEqualizerAc& chart = window.Chart();
    const QImage image = Grab(chart);
    const QColor line = Rgb(UIEqualizerAc::kLineColor);
    const int w = chart.width();
    const int h = chart.height();
    // A column between two grid lines crosses the frame, the 0 dB line and
    // the six dotted levels, one pixel each, and nothing else.
    const int between = static_cast<int>(chart.FrequencyToX(150)) + 1;
    std::set<int> expectedRows = {0, h - 1, static_cast<int>(chart.ZeroY())};
    for (int db : {-15, -10, -5, 5, 10, 15}) {
        expectedRows.insert(static_cast<int>(chart.GainToY(db)));
    }
    EXPECT_EQ(static_cast<int>(chart.ZeroY()), h / 2);
    std::set<int> rows;
    for (int y = 0; y < h; ++y) {
        if (CountNear(image, QRect(between, y, 1, 1), line, 2) == 1) {
            rows.insert(y);
        }
    }
    // Dotted lines miss some columns; the column is moved along until each
    // level has shown once.
    for (int dx = 1; dx < 4; ++dx) {
        for (int y : expectedRows) {
            if (CountNear(image, QRect(between + dx, y, 1, 1), line, 2) == 1) {
                rows.insert(y);
            }
        }
    }
    EXPECT_EQ(rows, expectedRows);
    // The 0 dB line is solid, the levels dotted.
    const int zeroRow = CountNear(image, QRect(0, static_cast<int>(chart.ZeroY()), w, 1), line, 2);
    const int dottedRow =
        CountNear(image, QRect(0, static_cast<int>(chart.GainToY(10)), w, 1), line, 2);
    EXPECT_EQ(zeroRow, w);
    EXPECT_GT(dottedRow, w / 5);
    EXPECT_LT(dottedRow, w * 3 / 4);

    // A row between two levels crosses the vertical lines at the 27 grid
    // frequencies below 20 kHz and the frame's right edge, nothing else.
    const int y = static_cast<int>(chart.GainToY(2.5));
    std::set<int> expectedColumns = {w - 1};
    for (int hz : {20,  30,  40,  50,   60,   70,   80,   90,   100,  200,  300,  400,  500,  600,
                   700, 800, 900, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000}) {
        expectedColumns.insert(static_cast<int>(chart.FrequencyToX(hz)));
    }
    std::set<int> columns;
    for (int x = 0; x < w; ++x) {
        if (CountNear(image, QRect(x, y, 1, 1), line, 2) == 1) {
            columns.insert(x);
        }
    }
    EXPECT_EQ(columns, expectedColumns);
}

class AcChartScales : public ::testing::TestWithParam<int> {};

TEST_P(AcChartScales, TheMappingFillsTheControlsRectangle) {
    const int s = GetParam();
    AcChartWindow window(s);
    UIEqualizerAc& chart = window.Chart();
    EXPECT_EQ(chart.Scale(), s);
    EXPECT_EQ(chart.width(), 640 * s / 100);
    EXPECT_EQ(chart.height(), 300 * s / 100);
    auto speakers = FlatSpeakers({19.0}, {true});
    Give(chart, speakers, 1);
    auto targets = FlatCurves({-19.0}, {true});
    GiveTarget(chart, targets, 1);
    const QImage image = Grab(chart);
    // The curves end on the chart's edges, inside it, at their levels.
    EXPECT_DOUBLE_EQ(chart.FrequencyToX(20), 0.0);
    EXPECT_DOUBLE_EQ(chart.FrequencyToX(20000), chart.width());
    EXPECT_DOUBLE_EQ(chart.GainToY(20), 0.0);
    EXPECT_DOUBLE_EQ(chart.GainToY(-20), chart.height());
    EXPECT_NEAR(chart.GainToY(10), chart.height() / 4.0, 1.0);
    const double rowOf19 = chart.GainToY(19.0);
    EXPECT_GT(rowOf19, 0.0);
    const uint32_t speaker = UIEqualizerAc::kSpeakerPalette[0];
    EXPECT_GT(NearLevel(image, chart, 19.0, speaker), 400);
    EXPECT_GT(NearLevel(image, chart, -19.0, UIEqualizerAc::kTargetColor), 400);
    // Both reach close to both edges of the control.
    for (uint32_t color : {speaker, UIEqualizerAc::kTargetColor}) {
        EXPECT_GT(CountNear(image, QRect(0, 0, 12, chart.height()), Rgb(color), kTolerance), 0);
        EXPECT_GT(CountNear(image, QRect(chart.width() - 12, 0, 12, chart.height()), Rgb(color),
                            kTolerance),
                  0);
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, AcChartScales, ::testing::Values(100, 125, 150));

TEST(AcChartAttributes, BackgroundTextColourAndUnknownNames) {
    AcChartWindow plain(100);
    const QImage plainImage = Grab(plain.Chart());
    AcChartWindow window(
        100,
        "BkColor=\"#FF203040\" textcolor=\"#FF123456\" disabledtextcolor=\"#FF654321\" "
        "textpadding=\"1,2,3,4\" align=\"right\" curvecolor=\"#FF00FF00 #FF00FF00\" "
        "selecttextcolor=\"#FFFFFFFF\" somethingelse=\"7\"");
    UIEqualizerAc& chart = window.Chart();
    EXPECT_EQ(chart.Background(), 0xFF203040u);
    EXPECT_EQ(chart.TextColor(), 0xFF123456u);
    EXPECT_EQ(chart.DisabledTextColor(), 0xFF654321u);
    EXPECT_EQ(chart.TextPadding(), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_TRUE(chart.TextStyle() & chart::kStyleRight);
    // The background shows where no line is; the plain chart's does not.
    const QPoint empty(static_cast<int>(chart.FrequencyToX(150)) + 2,
                       static_cast<int>(chart.GainToY(2.5)));
    EXPECT_EQ(Grab(chart).pixelColor(empty), QColor(0x20, 0x30, 0x40));
    EXPECT_NE(plainImage.pixelColor(empty), QColor(0x20, 0x30, 0x40));
    // A palette attribute of the EQ chart is not the calibration chart's.
    auto speakers = FlatSpeakers({6.0}, {true});
    Give(chart, speakers, 1);
    const QImage image = Grab(chart);
    EXPECT_GT(NearLevel(image, chart, 6.0, UIEqualizerAc::kSpeakerPalette[0]), 400);
    EXPECT_EQ(Anywhere(image, 0xFF00FF00), 0);

    // Values that are not colours leave the colours as they were.
    chart.SetAttribute("bkcolor", "pink");
    chart.SetAttribute("textcolor", "#12345G");
    EXPECT_EQ(chart.Background(), 0xFF203040u);
    EXPECT_EQ(chart.TextColor(), 0xFF123456u);
    chart.SetAttribute("TEXTCOLOR", "#80FF0000");
    EXPECT_EQ(chart.TextColor(), 0x80FF0000u);
}

TEST(AcChartInput, TheMouseChangesNothing) {
    AcChartWindow window(100);
    UIEqualizerAc& chart = window.Chart();
    auto speakers = FlatSpeakers({0.0, 5.0}, {true, true});
    Give(chart, speakers, 2);
    const QImage before = Grab(chart);
    window.notes.clear();
    const QPoint on(static_cast<int>(chart.FrequencyToX(1000)),
                    static_cast<int>(chart.GainToY(5.0)));
    testing::Hover(chart, on);
    testing::Press(chart, on);
    testing::DragTo(chart, on + QPoint(40, 60));
    testing::Release(chart, on + QPoint(40, 60));
    QApplication::processEvents();
    EXPECT_TRUE(testing::Difference(before, Grab(chart)).isEmpty());
    EXPECT_EQ(chart.SpeakerCount(), 2);
    for (const std::string& note : window.notes) {
        EXPECT_EQ(note.find("equalizer_ac"), std::string::npos) << note;
    }
}

}  // namespace
}  // namespace ui
