// The EQ chart under the user's mouse and keys, on the real widget inside a
// toolkit window built from the program's skin node: what the drags change in
// the chart's copy, which notifications reach the window with which band in
// the control's user data, and that the controller's refreshes in the middle
// of a drag leave the drag alone.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QTest>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/log.h"
#include "chart_harness.h"

namespace ui {
namespace {

using testing::ChartWindow;
using testing::DragTo;
using testing::Hover;
using testing::Press;
using testing::Release;
using Capture = UIEqualizer::Capture;
using Notes = std::vector<std::string>;

// Three bands far apart (25 Hz, 632 Hz, 16 kHz) at 0 dB and Q 1.0, the
// middle one selected, in PEQ or GEQ mode.
class ChartDrag : public ::testing::Test {
protected:
    void Open(bool peq, int scale = 100) {
        window = std::make_unique<ChartWindow>(scale);
        chart = &window->Chart();
        chart->setDragAllDirection(peq);
        bands = testing::SpreadBands(3);
        chart->setCurEqBands(bands, 1);
        chart->setCurEqHpLp(100, 5000);
    }
    QPoint Point(int band) const { return chart->BandPoint(band); }

    std::unique_ptr<ChartWindow> window;
    UIEqualizer* chart = nullptr;
    std::vector<model::EqBand> bands;
};

TEST_F(ChartDrag, QHandlesSitEightyOnePixelsOutAtQOneAndGiveQBackFromTheDistance) {
    Open(true);
    const QPoint p = Point(1);
    const QRect left = chart->QHandleBox(0);
    const QRect right = chart->QHandleBox(1);
    EXPECT_EQ(left.left() + left.width() / 2, p.x() - 81);
    EXPECT_EQ(right.left() + right.width() / 2, p.x() + 81);
    EXPECT_EQ(right.width(), 8);
    // Between the point and its label, just below the point.
    EXPECT_EQ(right.top(), p.y() + 4);
    EXPECT_LT(right.bottom(), chart->LabelBox().top());

    const QPoint onHandle(p.x() + 81, right.center().y());
    Hover(*chart, onHandle);
    EXPECT_EQ(chart->cursor().shape(), Qt::SizeHorCursor);
    Hover(*chart, QPoint(p.x() + 60, right.center().y()));
    EXPECT_EQ(chart->cursor().shape(), Qt::ArrowCursor);

    Press(*chart, onHandle);
    EXPECT_EQ(chart->CaptureState(), Capture::FACTOR_CAPTURED);
    EXPECT_TRUE(window->notes.empty()) << "a press sends nothing";
    DragTo(*chart, QPoint(p.x() + 162, onHandle.y()));
    EXPECT_FLOAT_EQ(chart->Band(1).eqFactor, 0.5f);
    ASSERT_EQ(window->Types(), Notes{"equalizer_eq"});
    EXPECT_EQ(window->notes[0].userData, "1");
    EXPECT_EQ(chart->QHandleBox(1).left() + 4, p.x() + 162) << "the handle follows the Q";
    DragTo(*chart, QPoint(p.x() + 300, onHandle.y()));
    EXPECT_FLOAT_EQ(chart->Band(1).eqFactor, 0.5f);
    EXPECT_EQ(window->notes.size(), 1u) << "an unchanged Q sends nothing";
    DragTo(*chart, QPoint(p.x() + 9, onHandle.y()));
    EXPECT_FLOAT_EQ(chart->Band(1).eqFactor, 9.0f);
    DragTo(*chart, QPoint(p.x() + 2, onHandle.y()));
    EXPECT_FLOAT_EQ(chart->Band(1).eqFactor, 9.0f);
    EXPECT_EQ(window->notes.size(), 2u);
    DragTo(*chart, QPoint(p.x() + 10, onHandle.y()));
    EXPECT_NEAR(chart->Band(1).eqFactor, 8.1f, 1e-4);
    // The other side works the same; the release stores and tells.
    Release(*chart, QPoint(p.x() - 81, onHandle.y()));
    EXPECT_FLOAT_EQ(chart->Band(1).eqFactor, 1.0f);
    EXPECT_EQ(window->Types(),
              (Notes{"equalizer_eq", "equalizer_eq", "equalizer_eq", "equalizer_eq_release"}));
    EXPECT_EQ(chart->CaptureState(), Capture::NOT_CAPTURED);
    EXPECT_EQ(chart->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(chart->Band(1).freq, bands[1].freq) << "a Q drag leaves the frequency";
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, 0.0f);
}

TEST_F(ChartDrag, QHandlesShowOnlyInPeqModeAndMoveWithTheScale) {
    Open(false);
    EXPECT_TRUE(chart->QHandleBox(0).isEmpty());
    Press(*chart, QPoint(Point(1).x() + 81, Point(1).y() + 8));
    EXPECT_EQ(chart->CaptureState(), Capture::NOT_CAPTURED) << "no Q drag in GEQ mode";
    Release(*chart, QPoint(Point(1).x() + 81, Point(1).y() + 8));

    for (int scale : {125, 150}) {
        Open(true, scale);
        const int out = scale * 81 / 100;  // 101 and 121
        const QPoint p = Point(1);
        EXPECT_EQ(chart->QHandleBox(1).left() + chart->QHandleBox(1).width() / 2, p.x() + out);
        EXPECT_EQ(chart->QHandleBox(1).width(), 2 * (scale * 4 / 100));
        // Grabbed where it is drawn the handle gives the same Q back.
        const QPoint onHandle(p.x() + out, chart->QHandleBox(1).center().y());
        Press(*chart, onHandle);
        DragTo(*chart, onHandle + QPoint(1, 0));
        DragTo(*chart, onHandle);
        Release(*chart, onHandle);
        EXPECT_NEAR(chart->Band(1).eqFactor, 1.0f, 0.01f) << scale;
        Press(*chart, onHandle);
        DragTo(*chart, QPoint(p.x() + scale * 200 / 100, onHandle.y()));
        EXPECT_NEAR(chart->Band(1).eqFactor, 0.5f, 0.005f) << scale;
        DragTo(*chart, QPoint(p.x() + scale * 9 / 100, onHandle.y()));
        EXPECT_FLOAT_EQ(chart->Band(1).eqFactor, 9.0f) << scale;
        Release(*chart, QPoint(p.x() + scale * 9 / 100, onHandle.y()));
    }
}

TEST_F(ChartDrag, GeqDragMovesOnlyTheGainAndPeqDragMovesBoth) {
    Open(false);
    const QPoint p = Point(1);
    Press(*chart, p);
    EXPECT_EQ(chart->CaptureState(), Capture::INDEX_CAPTURED);
    EXPECT_EQ(chart->cursor().shape(), Qt::SizeVerCursor);
    DragTo(*chart, p + QPoint(0, -1));  // one pixel is a sixth of a dB
    EXPECT_NEAR(chart->Band(1).eqGain, 12.0 / 79, 1e-5);
    EXPECT_EQ(window->Types(), Notes{"equalizer_eq"});
    window->ClearNotes();
    DragTo(*chart, p + QPoint(50, -20));
    EXPECT_EQ(Point(1), QPoint(p.x(), p.y() - 20));
    EXPECT_EQ(chart->Band(1).freq, bands[1].freq);
    EXPECT_NEAR(chart->Band(1).eqGain, chart->YToGain(p.y() - 20), 1e-5);
    EXPECT_GT(chart->Band(1).eqGain, 2.5f);
    DragTo(*chart, p + QPoint(-70, -20));  // sideways only: nothing to tell
    EXPECT_EQ(Point(1).x(), p.x());
    Release(*chart, p + QPoint(-70, -20));
    EXPECT_EQ(window->Types(), (Notes{"equalizer_eq", "equalizer_eq_release"}));
    EXPECT_EQ(window->notes[1].userData, "1");
    EXPECT_EQ(chart->Band(1).freq, bands[1].freq);
    EXPECT_EQ(chart->cursor().shape(), Qt::PointingHandCursor);

    Open(true);
    Press(*chart, p);
    EXPECT_EQ(chart->cursor().shape(), Qt::SizeAllCursor);
    DragTo(*chart, p + QPoint(50, 30));
    EXPECT_EQ(Point(1), p + QPoint(50, 30));
    EXPECT_EQ(chart->Band(1).freq, chart->XToFrequency(p.x() + 50));
    EXPECT_GT(chart->Band(1).freq, bands[1].freq);
    EXPECT_LT(chart->Band(1).eqGain, -3.0f);
    EXPECT_TRUE(chart->MarkerBox(1).contains(p + QPoint(50, 30))) << "the number follows";
    Release(*chart, p + QPoint(50, 30));
}

// A band whose values lie between the chart's pixels: a click on its point or
// on a Q handle must not round them to the pixel under the pointer.
TEST_F(ChartDrag, ClickWithoutMovingKeepsTheBandsExactValues) {
    for (bool peq : {false, true}) {  // PEQ last: the Q handles follow
        SCOPED_TRACE(peq ? "PEQ" : "GEQ");
        Open(peq);
        bands[1].eqGain = -3.37f;
        bands[1].eqFactor = 1.234f;
        chart->setCurEqBands(bands, 1);
        const QPoint p = Point(1);
        // The pixels give other values, so a stored pixel would show.
        ASSERT_GT(std::fabs(chart->YToGain(p.y()) + 3.37), 0.01);
        ASSERT_NE(chart->XToFrequency(p.x() + 5), bands[1].freq);
        for (QPoint at : {p, p + QPoint(5, -5)}) {  // on the point, and off it in its number
            window->ClearNotes();
            Press(*chart, at);
            Release(*chart, at);
            EXPECT_EQ(chart->Band(1).eqGain, -3.37f);
            EXPECT_EQ(chart->Band(1).eqFactor, 1.234f);
            EXPECT_EQ(chart->Band(1).freq, bands[1].freq);
            EXPECT_EQ(Point(1), p) << "the point stays where the values put it";
            ASSERT_EQ(window->Types(), Notes{"equalizer_eq_release"});
            EXPECT_EQ(window->notes[0].userData, "1");
            EXPECT_EQ(chart->CaptureState(), Capture::NOT_CAPTURED);
            EXPECT_EQ(chart->cursor().shape(), Qt::PointingHandCursor);
        }
    }

    // A Q handle clicked where it is drawn: 81/1.234 rounds to 66 pixels,
    // which would give Q 1.227 back.
    const QRect handle = chart->QHandleBox(1);
    const QPoint onHandle = handle.center();
    ASSERT_TRUE(handle.contains(onHandle));
    ASSERT_GT(std::fabs(81.0 / std::abs(onHandle.x() - Point(1).x()) - 1.234), 0.005);
    window->ClearNotes();
    Press(*chart, onHandle);
    ASSERT_EQ(chart->CaptureState(), Capture::FACTOR_CAPTURED);
    Release(*chart, onHandle);
    EXPECT_EQ(chart->Band(1).eqFactor, 1.234f);
    EXPECT_EQ(chart->Band(1).eqGain, -3.37f);
    EXPECT_EQ(window->Types(), Notes{"equalizer_eq_release"});
    EXPECT_EQ(chart->cursor().shape(), Qt::ArrowCursor);

    // A release away from the press stores where it ends, also with no move
    // reported between; a drag that comes back has stored the pixel on its
    // way.
    const QPoint p = Point(1);
    Press(*chart, p);
    Release(*chart, p + QPoint(0, -12));
    EXPECT_EQ(Point(1), p + QPoint(0, -12));
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, static_cast<float>(chart->YToGain(p.y() - 12)));
    chart->setCurEqBands(bands, 1);
    Press(*chart, p);
    DragTo(*chart, p + QPoint(0, -10));
    DragTo(*chart, p);
    Release(*chart, p);
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, static_cast<float>(chart->YToGain(p.y())));
    EXPECT_EQ(chart->Band(1).freq, chart->XToFrequency(p.x()));
    Press(*chart, onHandle);
    DragTo(*chart, onHandle + QPoint(3, 0));
    DragTo(*chart, onHandle);
    Release(*chart, onHandle);
    EXPECT_NEAR(chart->Band(1).eqFactor, 81.0f / std::abs(onHandle.x() - p.x()), 1e-4);
}

