// A slider that moves in whole steps of the setting it holds. A wheel notch
// or an arrow key moves it one step, a drag lands on the step grid, and a
// drag with Shift held moves one step every few pixels, so that a short
// slider still reaches every step of a long range.
#pragma once

#include <QPoint>
#include <QSlider>

namespace toolkit {

class SkinSlider : public QSlider {
public:
    SkinSlider(Qt::Orientation orientation, QWidget* parent, int scalePercent);

    // The step of the setting, in slider units (a trim slider in tenths of a
    // dB steps by 10). Values land on minimum + k * step, or on the maximum.
    void SetStep(int step);
    int Step() const { return mStep; }

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int Snapped(int value) const;
    void StartFineDrag(const QPoint& at);
    int AlongTheSlider(const QPoint& offset) const;

    int mStep = 1;
    int mWheelRemainder = 0;  // angle not yet worth a whole notch
    int mPixelsPerFineStep = 4;
    bool mFineDrag = false;
    QPoint mFineAnchor;
    int mFineAnchorValue = 0;
};

}  // namespace toolkit
