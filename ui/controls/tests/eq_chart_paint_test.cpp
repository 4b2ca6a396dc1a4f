// What the EQ chart draws, read from its pixels: band numbers and labels where
// the user needs them, the all-bypass text, the curve pens with and without
// the skin's palette, the grid's right edge, the curves' frequency range, and
// the geometry at every display scale.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/model_cfg.h"
#include "chart_harness.h"
#include "toolkit/text_resources.h"

namespace ui {
namespace {

using testing::ChartWindow;
using testing::CountNear;
using testing::Grab;

const QColor kWhite(255, 255, 255);
const QColor kBackground(0x10, 0x14, 0x1A);

model::EqBand BandAt(int hz, float db, float q = 1.0f) {
    model::EqBand band;
    band.freq = hz;
    band.eqGain = db;
    band.eqFactor = q;
    return band;
}

// WCAG relative luminance and contrast.
double Luminance(QColor c) {
    auto channel = [](int v) {
        double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
double Contrast(QColor a, QColor b) {
    double la = Luminance(a);
    double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Rows of one pixel column that show the colour (within a tolerance).
std::vector<int> RowsOf(const QImage& image, int x, QColor color, int tolerance = 8) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (CountNear(image, QRect(x, y, 1, 1), color, tolerance) == 1) {
            rows.push_back(y);
        }
    }
    return rows;
}

TEST(ChartGeometry, EveryMeasureScalesWithTruncation) {
    for (int s : {100, 125, 150}) {
        SCOPED_TRACE(s);
        ChartWindow window(s);
        UIEqualizer& chart = window.Chart();
        EXPECT_EQ(chart.Scale(), s);
        EXPECT_EQ(chart.width(), 626 * s / 100);
        EXPECT_EQ(chart.height(), 198 * s / 100);
        EXPECT_EQ(chart.scaled(25), s == 125 ? 31 : s == 150 ? 37 : 25);
        chart.setDragAllDirection(true);
        chart.setCurEqBands(testing::SpreadBands(3), 1);
        chart.setCurEqHpLp(100, 5000);
        EXPECT_EQ(chart.ZeroY(), static_cast<float>(chart.height() * 12 / 30));
        const QPoint p = chart.BandPoint(1);
        EXPECT_EQ(chart.MarkerBox(1), QRect(p.x() - 8 * s / 100, p.y() - 8 * s / 100,
                                            2 * (8 * s / 100), 2 * (8 * s / 100)));
        EXPECT_EQ(chart.LabelBox(), QRect(p.x() - 75 * s / 100, p.y() + 14 * s / 100,
                                          2 * (75 * s / 100), 29 * s / 100 - 14 * s / 100));
        EXPECT_EQ(chart.QHandleBox(0).left(), p.x() - 81 * s / 100 - 4 * s / 100);
        EXPECT_EQ(chart.HpBox().width(), 2 * (7 * s / 100));
        EXPECT_EQ(chart.HpBox().height(), 10 * s / 100);
        EXPECT_EQ(chart.LpBox().height(), 10 * s / 100 + 2);
        EXPECT_EQ(chart.HpBox().top(), static_cast<int>(chart.GainToY(-8)));
        EXPECT_EQ(chart.LpBox().top(), static_cast<int>(chart.GainToY(-11)));
        chart.setDragAllDirection(false);
        EXPECT_EQ(chart.LabelBox().width(), 2 * (25 * s / 100));
        EXPECT_EQ(chart.LabelText(), "0.0 dB");
        EXPECT_TRUE(chart.QHandleBox(1).isEmpty());
    }
}

TEST(ChartGeometry, ScaleRunsFromTwentyHertzToTwentyKilohertzAndTwelveToMinusEighteen) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    chart.setCurEqBands(testing::SpreadBands(2), -1);
    EXPECT_EQ(chart.ZeroY(), 79.0f);  // 198 * 12 / 30, whole pixels
    EXPECT_EQ(chart.XToFrequency(0), 20);
    EXPECT_EQ(chart.XToFrequency(626), 20000);
    EXPECT_NEAR(chart.FrequencyToX(1000), 626 * std::log10(50.0) / 3, 1e-9);
    for (int hz : {20, 63, 1000, 4321, 19999}) {
        EXPECT_NEAR(chart.XToFrequency(chart.FrequencyToX(hz)), hz, 1) << hz;
    }
    EXPECT_DOUBLE_EQ(chart.GainToY(12), 0.0);
    EXPECT_DOUBLE_EQ(chart.GainToY(-18), 198.0);
    EXPECT_DOUBLE_EQ(chart.GainToY(6), 79.0 - std::round(79.0 * 6) / 12);
    EXPECT_DOUBLE_EQ(chart.GainToY(-9), 79.0 + std::round(119.0 * 9) / 18);
    EXPECT_DOUBLE_EQ(chart.YToGain(0), 12.0);
    EXPECT_DOUBLE_EQ(chart.YToGain(198), -18.0);
    EXPECT_DOUBLE_EQ(chart.YToGain(79), 0.0);
}

TEST(ChartBands, MarkerBoxesAtTheEdgesStayWholeAndShowTheirNumbers) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    chart.setCurEqBands(std::vector<model::EqBand>{BandAt(20, 12), BandAt(20000, -18),
                                                   BandAt(21, -17), BandAt(1000, 0), BandAt(5, 40)},
                        -1);
    EXPECT_EQ(chart.MarkerBox(0), QRect(0, 0, 16, 16));
    EXPECT_EQ(chart.MarkerBox(1), QRect(610, 182, 16, 16));
    EXPECT_EQ(chart.MarkerBox(2), QRect(0, 182, 16, 16));
    const QPoint middle = chart.BandPoint(3);
    EXPECT_EQ(chart.MarkerBox(3), QRect(middle.x() - 8, 71, 16, 16));
    EXPECT_EQ(chart.MarkerBox(4), QRect(0, 0, 16, 16)) << "values beyond the chart sit on its edge";
    const QImage image = Grab(chart);
    for (int band = 0; band < 4; ++band) {
        EXPECT_GT(CountNear(image, chart.MarkerBox(band), kWhite, 60), 3) << band;
    }
}

TEST(ChartBands, SelectedBandNumberAndLabelUseTheSelectColour) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    chart.setDragAllDirection(true);
    chart.setCurEqBands(std::vector<model::EqBand>{BandAt(100, 0), BandAt(1000, -3.5f, 1.41f)}, 1);
    EXPECT_EQ(chart.LabelText(), "1000 Hz 1.41 Q -3.5 dB");
    const QColor select = QColor::fromRgba(chart.SelectTextColor());
    const QImage image = Grab(chart);
    EXPECT_GT(CountNear(image, chart.MarkerBox(1), select, 40), 3);
    EXPECT_EQ(CountNear(image, chart.MarkerBox(1), kWhite, 40), 0);
    EXPECT_GT(CountNear(image, chart.MarkerBox(0), kWhite, 60), 3);
    EXPECT_EQ(CountNear(image, chart.MarkerBox(0), select, 40), 0);
    EXPECT_GT(CountNear(image, chart.LabelBox(), select, 40), 20);
    for (int side : {0, 1}) {
        EXPECT_GT(CountNear(image, chart.QHandleBox(side), select, 10), 10) << side;
    }
}