TEST_F(ChartDrag, BandOfAnotherTypeKeepsItsHeight) {
    Open(true);
    bands[1].type = 1;
    chart->setCurEqBands(bands, 1);
    const QPoint p = Point(1);
    Press(*chart, p);
    DragTo(*chart, p + QPoint(40, -30));
    EXPECT_EQ(Point(1), QPoint(p.x() + 40, p.y()));
    EXPECT_EQ(chart->Band(1).freq, chart->XToFrequency(p.x() + 40));
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, 0.0f);
    EXPECT_EQ(chart->Band(1).type, 1);
    Release(*chart, p + QPoint(40, -30));
    EXPECT_EQ(window->Types(), (Notes{"equalizer_eq", "equalizer_eq_release"}));

    Open(false);
    bands[1].type = 2;
    chart->setCurEqBands(bands, 1);
    Press(*chart, p);
    DragTo(*chart, p + QPoint(40, -30));
    EXPECT_EQ(Point(1), p);
    EXPECT_EQ(chart->Band(1).freq, bands[1].freq);
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, 0.0f);
    EXPECT_TRUE(window->notes.empty()) << "nothing changed";
    Release(*chart, p + QPoint(40, -30));
}

TEST_F(ChartDrag, DraggedBandStopsAtTheChartsLimits) {
    Open(true);
    Press(*chart, Point(1));
    DragTo(*chart, QPoint(-60, 500));
    EXPECT_EQ(Point(1), QPoint(0, chart->height()));
    EXPECT_EQ(chart->Band(1).freq, 20);
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, -18.0f);
    DragTo(*chart, QPoint(2000, -300));
    EXPECT_EQ(Point(1), QPoint(chart->width(), 0));
    EXPECT_EQ(chart->Band(1).freq, 20000);
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, 12.0f);
    Release(*chart, QPoint(2000, -300));
    EXPECT_EQ(chart->Band(1).freq, 20000);
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, 12.0f);
    EXPECT_TRUE(chart->rect().contains(chart->MarkerBox(1))) << "its number stays inside";
}

