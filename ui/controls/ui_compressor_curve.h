// The compressor window's chart (skin tag "Curve", named "Curve"): the
// static characteristic of the current output's compressor, input level to
// the right against output level upwards, both over the same dB range. The
// grid is the EQ charts' own; the 1:1 line is dotted; the curve is drawn
// with its threshold, ratio and soft knee and a marker where the input
// meets the threshold. A bypassed compressor passes every level, so the
// chart then shows the 1:1 line as its curve, greyed, and no marker.
// Display only: the chart takes no input.
#pragma once

#include <QPointF>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "controller/compressor_chart.h"
#include "ui/controls/chart_attributes.h"
#include "ui/controls/curve_raster.h"

class QPainter;

namespace toolkit {
struct XmlElement;
class Window;
}  // namespace toolkit

namespace ui {

class UICompressorCurve final : public QWidget, public controller::CompressorChart {
public:
    static constexpr uint32_t kLineColor = 0xff444444;
    static constexpr uint32_t kUnityColor = 0xff7a828c;
    static constexpr uint32_t kCurveColor = 0xff3d9bff;
    static constexpr uint32_t kBypassedColor = 0xff6b7480;
    static constexpr double kPenWidth = 2.0;
    // The marker's radius at 100 %.
    static constexpr double kMarkerRadius = 4.0;

    // scalePercent sizes the marker.
    explicit UICompressorCurve(QWidget* parent, int scalePercent = 100);

    // What a window's builder does for the tag: the chart, with the
    // attributes of its layout node.
    static UICompressorCurve* Build(const toolkit::XmlElement& node, QWidget* parent,
                                    toolkit::Window& window);

    // The chart's own attributes (names without regard to case): "bkcolor",
    // "linecolor" (the grid), "curvecolor", "bypasscolor". Others are the
    // toolkit's and are ignored.
    void ApplyAttributes(const toolkit::XmlElement& node);
    void SetAttribute(std::string_view name, std::string_view value);

    // controller::CompressorChart
    void ShowCompressor(const controller::CompressorView& view) override;
    const controller::CompressorView& View() const { return mView; }

    // Coordinates inside the chart for the levels of its range.
    double InputToX(double db) const;
    double OutputToY(double db) const;

    uint32_t Background() const { return mBackground; }
    uint32_t CurveColor() const { return mCurveColor; }
    uint32_t BypassedColor() const { return mBypassedColor; }

    // Paints the chart as its paint event does.
    void Paint(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawGrid(QPainter& painter);
    void DrawUnityLine(QPainter& painter);
    void DrawCurve();
    void DrawMarker(QPainter& painter);
    double Span() const;

    int mScale;
    controller::CompressorView mView;
    uint32_t mBackground = 0xFF10141A;
    uint32_t mLineColor = kLineColor;
    uint32_t mCurveColor = kCurveColor;
    uint32_t mBypassedColor = kBypassedColor;
    std::vector<int> mLevels;  // the grid's dB levels, every 10 or 20 dB
    std::vector<QPointF> mPolyline;
    CurveRaster mRaster;
};

}  // namespace ui
