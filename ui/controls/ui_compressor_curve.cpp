#include "ui/controls/ui_compressor_curve.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "toolkit/window.h"
#include "toolkit/xml_document.h"
#include "ui/controls/chart_grid.h"

namespace ui {

using namespace chart;

namespace {

QColor Argb(uint32_t argb) {
    return QColor::fromRgba(argb);
}

// Grid lines every 10 dB, or every 20 dB on a range wider than 100 dB.
std::vector<int> GridLevels(double low, double high) {
    const int spacing = high - low > 100.0 ? 20 : 10;
    std::vector<int> levels;
    for (int db = static_cast<int>(std::ceil(low / spacing)) * spacing; db <= high; db += spacing) {
        levels.push_back(db);
    }
    return levels;
}

// Points a pixel or so apart along the input axis.
constexpr int kCurveSteps = 400;

}  // namespace

UICompressorCurve::UICompressorCurve(QWidget* parent, int scalePercent)
    : QWidget(parent), mScale(scalePercent > 0 ? scalePercent : 100) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    mLevels = GridLevels(mView.lowDb, mView.highDb);
}

UICompressorCurve* UICompressorCurve::Build(const toolkit::XmlElement& node, QWidget* parent,
                                            toolkit::Window& window) {
    auto* chart = new UICompressorCurve(parent, window.Scale());
    chart->ApplyAttributes(node);
    return chart;
}

void UICompressorCurve::ApplyAttributes(const toolkit::XmlElement& node) {
    for (const auto& [name, value] : node.attributes) {
        SetAttribute(name, value);
    }
}

void UICompressorCurve::SetAttribute(std::string_view name, std::string_view value) {
    const std::string key = Lower(name);
    uint32_t* colour = key == "bkcolor"       ? &mBackground
                       : key == "linecolor"   ? &mLineColor
                       : key == "curvecolor"  ? &mCurveColor
                       : key == "bypasscolor" ? &mBypassedColor
                                              : nullptr;
    if (colour != nullptr && ParseHexColor(value, *colour)) {
        update();
    }
}

void UICompressorCurve::ShowCompressor(const controller::CompressorView& view) {
    mView = view;
    if (!(mView.highDb > mView.lowDb)) {
        mView.highDb = mView.lowDb + 1.0;  // a range of nothing still maps
    }
    mLevels = GridLevels(mView.lowDb, mView.highDb);
    update();
}

double UICompressorCurve::Span() const {
    return mView.highDb - mView.lowDb;
}

double UICompressorCurve::InputToX(double db) const {
    return width() * (db - mView.lowDb) / Span();
}

double UICompressorCurve::OutputToY(double db) const {
    return height() * (mView.highDb - db) / Span();
}

void UICompressorCurve::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter);
}

void UICompressorCurve::DrawGrid(QPainter& painter) {
    const double zero = std::clamp(0.0, mView.lowDb, mView.highDb);
    const GridGeometry grid{rect(), static_cast<int>(OutputToY(zero)),
                            [this](double db) { return OutputToY(db); },
                            [this](double db) { return InputToX(db); }, mLevels};
    std::vector<int> dotted;
    std::copy_if(mLevels.begin(), mLevels.end(), std::back_inserter(dotted),
                 [](int db) { return db != 0; });
    chart::DrawGrid(painter, QPen(Argb(mLineColor), 1), grid, dotted);
}

void UICompressorCurve::DrawUnityLine(QPainter& painter) {
    QPen dotted(Argb(kUnityColor), 1, Qt::DotLine);
    painter.setPen(dotted);
    painter.drawLine(QPointF(InputToX(mView.lowDb), OutputToY(mView.lowDb)),
                     QPointF(InputToX(mView.highDb), OutputToY(mView.highDb)));
}

void UICompressorCurve::DrawCurve() {
    mPolyline.clear();
    for (int k = 0; k <= kCurveSteps; ++k) {
        const double in = mView.lowDb + Span() * k / kCurveSteps;
        const double out = mView.bypassed ? in : dsp::CompressorOutputDb(in, mView.shape);
        mPolyline.emplace_back(InputToX(in), OutputToY(out));
    }
    mRaster.Stroke(mPolyline, kPenWidth, mView.bypassed ? mBypassedColor : mCurveColor, false);
}

void UICompressorCurve::DrawMarker(QPainter& painter) {
    const double threshold = mView.shape.thresholdDb;
    if (mView.bypassed || threshold < mView.lowDb || threshold > mView.highDb) {
        return;
    }
    const QPointF at(InputToX(threshold),
                     OutputToY(dsp::CompressorOutputDb(threshold, mView.shape)));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Argb(mCurveColor), 1.5));
    painter.setBrush(Argb(mBackground));
    const double radius = kMarkerRadius * mScale / 100.0;
    painter.drawEllipse(at, radius, radius);
}

void UICompressorCurve::Paint(QPainter& painter) {
    painter.fillRect(rect(), Argb(mBackground));
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawGrid(painter);
    DrawUnityLine(painter);
    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    mRaster.Begin(QSize(static_cast<int>(std::ceil(width() * ratio)),
                        static_cast<int>(std::ceil(height() * ratio))),
                  ratio);
    DrawCurve();
    painter.drawImage(QPointF(0, 0), mRaster.Image());
    DrawMarker(painter);
}

}  // namespace ui