TEST(ChartBands, LabelMovesAboveThePointNearTheBottom) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    struct Case {
        float db;
        int top;
        int bottom;
    };
    // y = 0, 79, 184 and 198 on the 198 px chart.
    for (Case c : {Case{12, 22, 37}, Case{0, 93, 108}, Case{-16, 155, 170}, Case{-18, 161, 176}}) {
        chart.setCurEqBands(std::vector<model::EqBand>{BandAt(1000, c.db)}, 0);
        const QRect label = chart.LabelBox();
        EXPECT_EQ(label.top(), c.top) << c.db;
        EXPECT_EQ(label.top() + label.height(), c.bottom) << c.db;
        EXPECT_GT(CountNear(Grab(chart), label, QColor::fromRgba(chart.SelectTextColor()), 40), 10)
            << c.db;
    }
    EXPECT_LT(chart.LabelBox().bottom(), chart.BandPoint(0).y());
    // At the sides the label keeps its whole width inside the chart.
    chart.setCurEqBands(std::vector<model::EqBand>{BandAt(20, 0), BandAt(20000, 0)}, 0);
    EXPECT_EQ(chart.LabelBox().left(), 0);
    chart.setCurEqBands(std::vector<model::EqBand>{BandAt(20, 0), BandAt(20000, 0)}, 1);
    EXPECT_EQ(chart.LabelBox().left() + chart.LabelBox().width(), 626);
}