TEST_F(ChartDrag, HoverSelectsOnceAndPressSelectsSilently) {
    Open(true);
    bands = testing::SpreadBands(6);
    chart->setCurEqBands(bands, -1);
    EXPECT_EQ(chart->CurrentControlIndex(), -1);
    EXPECT_TRUE(chart->LabelText().isEmpty());
    const QRect box2 = chart->MarkerBox(2);
    Hover(*chart, box2.center());
    EXPECT_EQ(chart->CurrentControlIndex(), 2);
    EXPECT_EQ(chart->cursor().shape(), Qt::PointingHandCursor);
    ASSERT_EQ(window->Types(), Notes{"equalizer_eq"});
    EXPECT_EQ(window->notes[0].userData, "2");
    EXPECT_FALSE(chart->LabelText().isEmpty());
    Hover(*chart, box2.topLeft());
    Hover(*chart, box2.bottomRight());
    EXPECT_EQ(window->notes.size(), 1u) << "the band was already selected";
    Hover(*chart, chart->MarkerBox(4).center());
    ASSERT_EQ(window->notes.size(), 2u);
    EXPECT_EQ(window->notes[1].userData, "4");
    Hover(*chart, QPoint(box2.center().x(), 5));
    EXPECT_EQ(chart->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(chart->CurrentControlIndex(), 4) << "leaving a band keeps the selection";

    Press(*chart, chart->MarkerBox(1).center());
    EXPECT_EQ(chart->CurrentControlIndex(), 1);
    EXPECT_EQ(window->ChartControl().UserData(), "1");
    EXPECT_EQ(window->notes.size(), 2u) << "a press selects without telling";
    Release(*chart, chart->MarkerBox(1).center());
    EXPECT_EQ(window->Types().back(), "equalizer_eq_release");
}

TEST_F(ChartDrag, SelectionGivenByTheControllerGoesToTheUserData) {
    Open(true);
    chart->setCurEqBands(bands, 2);
    EXPECT_EQ(chart->CurrentControlIndex(), 2);
    EXPECT_EQ(window->ChartControl().UserData(), "2");
    chart->setCurEqBands(bands, -1);
    EXPECT_EQ(chart->CurrentControlIndex(), -1);
    EXPECT_EQ(window->ChartControl().UserData(), "2") << "the last band shown stays";
    EXPECT_TRUE(chart->LabelBox().isEmpty());
    chart->setCurEqBands(bands, 3);  // beyond the bands: no label
    EXPECT_TRUE(chart->LabelText().isEmpty());
    EXPECT_EQ(window->ChartControl().UserData(), "2");
}

// A click on a crossover handle without moving keeps its exact frequency.
TEST_F(ChartDrag, ClickOnACrossoverHandleKeepsItsFrequency) {
    Open(true);
    chart->setCurEqHpLp(123, 4567);
    for (bool highPass : {true, false}) {
        window->ClearNotes();
        const QRect box = highPass ? chart->HpBox() : chart->LpBox();
        ASSERT_FALSE(box.isEmpty());
        const QPoint offCentre = box.topLeft() + QPoint(1, 1);
        Hover(*chart, offCentre);
        Press(*chart, offCentre);
        Release(*chart, offCentre);
        EXPECT_EQ(chart->HpFreq(), 123);
        EXPECT_EQ(chart->LpFreq(), 4567);
        ASSERT_FALSE(window->notes.empty());
        EXPECT_EQ(window->Types().back(),
                  highPass ? "equalizer_hp_release" : "equalizer_lp_release");
    }
}

TEST_F(ChartDrag, HighPassNeverReachesTheLowPassNorTheLowPassTheHighPass) {
    Open(true);
    // A low-pass frequency that one pixel of the chart gives exactly.
    const int lowPass = chart->XToFrequency(400);
    ASSERT_LT(chart->XToFrequency(399), lowPass);
    chart->setCurEqHpLp(100, lowPass);
    ASSERT_EQ(chart->HpFreq(), 100);
    const QRect hp = chart->HpBox();
    ASSERT_FALSE(hp.isEmpty());
    Hover(*chart, hp.center());
    EXPECT_EQ(chart->cursor().shape(), Qt::SizeHorCursor);
    Press(*chart, hp.center());
    EXPECT_EQ(chart->CaptureState(), Capture::HP_CAPTURED);
    EXPECT_EQ(chart->CurrentControlIndex(), -1) << "a crossover drag clears the band";
    EXPECT_EQ(window->ChartControl().UserData(), "1");
    DragTo(*chart, QPoint(chart->width() - 5, hp.center().y()));
    EXPECT_EQ(chart->HpFreq(), 100) << "one jump past the low-pass moves nothing";
    EXPECT_TRUE(window->notes.empty());
    for (int x = hp.center().x(); x < chart->width(); ++x) {
        DragTo(*chart, QPoint(x, hp.center().y()));
        ASSERT_LT(chart->HpFreq(), lowPass) << x;
    }
    EXPECT_EQ(chart->HpFreq(), chart->XToFrequency(399)) << "as close as it may come";
    Release(*chart, QPoint(400, hp.center().y()));
    EXPECT_EQ(chart->HpFreq(), chart->XToFrequency(399));
    EXPECT_EQ(window->Types().back(), "equalizer_hp_release");
    for (const auto& note : window->notes) {
        EXPECT_TRUE(note.type == "equalizer_hp" || note.type == "equalizer_hp_release");
    }

    window->ClearNotes();
    const int highPass = chart->XToFrequency(250);
    ASSERT_GT(chart->XToFrequency(251), highPass);
    chart->setCurEqHpLp(highPass, 1000);
    const QRect lp = chart->LpBox();
    Press(*chart, lp.center());
    EXPECT_EQ(chart->CaptureState(), Capture::LP_CAPTURED);
    for (int x = lp.center().x(); x >= 0; --x) {
        DragTo(*chart, QPoint(x, lp.center().y()));
        ASSERT_GT(chart->LpFreq(), highPass) << x;
    }
    EXPECT_EQ(chart->LpFreq(), chart->XToFrequency(251));
    Release(*chart, QPoint(250, lp.center().y()));
    EXPECT_EQ(chart->LpFreq(), chart->XToFrequency(251));
    EXPECT_EQ(window->Types().front(), "equalizer_lp");
    EXPECT_EQ(window->Types().back(), "equalizer_lp_release");
}

TEST_F(ChartDrag, HiddenLowPassHoldsTheHighPassAndOutOfRangeHidesAHandle) {
    Open(true);
    chart->setCurEqHpLp(100, 30000);
    EXPECT_EQ(chart->LpFreq(), -1);
    EXPECT_TRUE(chart->LpBox().isEmpty());
    const QRect hp = chart->HpBox();
    Press(*chart, hp.center());
    DragTo(*chart, hp.center() + QPoint(40, 0));
    Release(*chart, hp.center() + QPoint(40, 0));
    EXPECT_EQ(chart->HpFreq(), 100);
    EXPECT_EQ(window->Types(), Notes{"equalizer_hp_release"});

    chart->setCurEqHpLp(19, 20001);
    EXPECT_EQ(chart->HpFreq(), -1);
    EXPECT_EQ(chart->LpFreq(), -1);
    window->ClearNotes();
    Press(*chart, hp.center());
    EXPECT_EQ(chart->CaptureState(), Capture::NOT_CAPTURED);
    Release(*chart, hp.center());
    EXPECT_TRUE(window->notes.empty());
    chart->setCurEqHpLp(20, 20000);
    EXPECT_EQ(chart->HpFreq(), 20);
    EXPECT_EQ(chart->LpFreq(), 20000);
    EXPECT_TRUE(chart->rect().contains(chart->HpBox()));
    EXPECT_TRUE(chart->rect().contains(chart->LpBox()));
}

// The controller on every notification: read the band back, keep it to
// tenths of a dB as its sliders do, and feed bands (with another band as the
// selection), crossover and curves again.
TEST_F(ChartDrag, RefreshesInTheMiddleOfADragKeepThePointUnderTheMouse) {
    Open(true);
    bands = testing::SpreadBands(5);
    chart->setCurEqBands(bands, -1);
    const testing::CurveSet curves = testing::FlatCurves({0, 0}, {1, 1});
    int refreshes = 0;
    window->onChartNote = [&](const toolkit::Notification& n) {
        ++refreshes;
        const int band = n.userDataInt;
        if (n.type.rfind("equalizer_eq", 0) == 0 && band >= 0 && band < 5) {
            bands[static_cast<size_t>(band)] = chart->Band(band);
            float& gain = bands[static_cast<size_t>(band)].eqGain;
            gain = std::round(gain * 10.0f) / 10.0f;
        }
        chart->setCurEqBands(bands, 0);
        chart->setCurEqHpLp(chart->HpFreq(), chart->LpFreq());
        testing::Feed(*chart, curves, 0);
    };
    const QPoint start = chart->BandPoint(3);
    Press(*chart, start);
    ASSERT_EQ(chart->CurrentControlIndex(), 3);
    for (QPoint mouse : {start + QPoint(13, -7), start + QPoint(-29, 33), start + QPoint(5, 61),
                         QPoint(700, -40)}) {
        DragTo(*chart, mouse);
        const QPoint clamped(std::clamp(mouse.x(), 0, chart->width()),
                             std::clamp(mouse.y(), 0, chart->height()));
        EXPECT_EQ(chart->CaptureState(), Capture::INDEX_CAPTURED);
        EXPECT_EQ(chart->CurrentControlIndex(), 3);
        EXPECT_EQ(chart->BandPoint(3), clamped);
        EXPECT_TRUE(
            chart->MarkerBox(3).contains(QPoint(std::min(clamped.x(), chart->width() - 1),
                                                std::min(clamped.y(), chart->height() - 1))));
        EXPECT_EQ(window->ChartControl().UserData(), "3");
    }
    EXPECT_EQ(refreshes, 4);
    EXPECT_FLOAT_EQ(chart->Band(3).eqGain, 12.0f);
    Release(*chart, QPoint(700, -40));
    EXPECT_EQ(chart->CaptureState(), Capture::NOT_CAPTURED);
    EXPECT_EQ(window->Types().back(), "equalizer_eq_release");
    // Once the drag is over the controller's selection counts again.
    chart->setCurEqBands(bands, 0);
    EXPECT_EQ(chart->CurrentControlIndex(), 0);

    // A Q drag and a crossover drag go through refreshes the same way.
    chart->setCurEqBands(bands, 2);
    const QPoint handle(chart->BandPoint(2).x() + 81, chart->QHandleBox(1).center().y());
    Press(*chart, handle);
    DragTo(*chart, handle + QPoint(40, 0));
    EXPECT_EQ(chart->CaptureState(), Capture::FACTOR_CAPTURED);
    EXPECT_EQ(chart->CurrentControlIndex(), 2);
    EXPECT_NEAR(chart->Band(2).eqFactor, 81.0f / 121.0f, 0.001f);
    Release(*chart, handle + QPoint(40, 0));
    chart->setCurEqHpLp(100, 5000);
    const QRect hp = chart->HpBox();
    Press(*chart, hp.center());
    DragTo(*chart, hp.center() + QPoint(30, 0));
    EXPECT_EQ(chart->CaptureState(), Capture::HP_CAPTURED);
    EXPECT_EQ(chart->CurrentControlIndex(), -1);
    EXPECT_EQ(chart->HpFreq(), chart->XToFrequency(hp.center().x() + 30));
    Release(*chart, hp.center() + QPoint(30, 0));
}

TEST_F(ChartDrag, ArrowKeysSelectBandsAndStepTheGainByHalfADecibel) {
    Open(true);
    bands = testing::SpreadBands(4);
    bands[3].type = 1;
    chart->setCurEqBands(bands, -1);
    chart->setFocus();
    QTest::keyClick(chart, Qt::Key_Right);
    EXPECT_EQ(chart->CurrentControlIndex(), 0);
    QTest::keyClick(chart, Qt::Key_Left);
    EXPECT_EQ(chart->CurrentControlIndex(), 0);
    ASSERT_EQ(window->Types(), Notes{"equalizer_eq"});
    EXPECT_EQ(window->notes[0].userData, "0");
    QTest::keyClick(chart, Qt::Key_Right);
    EXPECT_EQ(window->notes.back().userData, "1");
    window->ClearNotes();

    const QPoint before = chart->BandPoint(1);
    QTest::keyClick(chart, Qt::Key_Up);
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, 0.5f);
    EXPECT_LT(chart->BandPoint(1).y(), before.y());
    EXPECT_EQ(chart->BandPoint(1).x(), before.x());
    EXPECT_EQ(window->Types(), (Notes{"equalizer_eq", "equalizer_eq_release"}));
    EXPECT_EQ(window->notes[1].userData, "1");
    QTest::keyClick(chart, Qt::Key_Down);
    QTest::keyClick(chart, Qt::Key_Down);
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, -0.5f);
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(chart, Qt::Key_Up);
    }
    EXPECT_FLOAT_EQ(chart->Band(1).eqGain, 12.0f);
    EXPECT_EQ(chart->BandPoint(1).y(), 0);
    window->ClearNotes();
    QTest::keyClick(chart, Qt::Key_Up);
    EXPECT_TRUE(window->notes.empty()) << "nothing above +12 dB";

    QTest::keyClick(chart, Qt::Key_Right);
    QTest::keyClick(chart, Qt::Key_Right);
    QTest::keyClick(chart, Qt::Key_Right);
    EXPECT_EQ(chart->CurrentControlIndex(), 3);
    window->ClearNotes();
    QTest::keyClick(chart, Qt::Key_Down);
    EXPECT_FLOAT_EQ(chart->Band(3).eqGain, 0.0f) << "a band without gain";
    EXPECT_TRUE(window->notes.empty());
}

