#include "toolkit/skin_widgets.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

namespace toolkit {

QColor ColorFromArgb(uint32_t argb) {
    return QColor((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, (argb >> 24) & 0xFF);
}

void SkinPanel::SetBorder(uint32_t argb, int width, int radius) {
    mBorder = argb;
    mBorderWidth = width;
    mRadius = radius;
    update();
}

void SkinPanel::paintEvent(QPaintEvent*) {
    if (mBackground == 0 && mBorder == 0 && mImage.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(area, mRadius, mRadius);
    if (mBackground != 0) {
        painter.fillPath(shape, ColorFromArgb(mBackground));
    }
    if (!mImage.isNull()) {
        QSize size = mImage.size().scaled(this->size(), Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), size);
        target.moveCenter(rect().center());
        painter.drawPixmap(target, mImage);
    }
    if (mBorder != 0 && mBorderWidth > 0) {
        painter.setPen(QPen(ColorFromArgb(mBorder), mBorderWidth));
        painter.drawPath(shape);
    }
}

void SkinButton::SetStateImage(ButtonState state, const QPixmap& image) {
    mImages[static_cast<size_t>(state)] = image;
    update();
}

bool SkinButton::HasImages() const {
    return !mImages[static_cast<size_t>(ButtonState::Normal)].isNull();
}

void SkinButton::paintEvent(QPaintEvent* event) {
    if (!HasImages() && mForeImage.isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    if (!HasImages()) {
        QPushButton::paintEvent(event);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (HasImages()) {
        ButtonState state = ButtonState::Normal;
        if (!isEnabled()) {
            state = ButtonState::Disabled;
        } else if (isDown()) {
            state = ButtonState::Pushed;
        } else if (isChecked()) {
            state = ButtonState::Selected;
        } else if (underMouse()) {
            state = ButtonState::Hot;
        }
        const QPixmap* image = &mImages[static_cast<size_t>(state)];
        if (image->isNull()) {
            image = &mImages[static_cast<size_t>(ButtonState::Normal)];
        }
        painter.drawPixmap(rect(), *image);
        if (!text().isEmpty()) {
            painter.setPen(palette().color(QPalette::ButtonText));
            painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text());
        }
    }
    if (!mForeImage.isNull()) {
        QSize size = mForeImage.size().scaled(this->size() * 0.7, Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), size);
        target.moveCenter(rect().center());
        painter.drawPixmap(target, mForeImage);
    }
}

SwitchButton::SwitchButton(QWidget* parent) : UserToggleAware<QAbstractButton>(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

QSize SwitchButton::sizeHint() const {
    return {120, 28};
}

namespace {
int TrackHeight(int height) {
    return qBound(8, height - 8, 16);
}
}  // namespace

int SwitchButton::TextLeft() const {
    return 2 + TrackHeight(height()) * 2 + 8;
}

void SwitchButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    int trackHeight = TrackHeight(height());
    int trackWidth = trackHeight * 2;
    QRectF track(2, (height() - trackHeight) / 2.0, trackWidth, trackHeight);
    QColor on(0x2E, 0xA0, 0x43);
    QColor off(0x4A, 0x50, 0x5A);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isChecked() ? on : off);
    if (!isEnabled()) {
        painter.setOpacity(0.5);
    }
    painter.drawRoundedRect(track, trackHeight / 2.0, trackHeight / 2.0);
    qreal knob = trackHeight - 4;
    qreal knobX = isChecked() ? track.right() - knob - 2 : track.left() + 2;
    painter.setBrush(QColor(0xF2, 0xF4, 0xF7));
    painter.drawEllipse(QRectF(knobX, track.top() + 2, knob, knob));
    painter.setPen(palette().color(QPalette::ButtonText));
    QRect textArea = rect().adjusted(TextLeft(), 0, 0, 0);
    painter.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft, text());
}

void CircleProgress::SetValue(int value) {
    mValue = qBound(0, value, mMaximum);
    update();
}

void CircleProgress::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    int side = qMin(width(), height());
    int pen = qMax(3, side / 12);
    QRectF ring((width() - side) / 2.0 + pen, (height() - side) / 2.0 + pen, side - 2.0 * pen,
                side - 2.0 * pen);
    painter.setPen(QPen(QColor(0x3A, 0x40, 0x4A), pen));
    painter.drawEllipse(ring);
    painter.setPen(QPen(QColor(0x1E, 0x9B, 0xE8), pen, Qt::SolidLine, Qt::RoundCap));
    if (mSpinning) {
        const int start = 90 * 16 - static_cast<int>(360.0 * 16 * mValue / mMaximum);
        painter.drawArc(ring, start, -90 * 16);
        return;
    }
    int span = -static_cast<int>(360.0 * 16 * mValue / mMaximum);
    painter.drawArc(ring, 90 * 16, span);
    // The share grows with the ring, whatever the display scale.
    QFont share = font();
    share.setPixelSize(qMax(8, side / 5));
    painter.setFont(share);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, QString::number(mValue * 100 / mMaximum) + "%");
}

}  // namespace toolkit