TEST(ChartText, AllBypassTextShowsFortyPixelsBelowTheTopWhenEveryGainIsZero) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    auto bands = testing::SpreadBands(3);
    chart.setCurEqBands(bands, -1);
    ASSERT_TRUE(chart.AllZero());
    const QImage bypassed = Grab(chart);
    bands[0].eqGain = 12.0f;  // its number moves to the top-left corner
    chart.setCurEqBands(bands, -1);
    EXPECT_FALSE(chart.AllZero());
    const QImage shaped = Grab(chart);
    const QRect text =
        testing::Difference(bypassed.copy(40, 0, 586, 198), shaped.copy(40, 0, 586, 198))
            .translated(40, 0);
    ASSERT_FALSE(text.isEmpty());
    const std::string translated = toolkit::Translate("${all_bypass}");
    ASSERT_NE(translated, "${all_bypass}");
    QFont font = chart.font();
    font.setPixelSize(22);
    font.setBold(true);
    const int advance = QFontMetrics(font).horizontalAdvance(QString::fromStdString(translated));
    EXPECT_NEAR(text.width(), advance, 6);
    EXPECT_NEAR(text.center().x(), 313, 4);
    EXPECT_NEAR(text.center().y(), (40 + 198) / 2, 4);  // centred in [top + 40, bottom]
    EXPECT_GT(text.top(), 40);
    // The text is a faint grey, never white.
    EXPECT_EQ(CountNear(bypassed, text, kWhite, 60), 0);
    EXPECT_GT(CountNear(bypassed, text, QColor(0x40, 0x42, 0x45), 2), 30);

    // A logo takes the text's place.
    chart.setCurEqBands(testing::SpreadBands(3), -1);
    chart.SetAttribute("curvelogo", "no_such_logo.png");
    EXPECT_EQ(CountNear(Grab(chart), text, QColor(0x40, 0x42, 0x45), 2), 0);
}

TEST(ChartPens, WithoutAPaletteTheCurrentCurveIsGreenAndTheOthersWideGrey) {
    ChartWindow window(100, true);
    UIEqualizer& chart = window.Chart();
    ASSERT_TRUE(chart.Palette().empty());
    // Output 0 at -7 dB (y 125), output 1 at +7 dB (y 33), output 2 at
    // +3 dB not shown.
    testing::Feed(chart, testing::FlatCurves({-7, 7, 3}, {1, 1, 0}), 0);
    const QImage image = Grab(chart);
    const int x = 300;
    EXPECT_EQ(RowsOf(image, x, QColor(0x00, 0xc0, 0x00)), (std::vector<int>{124, 125}));
    EXPECT_EQ(RowsOf(image, x, QColor(0x64, 0x64, 0x64)), (std::vector<int>{32, 33}));
    // Three pixels wide: half-covered rows on both sides of the grey line,
    // none beside the green one.
    for (int y : {31, 34}) {
        const int red = image.pixelColor(x, y).red();
        EXPECT_GT(red, 0x28) << y;
        EXPECT_LT(red, 0x50) << y;
    }
    EXPECT_EQ(image.pixelColor(x, 123), kBackground);
    EXPECT_EQ(image.pixelColor(x, 126), kBackground);
    EXPECT_EQ(image.pixelColor(x, 59), kBackground) << "a hidden output draws nothing";

    // Output 1 current: it turns green and output 0 grey.
    testing::Feed(chart, testing::FlatCurves({-7, 7, 3}, {1, 1, 0}), 1);
    const QImage swapped = Grab(chart);
    EXPECT_EQ(RowsOf(swapped, x, QColor(0x00, 0xc0, 0x00)), (std::vector<int>{32, 33}));
    EXPECT_EQ(RowsOf(swapped, x, QColor(0x64, 0x64, 0x64)), (std::vector<int>{124, 125}));
}

