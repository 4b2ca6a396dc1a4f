// What the compressor chart draws, read from its pixels: the curve where the
// compressor's static curve puts it (on the 1:1 line below the knee, bent
// down above it), the marker at the threshold, the greyed 1:1 line of a
// bypassed compressor, the range it is given, the grid at its levels, and
// the attributes of its layout node.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "chart_harness.h"
#include "dsp_math/compressor_curve.h"
#include "toolkit/xml_document.h"
#include "ui/controls/ui_compressor_curve.h"

namespace ui {
namespace {

using testing::CountNear;

constexpr int kSize = 300;

QColor Rgb(uint32_t argb) {
    return QColor::fromRgba(argb);
}

controller::CompressorView ViewOf(double low, double high, dsp::CompressorShape shape,
                                  bool bypassed = false) {
    controller::CompressorView view;
    view.lowDb = low;
    view.highDb = high;
    view.shape = shape;
    view.bypassed = bypassed;
    return view;
}

class CompressorCurvePaint : public ::testing::Test {
protected:
    QImage Painted(const controller::CompressorView& view) {
        mChart.resize(kSize, kSize);
        mChart.ShowCompressor(view);
        QImage image(kSize, kSize, QImage::Format_ARGB32);
        QPainter painter(&image);
        mChart.Paint(painter);
        return image;
    }
    // Whether the colour shows within two pixels of the point the chart maps
    // the levels to.
    bool ShowsAt(const QImage& image, double in, double out, uint32_t color, int tolerance = 40) {
        const QPoint at(static_cast<int>(std::lround(mChart.InputToX(in))),
                        static_cast<int>(std::lround(mChart.OutputToY(out))));
        return CountNear(image, QRect(at - QPoint(2, 2), QSize(5, 5)), Rgb(color), tolerance) > 0;
    }

