// The chart under the mouse and the keys: hovering selects bands, a press
// captures a band point, a Q handle or a crossover handle, moves drag it and
// the release ends the drag. Every change is told to the window as a
// notification of the chart's control.
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/log.h"
#include "toolkit/control.h"
#include "ui/controls/ui_equalizer.h"
#include "ui/controls/ui_equalizer_parts.h"

namespace ui {

using namespace eqchart;

// ---- the window's view of the chart ----

void UIEqualizer::Notify(const char* type) {
    if (toolkit::Control* control = OwnControl()) {
        control->Notify(type);
    }
}

void UIEqualizer::Select(int band) {
    mCurrentControlIndex = band;
    if (toolkit::Control* control = OwnControl()) {
        char text[16];
        std::snprintf(text, sizeof text, "%d", band);
        control->SetUserData(text);
    }
}

void UIEqualizer::SelectAndTell(int band) {
    Select(band);
    LayoutLabel();
    update();
    Notify("equalizer_eq");
}

bool UIEqualizer::BandGuarded() const {
    return Cfg().mEQ_4BANDS_NOT_AJUST && mCurves->current == 0 && mCurrentControlIndex <= 3;
}

// ---- the mouse ----

void UIEqualizer::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    mPressPoint = ClampToChart(p);
    if (!BandGuarded()) {
        if (mDragAllDirection && SelectedValid() &&
            (mQHandles[0].Contains(p) || mQHandles[1].Contains(p))) {
            mCapture = Capture::FACTOR_CAPTURED;
            setCursor(Qt::SizeHorCursor);
            update();
            return;
        }
        for (int i = 0; i < mBandCount; ++i) {
            if (mMarkerBoxes[static_cast<size_t>(i)].Contains(p)) {
                Select(i);
                mCapture = Capture::INDEX_CAPTURED;
                mDragPoint = mPoints[static_cast<size_t>(i)];
                setCursor(mDragAllDirection ? Qt::SizeAllCursor : Qt::SizeVerCursor);
                LayoutLabel();
                update();
                return;
            }
        }
    }
    if (mHpFreq != -1 && mHpBox.Contains(p)) {
        mCurrentControlIndex = -1;
        mCapture = Capture::HP_CAPTURED;
    } else if (mLpFreq != -1 && mLpBox.Contains(p)) {
        mCurrentControlIndex = -1;
        mCapture = Capture::LP_CAPTURED;
    } else {
        QWidget::mousePressEvent(event);
        return;
    }
    setCursor(Qt::SizeHorCursor);
    LayoutLabel();
    update();
}

void UIEqualizer::mouseMoveEvent(QMouseEvent* event) {
    const QPoint raw = event->position().toPoint();
    if (MoveCaptured(ClampToChart(raw), false)) {
        return;
    }
    for (int i = 0; i < mBandCount; ++i) {
        if (mMarkerBoxes[static_cast<size_t>(i)].Contains(raw)) {
            setCursor(Qt::PointingHandCursor);
            if (i != mCurrentControlIndex) {
                SelectAndTell(i);
            }
            return;
        }
    }
    if (mDragAllDirection && SelectedValid() &&
        (mQHandles[0].Contains(raw) || mQHandles[1].Contains(raw))) {
        setCursor(Qt::SizeHorCursor);
    } else if ((mHpFreq != -1 && mHpBox.Contains(raw)) || (mLpFreq != -1 && mLpBox.Contains(raw))) {
        setCursor(Qt::SizeHorCursor);
    } else {
        setCursor(Qt::ArrowCursor);
    }
}

void UIEqualizer::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    MoveCaptured(ClampToChart(event->position().toPoint()), true);
    // A release ends every drag, also one whose band went away meanwhile, so
    // that the next refresh may select again.
    mCapture = Capture::NOT_CAPTURED;
    update();
    QWidget::mouseReleaseEvent(event);
}

bool UIEqualizer::MoveCaptured(QPoint p, bool release) {
    switch (mCapture) {
        case Capture::NOT_CAPTURED:
            return false;
        case Capture::INDEX_CAPTURED:
            MoveBand(p, release);
            return true;
        case Capture::FACTOR_CAPTURED:
            MoveFactor(p, release);
            return true;
        case Capture::HP_CAPTURED:
            MoveCrossover(p, release, true);
            return true;
        case Capture::LP_CAPTURED:
            MoveCrossover(p, release, false);
            return true;
    }
    return false;
}

void UIEqualizer::EndStep(bool release, bool changed, Qt::CursorShape cursorAfter,
                          const char* moveType, const char* releaseType) {
    update();
    if (release) {
        setCursor(cursorAfter);
        Notify(releaseType);
    } else if (changed) {
        Notify(moveType);
    }
}

bool UIEqualizer::KeptByClick(QPoint p, bool release) {
    if (!release || p != mPressPoint) {
        return false;
    }
    const bool factor = mCapture == Capture::FACTOR_CAPTURED;
    app::Log(factor ? "FACTOR_CAPTURED move x(%d) y(%d) \n" : "INDEX_CAPTURED up x(%d) y(%d) \n",
             p.x(), p.y());
    EndStep(true, false, factor ? Qt::ArrowCursor : Qt::PointingHandCursor, "equalizer_eq",
            "equalizer_eq_release");
    return true;
}