TEST(ChartPens, TheSkinsPaletteColoursEveryOutputTwoPixelsWide) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    const std::vector<uint32_t>& palette = chart.Palette();
    ASSERT_EQ(static_cast<int>(palette.size()), app::CurrentModelCfg().mOUT_CHANNEL_NUMBER);
    testing::Feed(chart, testing::FlatCurves({-7, 7, 3}, {1, 1, 1}), 2);
    const QImage image = Grab(chart);
    EXPECT_EQ(RowsOf(image, 300, QColor::fromRgba(palette[0])), (std::vector<int>{124, 125}));
    EXPECT_EQ(RowsOf(image, 300, QColor::fromRgba(palette[1])), (std::vector<int>{32, 33}));
    EXPECT_EQ(RowsOf(image, 300, QColor::fromRgba(palette[2])), (std::vector<int>{58, 59}));
    EXPECT_EQ(image.pixelColor(300, 31), kBackground);
    EXPECT_EQ(image.pixelColor(300, 34), kBackground);
}

TEST(ChartPens, SkinColoursAreDistinctAndReadableOnTheChart) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    const std::vector<uint32_t>& palette = chart.Palette();
    for (size_t i = 0; i < palette.size(); ++i) {
        const QColor a = QColor::fromRgba(palette[i]);
        EXPECT_EQ(a.alpha(), 255) << i;
        EXPECT_GE(Contrast(a, kBackground), 4.5) << i;
        for (size_t j = i + 1; j < palette.size(); ++j) {
            const QColor b = QColor::fromRgba(palette[j]);
            const int distance = std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                                 std::abs(a.blue() - b.blue());
            EXPECT_GT(distance, 90) << i << " and " << j;
        }
    }
    const QColor select = QColor::fromRgba(chart.SelectTextColor());
    EXPECT_GE(Contrast(select, kBackground), 4.5);
    EXPECT_NE(select, kWhite) << "the selected band stands out from the others";
}

TEST(ChartAttributes, NamesIgnoreCaseAndAPaletteEndsAtTheFirstPieceThatIsNoColour) {
    ChartWindow window(100, true);
    UIEqualizer& chart = window.Chart();
    chart.SetAttribute("CurveColor", "#FF112233 #ff445566 #nothex #FF778899");
    EXPECT_EQ(chart.Palette(), (std::vector<uint32_t>{0xFF112233, 0xFF445566}));
    chart.SetAttribute("SELECTTEXTCOLOR", "FF00FF00");
    EXPECT_EQ(chart.SelectTextColor(), 0xFF00FF00u);
    chart.setCurEqBands(std::vector<model::EqBand>{BandAt(1000, 3)}, 0);
    EXPECT_GT(CountNear(Grab(chart), chart.LabelBox(), QColor(0, 255, 0), 40), 10);
    std::string many;
    for (int i = 0; i < 40; ++i) {
        many += (i ? " #FF0000" : "#FF0000") + std::to_string(10 + i);
    }
    chart.SetAttribute("curvecolor", many);
    EXPECT_EQ(chart.Palette().size(), 32u) << "one colour per curve the chart holds";
}

TEST(ChartGrid, TheTwentyKilohertzLineIsNeverDrawn) {
    ChartWindow window(100, true);
    UIEqualizer& chart = window.Chart();
    QImage image(chart.width() + 4, chart.height(), QImage::Format_ARGB32);
    const QColor outside(0xFF, 0x00, 0xFF);
    image.fill(outside);
    {
        QPainter painter(&image);
        chart.Paint(painter);
    }
    const int right = chart.width();  // where 20 kHz falls
    ASSERT_EQ(static_cast<int>(std::lround(chart.FrequencyToX(20000))), right);
    const int tenK = static_cast<int>(chart.FrequencyToX(10000));
    for (int y = 1; y <= 10; ++y) {
        EXPECT_EQ(image.pixelColor(right, y), outside) << y;
        EXPECT_EQ(image.pixelColor(tenK, y), QColor(0x44, 0x44, 0x44)) << y;
    }
}

