#include "toolkit/skin_slider.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <cstdlib>

namespace toolkit {

namespace {
// A wheel notch is 120 eighths of a degree on every common mouse.
constexpr int kAnglePerNotch = 120;
constexpr int kFinePixelsPerStepAt100 = 4;
}  // namespace

SkinSlider::SkinSlider(Qt::Orientation orientation, QWidget* parent, int scalePercent)
    : QSlider(orientation, parent),
      mPixelsPerFineStep(qMax(1, kFinePixelsPerStepAt100 * scalePercent / 100)) {
    // Every move of the handle, by drag or by key, passes the step grid
    // before the value changes and anyone is told.
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) {
        if (action == SliderMove) {
            setSliderPosition(Snapped(sliderPosition()));
        }
    });
}

void SkinSlider::SetStep(int step) {
    mStep = qMax(1, step);
    setSingleStep(mStep);
    setPageStep(qMax(mStep, (maximum() - minimum()) / 10 / mStep * mStep));
}

int SkinSlider::Snapped(int value) const {
    if (mStep <= 1 || value >= maximum() || value <= minimum()) {
        return qBound(minimum(), value, maximum());
    }
    const int offset = value - minimum();
    const int steps = (offset + mStep / 2) / mStep;
    return qMin(maximum(), minimum() + steps * mStep);
}

void SkinSlider::wheelEvent(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    int delta = std::abs(angle.x()) > std::abs(angle.y()) ? -angle.x() : angle.y();
    if (event->inverted()) {
        delta = -delta;
    }
    mWheelRemainder += delta;
    const int notches = mWheelRemainder / kAnglePerNotch;
    mWheelRemainder -= notches * kAnglePerNotch;
    for (int i = 0; i < std::abs(notches); ++i) {
        triggerAction(notches > 0 ? SliderSingleStepAdd : SliderSingleStepSub);
    }
    event->accept();
}

int SkinSlider::AlongTheSlider(const QPoint& offset) const {
    return orientation() == Qt::Horizontal ? offset.x() : -offset.y();
}

void SkinSlider::StartFineDrag(const QPoint& at) {
    mFineDrag = true;
    mFineAnchor = at;
    mFineAnchorValue = value();
}

void SkinSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
        // Fine mode moves from where the handle is; it does not jump to the
        // pointer.
        StartFineDrag(event->position().toPoint());
        setSliderDown(true);
        event->accept();
        return;
    }
    QSlider::mousePressEvent(event);
}

void SkinSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!mFineDrag && isSliderDown() && (event->modifiers() & Qt::ShiftModifier)) {
        StartFineDrag(event->position().toPoint());  // Shift pressed during a drag
    }
    if (!mFineDrag) {
        QSlider::mouseMoveEvent(event);
        return;
    }
    const int pixels = AlongTheSlider(event->position().toPoint() - mFineAnchor);
    const int steps = pixels / mPixelsPerFineStep;
    setSliderPosition(qBound(minimum(), mFineAnchorValue + steps * mStep, maximum()));
    event->accept();
}

void SkinSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (!mFineDrag) {
        QSlider::mouseReleaseEvent(event);
        return;
    }
    mFineDrag = false;
    setSliderDown(false);
    event->accept();
}

}  // namespace toolkit