void UIEqualizer::MoveBand(QPoint p, bool release) {
    if (!SelectedValid() || KeptByClick(p, release)) {
        return;
    }
    const int index = mCurrentControlIndex;
    model::EqBand& band = mBands[static_cast<size_t>(index)];
    QPoint& point = mPoints[static_cast<size_t>(index)];
    if (mDragAllDirection) {
        point.setX(p.x());
    }
    if (band.type == 0) {
        point.setY(p.y());  // other types carry no gain and move sideways only
    }
    const float gain = static_cast<float>(YToGain(point.y()));
    const int freq = XToFrequency(p.x());
    bool changed = false;
    if (release) {
        band.eqGain = gain;
        if (mDragAllDirection) {
            band.freq = freq;
        }
    } else {
        if (std::fabs(gain - band.eqGain) > 0.001f) {
            band.eqGain = gain;
            changed = true;
        }
        if (mDragAllDirection && freq != band.freq) {
            band.freq = freq;
            changed = true;
        }
    }
    mDragPoint = point;
    mMarkerBoxes[static_cast<size_t>(index)] = MarkerBoxAt(point);
    app::Log("freq (%d) gain(%.2f) \n", freq, static_cast<double>(gain));
    if (release) {
        app::Log("INDEX_CAPTURED up x(%d) y(%d) \n", p.x(), p.y());
    } else {
        app::Log("INDEX_CAPTURED move x(%d) y(%d) \n", p.x(), p.y());
    }
    LayoutLabel();
    EndStep(release, changed, Qt::PointingHandCursor, "equalizer_eq", "equalizer_eq_release");
}

void UIEqualizer::MoveFactor(QPoint p, bool release) {
    if (!SelectedValid() || KeptByClick(p, release)) {
        return;
    }
    const int index = mCurrentControlIndex;
    model::EqBand& band = mBands[static_cast<size_t>(index)];
    const int s = Scale();
    int distance = std::abs(p.x() - mPoints[static_cast<size_t>(index)].x());
    app::Log("len (%d) \n", distance);
    distance = std::clamp(distance, std::max(1, s * 3 / 100), std::max(1, s * 162 / 100));
    app::Log("abs len (%d) \n", distance);
    const float q = static_cast<float>(std::clamp(0.81 * s / distance, 0.5, 9.0));
    bool changed = false;
    if (release) {
        band.eqFactor = q;
        app::Log("FACTOR_CAPTURED move x(%d) y(%d) \n", p.x(), p.y());
    } else {
        if (std::fabs(q - band.eqFactor) >= 0.01f) {
            band.eqFactor = q;
            changed = true;
        }
        app::Log("FACTOR_CAPTURED index %d move x(%d) y(%d) \n", index, p.x(), p.y());
    }
    LayoutLabel();
    EndStep(release, changed, Qt::ArrowCursor, "equalizer_eq", "equalizer_eq_release");
}

void UIEqualizer::MoveCrossover(QPoint p, bool release, bool highPass) {
    const int f = XToFrequency(p.x());
    // The high-pass stays below the low-pass and the low-pass above the
    // high-pass; a hidden low-pass (-1) leaves the high-pass no room at all.
    int& moved = highPass ? mHpFreq : mLpFreq;
    const bool room = highPass ? f < mLpFreq : f > mHpFreq;
    bool changed = false;
    // Released where it was pressed: a click, which keeps the exact
    // frequency rather than the one of the pixel under the pointer.
    const bool click = release && p == mPressPoint;
    if (release) {
        if (room && !click) {
            moved = f;
        }
        app::Log(highPass ? "HP_CAPTURED move x(%d) y(%d) mHpFreq(%d)\n"
                          : "HP_CAPTURED move x(%d) y(%d) mLpFreq(%d)\n",
                 p.x(), p.y(), moved);
    } else {
        if (room && f != moved) {
            moved = f;
            changed = true;
        }
        app::Log(highPass ? "HP_CAPTURED move x(%d) y(%d) mCurrentControlIndex(%d) mHpFreq(%d)\n"
                          : "LP_CAPTURED move x(%d) y(%d) mCurrentControlIndex(%d) mHpFreq(%d)\n",
                 p.x(), p.y(), mCurrentControlIndex, moved);
    }
    LayoutCrossover();
    EndStep(release, changed, Qt::ArrowCursor, highPass ? "equalizer_hp" : "equalizer_lp",
            highPass ? "equalizer_hp_release" : "equalizer_lp_release");
}

// ---- the keyboard and the focus ----

void UIEqualizer::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (mCapture != Capture::NOT_CAPTURED || mBandCount == 0 ||
        (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        const int step = key == Qt::Key_Right ? 1 : -1;
        const int next = SelectedValid()
                             ? std::clamp(mCurrentControlIndex + step, 0, mBandCount - 1)
                             : (step > 0 ? 0 : mBandCount - 1);
        if (next != mCurrentControlIndex) {
            SelectAndTell(next);
        }
        return;
    }
    if (!SelectedValid() || BandGuarded()) {
        return;
    }
    const int index = mCurrentControlIndex;
    model::EqBand& band = mBands[static_cast<size_t>(index)];
    if (band.type != 0) {
        return;  // no gain to move
    }
    const double step = key == Qt::Key_Up ? 0.5 : -0.5;
    const float gain = static_cast<float>(std::clamp(std::round((band.eqGain + step) * 10.0) / 10.0,
                                                     double{kBottomDb}, double{kTopDb}));
    if (gain == band.eqGain) {
        return;
    }
    band.eqGain = gain;
    mPoints[static_cast<size_t>(index)] = PointOf(band);
    mMarkerBoxes[static_cast<size_t>(index)] = MarkerBoxAt(mPoints[static_cast<size_t>(index)]);
    LayoutLabel();
    update();
    Notify("equalizer_eq");
    Notify("equalizer_eq_release");
}

void UIEqualizer::focusInEvent(QFocusEvent* event) {
    mFocused = true;
    update();
    QWidget::focusInEvent(event);
}

void UIEqualizer::focusOutEvent(QFocusEvent* event) {
    mFocused = false;
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace ui
