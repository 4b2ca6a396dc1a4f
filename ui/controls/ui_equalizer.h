// The EQ chart: the response curves the controller computed, drawn over a
// logarithmic frequency axis, with the current output's curve in front and
// its band points marked.
#pragma once

#include <QWidget>

#include "controller/response_curves.h"

namespace ui {

class UIEqualizer final : public QWidget {
public:
    explicit UIEqualizer(QWidget* parent);

    void SetCurves(controller::ResponseCurves curves);
    const controller::ResponseCurves& Curves() const { return mCurves; }

    // The chart's scale: 20 Hz to 20 kHz, -24 to +18 dB.
    static constexpr double kLowHz = 20.0;
    static constexpr double kHighHz = 20000.0;
    static constexpr double kTopDb = 18.0;
    static constexpr double kBottomDb = -24.0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF PlotArea() const;
    double XOf(double hz, const QRectF& area) const;
    double YOf(double db, const QRectF& area) const;
    void DrawGrid(class QPainter& painter, const QRectF& area) const;
    void DrawCurve(QPainter& painter, const QRectF& area,
                   const controller::ResponseCurve& curve) const;
    void DrawBandPoints(QPainter& painter, const QRectF& area) const;

    controller::ResponseCurves mCurves;
};

}  // namespace ui
