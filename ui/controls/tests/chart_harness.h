// The EQ chart as the main window has it: built by a toolkit window from a
// layout that holds the program skin's own "equalizer" node, at a display
// scale of the test's choice, with the chart's notifications recorded as the
// window receives them. Mouse and image helpers for the chart tests.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <functional>
#include <string>
#include <vector>

#include "controller/eq_chart.h"
#include "model/profile.h"
#include "toolkit/window.h"
#include "ui/controls/ui_equalizer.h"
#include "ui/controls/ui_equalizer_ac.h"

namespace ui::testing {

// Takes the "equalizer" node from the program's main layout and serves the
// test layouts from a folder of the tests' own from then on.
bool PrepareChartLayouts();
void RemoveChartLayouts();
const toolkit::XmlElement& SkinChartNode();

struct ChartNote {
    std::string type;
    std::string userData;  // the control's user data when it arrived
};

class ChartWindow : public toolkit::Window {
public:
    // plain: a chart node with no attributes of the chart's own (default
    // colours, no palette).
    explicit ChartWindow(int scale, bool plain = false);

    UIEqualizer& Chart() const { return *mChart; }
    toolkit::Control& ChartControl() const { return *Find("equalizer"); }

    std::vector<ChartNote> notes;
    // What the controller does on a notification (reads the chart back and
    // feeds it again).
    std::function<void(const toolkit::Notification&)> onChartNote;

    std::vector<std::string> Types() const;
    void ClearNotes() { notes.clear(); }

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    UIEqualizer* mChart = nullptr;
};

// The calibration chart as its window has it: a "CurveAc" node named
// "equalizer_ac" of 640 x 300 at 100 %, with the attributes given (written
// as in a layout, for example  bkcolor="#FF203040"), at a display scale of
// the test's choice. Every notification the window receives is recorded.
class AcChartWindow : public toolkit::Window {
public:
    explicit AcChartWindow(int scale, const std::string& attributes = "");

    UIEqualizerAc& Chart() const { return *mChart; }
    std::vector<std::string> notes;

protected:
    void Notify(const toolkit::Notification& notification) override;

private:
    UIEqualizerAc* mChart = nullptr;
};

// The mouse as the user moves it over the chart.
void Hover(QWidget& widget, QPoint at);
void Press(QWidget& widget, QPoint at);
void DragTo(QWidget& widget, QPoint at);
void Release(QWidget& widget, QPoint at);

// The chart as it shows on screen.
QImage Grab(QWidget& widget);
// Pixels inside the rectangle within tolerance of the colour, per channel.
int CountNear(const QImage& image, const QRect& area, QColor color, int tolerance = 24);
// The bounding box of the pixels that differ between two images.
QRect Difference(const QImage& a, const QImage& b);

// n bands spread evenly on the log scale from 25 Hz to 16 kHz.
std::vector<model::EqBand> SpreadBands(int n, float gainDb = 0.0f, float q = 1.0f);

// Curve rows for setEqCurves: the controller's frequency grid, each
// channel's magnitude given as a function of frequency.
struct CurveSet {
    std::vector<controller::CurveRow> frequency;
    std::vector<controller::CurveRow> magnitude;
    std::vector<controller::CurveRow> phase;
    std::vector<int32_t> show;
};
CurveSet FlatCurves(const std::vector<double>& levelsDb, const std::vector<int32_t>& show);
void Feed(UIEqualizer& chart, const CurveSet& curves, int current);

}  // namespace ui::testing