    UICompressorCurve mChart{nullptr};
};

TEST_F(CompressorCurvePaint, TheCurveLiesWhereTheCompressorPutsTheLevels) {
    const dsp::CompressorShape shape{-30.0, 4.0, 12.0};
    const QImage image = Painted(ViewOf(-60.0, 0.0, shape));
    const uint32_t curve = UICompressorCurve::kCurveColor;
    for (double in = -58.0; in <= -2.0; in += 4.0) {
        SCOPED_TRACE(in);
        EXPECT_TRUE(ShowsAt(image, in, dsp::CompressorOutputDb(in, shape), curve));
    }
    // Well above the knee the curve has left the 1:1 line: at -4 dB in,
    // -23.5 dB out, not -4.
    EXPECT_FALSE(ShowsAt(image, -4.0, -4.0, curve));
    EXPECT_FALSE(ShowsAt(image, -10.0, -10.0, curve));
    // Below the knee it runs on it.
    EXPECT_TRUE(ShowsAt(image, -50.0, -50.0, curve));
    // A steeper ratio bends it further down.
    const dsp::CompressorShape limiter{-30.0, 100.0, 0.0};
    const QImage limited = Painted(ViewOf(-60.0, 0.0, limiter));
    EXPECT_TRUE(ShowsAt(limited, -4.0, dsp::CompressorOutputDb(-4.0, limiter), curve));
    EXPECT_FALSE(ShowsAt(limited, -4.0, dsp::CompressorOutputDb(-4.0, shape), curve));
}

TEST_F(CompressorCurvePaint, AMarkerSitsOnTheThreshold) {
    const dsp::CompressorShape shape{-20.0, 3.0, 0.0};
    const QImage image = Painted(ViewOf(-60.0, 0.0, shape));
    const QPoint at(static_cast<int>(mChart.InputToX(-20.0)),
                    static_cast<int>(mChart.OutputToY(-20.0)));
    const double r = UICompressorCurve::kMarkerRadius;
    // Its ring, in the curve's colour, all round the point.
    for (const QPoint offset : {QPoint(0, -r), QPoint(0, r), QPoint(-r, 0), QPoint(r, 0)}) {
        EXPECT_GT(CountNear(image, QRect(at + offset - QPoint(1, 1), QSize(3, 3)),
                            Rgb(UICompressorCurve::kCurveColor), 60),
                  0)
            << offset.x() << "," << offset.y();
    }
    // Nowhere else on the curve is there such a ring: a threshold moved
    // moves it.
    const QImage moved = Painted(ViewOf(-60.0, 0.0, {-45.0, 3.0, 0.0}));
    EXPECT_EQ(CountNear(moved, QRect(at + QPoint(0, -r) - QPoint(1, 1), QSize(3, 3)),
                        Rgb(UICompressorCurve::kCurveColor), 60),
              0);
}

TEST_F(CompressorCurvePaint, ABypassedCompressorShowsTheGreyedOneToOneLine) {
    const dsp::CompressorShape shape{-30.0, 4.0, 12.0};
    const QImage image = Painted(ViewOf(-60.0, 0.0, shape, true));
    EXPECT_EQ(CountNear(image, image.rect(), Rgb(UICompressorCurve::kCurveColor), 30), 0);
    for (double in = -56.0; in <= -4.0; in += 8.0) {
        SCOPED_TRACE(in);
        // Close enough to tell it from the dotted 1:1 line under it.
        EXPECT_TRUE(ShowsAt(image, in, in, UICompressorCurve::kBypassedColor, 6));
    }
    EXPECT_FALSE(ShowsAt(image, -4.0, dsp::CompressorOutputDb(-4.0, shape),
                         UICompressorCurve::kBypassedColor));
}

TEST_F(CompressorCurvePaint, TheRangeGivenFillsBothAxes) {
    const dsp::CompressorShape shape{64.0, 100.0, 24.0};
    const QImage image = Painted(ViewOf(-100.0, 100.0, shape));
    EXPECT_DOUBLE_EQ(mChart.InputToX(-100.0), 0.0);
    EXPECT_DOUBLE_EQ(mChart.InputToX(100.0), kSize);
    EXPECT_DOUBLE_EQ(mChart.OutputToY(100.0), 0.0);
    EXPECT_DOUBLE_EQ(mChart.OutputToY(0.0), kSize / 2.0);
    EXPECT_TRUE(
        ShowsAt(image, 90.0, dsp::CompressorOutputDb(90.0, shape), UICompressorCurve::kCurveColor));
    EXPECT_TRUE(ShowsAt(image, 0.0, 0.0, UICompressorCurve::kCurveColor));
    // The grid: a solid line at 0 dB across and a line at every 20 dB up.
    const int zeroY = static_cast<int>(mChart.OutputToY(0.0));
    EXPECT_GT(CountNear(image, QRect(5, zeroY, 40, 1), Rgb(UICompressorCurve::kLineColor), 4), 30);
    const int x40 = static_cast<int>(mChart.InputToX(40.0));
    EXPECT_GT(CountNear(image, QRect(x40, 5, 1, 40), Rgb(UICompressorCurve::kLineColor), 4), 30);
    const int x50 = static_cast<int>(mChart.InputToX(50.0));
    // None between: only the dotted 80 dB line crosses there.
    EXPECT_LE(CountNear(image, QRect(x50, 5, 1, 40), Rgb(UICompressorCurve::kLineColor), 4), 2);
}

TEST_F(CompressorCurvePaint, TheLayoutNodesColoursCount) {
    toolkit::XmlElement node;
    node.attributes = {{"BkColor", "#FF203040"},
                       {"curvecolor", "#FFFFA000"},
                       {"bypasscolor", "0xFF00C0C0"},
                       {"linecolor", "nonsense"}};
    mChart.ApplyAttributes(node);
    EXPECT_EQ(mChart.Background(), 0xFF203040u);
    EXPECT_EQ(mChart.CurveColor(), 0xFFFFA000u);
    EXPECT_EQ(mChart.BypassedColor(), 0xFF00C0C0u);
    const QImage image = Painted(ViewOf(-60.0, 0.0, {-30.0, 4.0, 0.0}));
    EXPECT_TRUE(ShowsAt(image, -50.0, -50.0, 0xFFFFA000u));
    EXPECT_GT(CountNear(image, QRect(2, 2, 6, 6), QColor(0x20, 0x30, 0x40), 2), 20);
    const QImage bypassed = Painted(ViewOf(-60.0, 0.0, {-30.0, 4.0, 0.0}, true));
    EXPECT_TRUE(ShowsAt(bypassed, -10.0, -10.0, 0xFF00C0C0u));
}

}  // namespace
}  // namespace ui
