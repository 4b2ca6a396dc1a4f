#include "ui/controls/ui_equalizer.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace ui {
namespace {

const QColor kBackground(0x10, 0x14, 0x1A);
const QColor kGridLine(0x2A, 0x31, 0x3B);
const QColor kZeroLine(0x45, 0x4F, 0x5C);
const QColor kAxisText(0x8A, 0x94, 0xA3);
const QColor kCurrentCurve(0x3D, 0x9B, 0xFF);
const QColor kBandPoint(0xFF, 0xB0, 0x3A);

// One colour per output, dimmed for the outputs behind the current one.
QColor OutputColor(int channel) {
    static const QColor kColors[] = {QColor(0xE0, 0x6C, 0x75), QColor(0x98, 0xC3, 0x79),
                                     QColor(0xE5, 0xC0, 0x7B), QColor(0xC6, 0x78, 0xDD),
                                     QColor(0x56, 0xB6, 0xC2), QColor(0xD1, 0x9A, 0x66),
                                     QColor(0x61, 0xAF, 0xEF), QColor(0xBE, 0x50, 0x46),
                                     QColor(0x7F, 0xD1, 0x8B), QColor(0xF0, 0x8D, 0xB8)};
    QColor color = kColors[static_cast<size_t>(std::abs(channel)) % std::size(kColors)];
    color.setAlpha(150);
    return color;
}

QString FrequencyLabel(double hz) {
    return hz >= 1000.0 ? QString::number(hz / 1000.0) + "k" : QString::number(hz);
}

}  // namespace

UIEqualizer::UIEqualizer(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void UIEqualizer::SetCurves(controller::ResponseCurves curves) {
    mCurves = std::move(curves);
    update();  // one repaint however many reports arrive before it
}

QRectF UIEqualizer::PlotArea() const {
    return QRectF(36.0, 8.0, std::max(10.0, width() - 44.0), std::max(10.0, height() - 28.0));
}

double UIEqualizer::XOf(double hz, const QRectF& area) const {
    const double span = std::log10(kHighHz / kLowHz);
    return area.left() + area.width() * std::log10(std::max(hz, 1.0) / kLowHz) / span;
}

double UIEqualizer::YOf(double db, const QRectF& area) const {
    const double clamped = std::clamp(db, kBottomDb - 6.0, kTopDb + 6.0);
    return area.top() + area.height() * (kTopDb - clamped) / (kTopDb - kBottomDb);
}

void UIEqualizer::DrawGrid(QPainter& painter, const QRectF& area) const {
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    for (double hz : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0}) {
        const double x = XOf(hz, area);
        painter.setPen(kGridLine);
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter.setPen(kAxisText);
        painter.drawText(QRectF(x - 20, area.bottom() + 3, 40, 14), Qt::AlignCenter,
                         FrequencyLabel(hz));
    }
    for (double db = kBottomDb; db <= kTopDb; db += 6.0) {
        const double y = YOf(db, area);
        painter.setPen(db == 0.0 ? kZeroLine : kGridLine);
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        painter.setPen(kAxisText);
        painter.drawText(QRectF(0, y - 7, area.left() - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(db));
    }
}

void UIEqualizer::DrawCurve(QPainter& painter, const QRectF& area,
                            const controller::ResponseCurve& curve) const {
    const auto& hz = mCurves.frequencies;
    const size_t points = std::min(hz.size(), curve.magnitudeDb.size());
    QPainterPath path;
    bool started = false;
    for (size_t i = 0; i < points; ++i) {
        if (hz[i] < kLowHz * 0.95 || hz[i] > kHighHz * 1.05 ||
            !std::isfinite(curve.magnitudeDb[i])) {
            continue;
        }
        const QPointF point(XOf(hz[i], area), YOf(curve.magnitudeDb[i], area));
        if (!started) {
            path.moveTo(point);
            started = true;
        } else {
            path.lineTo(point);
        }
    }
    painter.setPen(QPen(curve.current ? kCurrentCurve : OutputColor(curve.channel),
                        curve.current ? 2.4 : 1.2));
    painter.drawPath(path);
}

void UIEqualizer::DrawBandPoints(QPainter& painter, const QRectF& area) const {
    QFont font = painter.font();
    font.setPixelSize(9);
    painter.setFont(font);
    for (const controller::BandPoint& point : mCurves.points) {
        if (point.frequency < kLowHz || point.frequency > kHighHz) {
            continue;
        }
        const QPointF center(XOf(point.frequency, area), YOf(point.gainDb, area));
        const bool active = point.enabled && !mCurves.bypassed && point.gainDb != 0.0;
        painter.setPen(QPen(active ? kBandPoint : kAxisText, 1.4));
        painter.setBrush(active
                             ? QColor(kBandPoint.red(), kBandPoint.green(), kBandPoint.blue(), 90)
                             : Qt::NoBrush);
        painter.drawEllipse(center, 6.0, 6.0);
        painter.drawText(QRectF(center.x() - 8, center.y() - 7, 16, 14), Qt::AlignCenter,
                         QString::number(point.band + 1));
    }
}

void UIEqualizer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF area = PlotArea();
    DrawGrid(painter, area);
    painter.setClipRect(area);
    for (const controller::ResponseCurve& curve : mCurves.curves) {
        if (!curve.current) {
            DrawCurve(painter, area, curve);
        }
    }
    for (const controller::ResponseCurve& curve : mCurves.curves) {
        if (curve.current) {
            DrawCurve(painter, area, curve);
        }
    }
    painter.setClipping(false);
    DrawBandPoints(painter, area);
}

}  // namespace ui