TEST_F(ChartDrag, DragsAndCrossoverChangesWriteTheirLogLines) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("tq_chart_log_" + std::to_string(::getpid()) + ".log"))
                                 .string();
    ASSERT_TRUE(app::OpenLog(path));
    app::SetLogConsole(false);
    Open(true);
    const QPoint p = Point(1);
    Press(*chart, p);
    DragTo(*chart, p + QPoint(10, -12));
    Release(*chart, p + QPoint(10, -12));
    Press(*chart, chart->HpBox().center());
    DragTo(*chart, chart->HpBox().center() + QPoint(6, 0));
    Release(*chart, chart->HpBox().center() + QPoint(6, 0));
    app::CloseLog();
    app::SetLogConsole(true);
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    std::filesystem::remove(path);
    const std::string log = text.str();
    char expected[128];
    for (const char* line :
         {"setCurEqHpLp mHpFreq(100)\n", "setCurEqHpLp mLpFreq(5000)\n", "INDEX_CAPTURED move x(",
          "INDEX_CAPTURED up x(", "HP_CAPTURED move x(", "mCurrentControlIndex(-1) mHpFreq("}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
    std::snprintf(expected, sizeof expected, "INDEX_CAPTURED up x(%d) y(%d) \n", p.x() + 10,
                  p.y() - 12);
    EXPECT_NE(log.find(expected), std::string::npos) << expected;
    std::snprintf(expected, sizeof expected, "freq (%d) gain(%.2f) \n", chart->Band(1).freq,
                  static_cast<double>(chart->Band(1).eqGain));
    EXPECT_NE(log.find(expected), std::string::npos) << expected;
}

}  // namespace
}  // namespace ui