TEST(ChartCurves, PointsUpToTwentyKilohertzAndAHundredBelongToTheCurve) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    const QColor pen = QColor::fromRgba(chart.Palette()[0]);
    // A flat curve at -7 dB (y 125) whose two highest points lie just above
    // 20 kHz; the next one (19.4 kHz) falls at x 621.
    auto rowsNearTheRightEdge = [&](double below, double above) {
        testing::CurveSet curves = testing::FlatCurves({-7}, {1});
        controller::CurveRow& hz = curves.frequency[0];
        for (int k = 0; k < model::kCurvePoints; ++k) {
            hz[static_cast<size_t>(k)] = 10.0 * std::pow(2000.0, k / 511.0);
        }
        hz[510] = below;
        hz[511] = above;
        testing::Feed(chart, curves, 0);
        return RowsOf(Grab(chart), 624, pen);
    };
    EXPECT_EQ(rowsNearTheRightEdge(20050, 20100), (std::vector<int>{124, 125}));
    EXPECT_TRUE(rowsNearTheRightEdge(20150, 20200).empty());
}

TEST(ChartCurves, PhaseCurvesAreDashedAndShownOnlyWhenAsked) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    testing::CurveSet curves = testing::FlatCurves({-7}, {1});
    curves.phase[0].fill(7.0);  // y 33
    testing::Feed(chart, curves, 0);
    const QColor pen = QColor::fromRgba(chart.Palette()[0]);
    const QRect row(100, 32, 400, 2);
    EXPECT_EQ(CountNear(Grab(chart), row, pen, 8), 0);
    chart.setShowPhase(true);
    const int dashed = CountNear(Grab(chart), row, pen, 8);
    EXPECT_GT(dashed, 160);
    EXPECT_LT(dashed, 720) << "gaps between the dashes";
    const std::vector<int> rows = RowsOf(Grab(chart), 300, pen);
    EXPECT_NE(std::find(rows.begin(), rows.end(), 124), rows.end()) << "the magnitude stays";
}

TEST(ChartCurves, AnEmptyCurveSetLeavesTheChartAsItWas) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    testing::Feed(chart, testing::FlatCurves({-7, 7}, {1, 1}), 0);
    const QImage before = Grab(chart);
    chart.setEqCurves({}, {}, {}, 1, {});
    EXPECT_EQ(Grab(chart), before);
    // Fewer outputs than before: the rest are cleared.
    testing::Feed(chart, testing::FlatCurves({-7}, {1}), 0);
    EXPECT_TRUE(RowsOf(Grab(chart), 300, QColor::fromRgba(chart.Palette()[1])).empty());
}

TEST(ChartCrossover, HandlesShowHAndLInWhiteAndTheDraggedOneInTheSelectColour) {
    ChartWindow window(100);
    UIEqualizer& chart = window.Chart();
    const QColor select = QColor::fromRgba(chart.SelectTextColor());
    chart.setCurEqHpLp(100, 5000);
    const QRect hp = chart.HpBox().adjusted(-3, -3, 3, 3);
    const QRect lp = chart.LpBox().adjusted(-3, -3, 3, 3);
    QImage image = Grab(chart);
    EXPECT_GT(CountNear(image, hp, kWhite, 60), 3);
    EXPECT_GT(CountNear(image, lp, kWhite, 60), 3);
    testing::Press(chart, chart.HpBox().center());
    image = Grab(chart);
    EXPECT_GT(CountNear(image, hp, select, 40), 3);
    EXPECT_EQ(CountNear(image, hp, kWhite, 40), 0);
    EXPECT_GT(CountNear(image, lp, kWhite, 60), 3);
    testing::Release(chart, chart.HpBox().center());
    EXPECT_EQ(CountNear(Grab(chart), hp, select, 40), 0);
    chart.setCurEqHpLp(-1, 5000);
    EXPECT_EQ(CountNear(Grab(chart), hp, kWhite, 60), 0);
}

}  // namespace
}  // namespace ui
