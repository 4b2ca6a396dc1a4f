// The chart of the calibration window (skin tag "CurveAc", named
// "equalizer_ac"): a logarithmic frequency grid from 20 Hz to 20 kHz over a
// +/-20 dB scale with three layers of up to 16 curves each: the measured
// speaker responses (121 points each, solid, one colour per speaker), the
// calibration EQ curves (512 points, dashed) and the target curves (512
// points, solid, one colour for all). Display only: the chart keeps copies
// of what it is given and takes no input.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "controller/calibration_chart.h"
#include "ui/controls/chart_attributes.h"
#include "ui/controls/curve_raster.h"

namespace toolkit {
struct XmlElement;
class Window;
class Control;
}  // namespace toolkit

namespace ui {

class UIEqualizerAc final : public QWidget, public controller::CalibrationChart {
public:
    static constexpr int kTopDb = 20;
    static constexpr int kBottomDb = -20;
    static constexpr int kMaxCurves = controller::kCalibrationCurves;
    static constexpr double kPenWidth = 2.0;

    static constexpr std::array<uint32_t, kMaxCurves> kSpeakerPalette = {
        0xffef0000, 0xffef7030, 0xffefef27, 0xffa7ef3a, 0xff009e9e, 0xff0000d3,
        0xff7600ef, 0xffe00068, 0xffff6600, 0xffffff00, 0xffaaff00, 0xff00ff22,
        0xff00ffff, 0xff0088ff, 0xff0000ff, 0xff8f00ff};
    static constexpr std::array<uint32_t, kMaxCurves> kEqPalette = {
        0xffff0000, 0xffff8040, 0xffffff37, 0xffb7ff4a, 0xff00aeae, 0xff0000e3,
        0xff8600ff, 0xfff00078, 0xffff6600, 0xffffff00, 0xffaaff00, 0xff00ff22,
        0xff00ffff, 0xff0088ff, 0xff0000ff, 0xff8f00ff};
    static constexpr uint32_t kTargetColor = 0xffe00068;
    static constexpr uint32_t kLineColor = 0xff444444;

    // scalePercent is used until the chart belongs to a toolkit window; from
    // then on the window's scale counts.
    explicit UIEqualizerAc(QWidget* parent, int scalePercent = 100);
    ~UIEqualizerAc() override;

    // What a window's builder does for a "CurveAc" tag: the chart, with the
    // attributes of its layout node.
    static UIEqualizerAc* Build(const toolkit::XmlElement& node, QWidget* parent,
                                toolkit::Window& window);

    // The chart's own attributes (names without regard to case): "bkcolor"
    // (the background), "textcolor", "disabledtextcolor", "font", "align",
    // "valign", "endellipsis", "wordbreak", "noprefix", "textpadding",
    // "autocalcwidth". The chart draws no text; the text attributes are
    // kept for the toolkit. Other names are the toolkit's and are ignored.
    void ApplyAttributes(const toolkit::XmlElement& node);
    void SetAttribute(std::string_view name, std::string_view value);

    // controller::CalibrationChart
    void setSpeakerCurves(std::span<const controller::SpeakerRow> frequency,
                          std::span<const controller::SpeakerRow> value, int count,
                          std::span<const bool> visible) override;
    void setEqLayerCurves(std::span<const controller::CurveRow> frequency,
                          std::span<const controller::CurveRow> value, int count,
                          std::span<const bool> visible) override;
    void setTargetCurves(std::span<const controller::CurveRow> frequency,
                         std::span<const controller::CurveRow> value, int count,
                         std::span<const bool> visible) override;

    // The display scale in percent.
    int Scale() const;

    // Coordinates inside the chart (the control's rectangle, taken when it
    // changes size and at every paint).
    double ZeroY() const;
    double FrequencyToX(double hz) const;
    double GainToY(double db) const;

    // What the chart holds, for the window and its tests.
    uint32_t Background() const { return mBackground; }
    uint32_t TextColor() const { return mTextColor; }
    uint32_t DisabledTextColor() const { return mDisabledTextColor; }
    int TextStyle() const { return mTextStyle; }
    std::array<int, 4> TextPadding() const { return mTextPadding; }
    int SpeakerCount() const;
    int EqCount() const;
    int TargetCount() const;

    // Paints the chart as its paint event does.
    void Paint(class QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Layers;

    toolkit::Control* OwnControl() const;
    void TakeRectangle();
    void DrawGrid(QPainter& painter);
    void DrawSpeakerLayer();
    void DrawEqLayer();
    void DrawTargetLayer();
    // The curve's points in [fmin, 20 kHz] from the highest frequency down,
    // mapped and, when smoothed, smoothed as the EQ chart smooths its curves.
    void MapCurve(std::span<const double> hz, std::span<const double> db, bool smoothed);

    int mScale;
    // chart rectangle
    int mLeft = 0;
    int mTop = 0;
    int mRight = 0;
    int mBottom = 0;
    int mWidth = 0;
    int mHeight = 0;

    std::unique_ptr<Layers> mLayers;

    // attributes
    chart::FontSpec mFont;
    int mTextStyle = chart::kStyleVCenter | chart::kStyleSingleLine;
    uint32_t mTextColor = 0xff444444;
    uint32_t mDisabledTextColor = 0;
    std::array<int, 4> mTextPadding{};
    bool mAutoCalcWidth = false;
    uint32_t mBackground = 0xFF10141A;

    std::vector<QPoint> mStroke;  // reused by every curve drawn
    std::vector<QPointF> mPolyline;
    CurveRaster mRaster;
};

}  // namespace ui
