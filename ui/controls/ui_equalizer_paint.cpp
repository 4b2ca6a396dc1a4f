// Painting the chart: the grid and its scale labels, the bypass text or the
// logo, every output's response curve, the band numbers, the selected band's
// label and Q handles, and the crossover handles.
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>

#include "app/log.h"
#include "toolkit/skin.h"
#include "toolkit/text_resources.h"
#include "ui/controls/chart_grid.h"
#include "ui/controls/ui_equalizer.h"
#include "ui/controls/ui_equalizer_parts.h"

namespace ui {

using namespace eqchart;

namespace {

constexpr std::array<int, 5> kGridLevels = {-15, -10, -5, 5, 10};
// The frequencies and levels that carry a small scale label.
constexpr std::array<int, 10> kLabelFrequencies = {20,   50,   100,  200,   500,
                                                   1000, 2000, 5000, 10000, 20000};
constexpr std::array<int, 6> kLabelLevels = {10, 5, 0, -5, -10, -15};

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kBypassTextColor = 0x77777777;
constexpr uint32_t kScaleTextColor = 0xFF6A7482;
constexpr uint32_t kNoPaletteCurrent = 0xff00c000;
constexpr uint32_t kNoPaletteOther = 0xff646464;
// Magnitudes beyond this are drawn at it: the curve leaves the chart anyway
// and the pixel maths stays finite.
constexpr double kDrawnDbLimit = 1000.0;

QColor Argb(uint32_t argb) {
    return QColor::fromRgba(argb);
}

QPen CurvePen(uint32_t argb, double width) {
    QPen pen(Argb(argb), width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::BevelJoin);
    return pen;
}

QString ScaleFrequencyText(int hz) {
    return hz >= 1000 ? QString::number(hz / 1000) + "k" : QString::number(hz);
}

QString ScaleLevelText(int db) {
    return db > 0 ? "+" + QString::number(db) : QString::number(db);
}

}  // namespace

// ---- painting ----

void UIEqualizer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter);
}

QFont UIEqualizer::FontFor(const FontSpec& spec) const {
    QFont f = font();
    if (spec.pixelSize > 0) {
        f.setPixelSize(std::max(6, scaled(spec.pixelSize)));
        f.setBold(spec.bold);
    }
    return f;
}

int UIEqualizer::TextFlags() const {
    int flags = 0;
    flags |= (mTextStyle & kStyleCenter)  ? Qt::AlignHCenter
             : (mTextStyle & kStyleRight) ? Qt::AlignRight
                                          : Qt::AlignLeft;
    flags |= (mTextStyle & kStyleVCenter)  ? Qt::AlignVCenter
             : (mTextStyle & kStyleBottom) ? Qt::AlignBottom
                                           : Qt::AlignTop;
    flags |= (mTextStyle & kStyleSingleLine) ? Qt::TextSingleLine : 0;
    flags |= (mTextStyle & kStyleWordBreak) ? Qt::TextWordWrap : 0;
    return flags;
}

bool UIEqualizer::HasPaletteEntry(int channel) const {
    return channel >= 0 && channel < static_cast<int>(mPalette.size());
}

QPen UIEqualizer::CurrentPen() const {
    const int channel = mCurves->current;
    const app::ModelCfg& cfg = Cfg();
    uint32_t color;
    if (cfg.mCRUVE_FORCE_COLOR != 0) {
        color = cfg.mCRUVE_FORCE_COLOR;
    } else if (cfg.mSw_Model_ID == 1 || (cfg.mSw_Model_ID >= 42 && cfg.mSw_Model_ID <= 45)) {
        color = 0xff2bbbff;
    } else if (cfg.mEQ_TEXT_LINE_GRAY_CURVE_BLUE) {
        color = 0xff026df9;
    } else if (HasPaletteEntry(channel)) {
        color = mPalette[static_cast<size_t>(channel)];
    } else {
        color = kNoPaletteCurrent;
    }
    return CurvePen(color, 2.0 * Scale() / 100.0);
}

QPen UIEqualizer::OtherPen(int channel) const {
    const uint32_t color =
        HasPaletteEntry(channel) ? mPalette[static_cast<size_t>(channel)] : kNoPaletteOther;
    const double width = (HasPaletteEntry(mCurves->current) ? 2.0 : 3.0) * Scale() / 100.0;
    return CurvePen(color, width);
}

void UIEqualizer::DrawBezierChain(const std::vector<QPoint>& points, const QPen& pen) {
    // Every stored point but the last, cut to the 3k + 1 points a chain of
    // cubic segments takes, each segment flattened to lines a few pixels
    // long.
    const int passed = static_cast<int>(points.size()) - 1;
    if (passed < 2) {
        return;
    }
    FlattenBezierChain(std::span<const QPoint>(points.data(), static_cast<size_t>(passed)),
                       mPolyline);
    mRaster.Stroke(mPolyline, pen.widthF(), pen.color().rgba(), pen.style() != Qt::SolidLine);
}

void UIEqualizer::DrawCurve(int channel, const QPen& pen) {
    const Curves& c = *mCurves;
    const auto& hz = c.frequency[static_cast<size_t>(channel)];
    const auto& db = c.magnitude[static_cast<size_t>(channel)];
    const auto& phase = c.phase[static_cast<size_t>(channel)];
    const auto& logHz = c.logHz[static_cast<size_t>(channel)];
    const double lowLog = std::log10(static_cast<double>(MinHz()));
    const double spanLog = std::log10(static_cast<double>(kHighHz)) - lowLog;
    const double lowest = MinHz() - 10.0;
    const double highest = kHighHz + 100.0;
    mStroke.clear();
    mPhaseStroke.clear();
    CurveSmoother smoother;
    CurveSmoother phaseSmoother;
    auto yOf = [this](double value) {
        return GainToY(std::clamp(value, -kDrawnDbLimit, kDrawnDbLimit));
    };
    // From the highest frequency down; each point after the first is the
    // mean of itself and the point stored before it, and points left of the
    // chart repeat that one, so the curve ends at the left edge.
    for (int k = model::kCurvePoints - 1; k >= 0; --k) {
        const double f = hz[static_cast<size_t>(k)];
        const double m = db[static_cast<size_t>(k)];
        const double p = phase[static_cast<size_t>(k)];
        if (!(f >= lowest && f <= highest) || std::isnan(m) || (mShowPhase && std::isnan(p))) {
            continue;
        }
        const double x = mLeft + mWidth * (logHz[static_cast<size_t>(k)] - lowLog) / spanLog;
        mStroke.push_back(smoother.Next(QPointF(x, yOf(m)), mLeft));
        if (mShowPhase) {
            mPhaseStroke.push_back(phaseSmoother.Next(QPointF(x, yOf(p)), mLeft));
        }
    }
    DrawBezierChain(mStroke, pen);
    if (mShowPhase) {
        QPen dashed = pen;
        dashed.setStyle(Qt::DashLine);
        DrawBezierChain(mPhaseStroke, dashed);
    }
}

void UIEqualizer::DrawGrid(QPainter& painter) {
    const int lineWidth = Scale() / 100;
    const chart::GridGeometry grid{QRect(mLeft, mTop, mWidth, mHeight), static_cast<int>(mZeroY),
                                   [this](double db) { return GainToY(db); },
                                   [this](double hz) { return FrequencyToX(hz); }};
    chart::DrawGrid(painter, QPen(Argb(mLineColor), lineWidth), grid, kGridLevels);
}

void UIEqualizer::DrawAxisLabels(QPainter& painter) {
    // Small and muted, inside the chart and under the curves.
    QFont small = font();
    small.setBold(false);
    small.setPixelSize(std::max(6, scaled(9)));
    painter.setFont(small);
    painter.setPen(Argb(kScaleTextColor));
    const int pad = scaled(2);
    const int textHeight = scaled(11);
    for (int hz : kLabelFrequencies) {
        const int x = static_cast<int>(FrequencyToX(hz));
        const QString text = ScaleFrequencyText(hz);
        if (hz == kHighHz) {
            painter.drawText(
                QRect(x - pad - scaled(40), mBottom - textHeight - pad, scaled(40), textHeight),
                Qt::AlignRight | Qt::AlignBottom, text);
        } else {
            painter.drawText(QRect(x + pad, mBottom - textHeight - pad, scaled(40), textHeight),
                             Qt::AlignLeft | Qt::AlignBottom, text);
        }
    }
    for (int db : kLabelLevels) {
        const int y = static_cast<int>(GainToY(db));
        painter.drawText(QRect(mLeft + pad, y - textHeight, scaled(30), textHeight),
                         Qt::AlignLeft | Qt::AlignBottom, ScaleLevelText(db));
    }
}

void UIEqualizer::Paint(QPainter& painter) {
    app::Log("DoPaint!!\n");
    if (!mLayoutValid) {
        FullLayout();
    } else {
        LayoutLabel();
        LayoutCrossover();
    }
    painter.fillRect(QRect(mLeft, mTop, mWidth, mHeight), Argb(mBackground));
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawGrid(painter);
    DrawAxisLabels(painter);

    const int flags = TextFlags();
    const QRect bypassBox(mLeft, mTop + 40, mWidth, mHeight - 40);
    if (!mLogo.empty()) {
        QPixmap logo = toolkit::Skin::Instance().Image(mLogo, Scale());
        if (!logo.isNull()) {
            QRect target = logo.rect();
            target.moveCenter(bypassBox.center());
            painter.drawPixmap(target, logo);
        }
    } else if (mAllZero) {
        painter.setFont(FontFor(mBypassFont));
        painter.setPen(Argb(kBypassTextColor));
        QString text = QString::fromStdString(toolkit::Translate("${all_bypass}"));
        if (mTextStyle & kStyleEndEllipsis) {
            text = painter.fontMetrics().elidedText(text, Qt::ElideRight, bypassBox.width());
        }
        painter.drawText(bypassBox, flags, text);
    }

    // The curves, anti-aliased, in a layer of their own laid over the grid.
    const double ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    mRaster.Begin(QSize(static_cast<int>(std::ceil(mWidth * ratio)),
                        static_cast<int>(std::ceil(mHeight * ratio))),
                  ratio);
    const Curves& c = *mCurves;
    for (int i = 0; i < c.count; ++i) {
        if (i != c.current && c.show[static_cast<size_t>(i)]) {
            DrawCurve(i, OtherPen(i));
        }
    }
    if (c.current >= 0 && c.current < c.count) {
        DrawCurve(c.current, CurrentPen());
    }
    painter.drawImage(QPointF(mLeft, mTop), mRaster.Image());

    painter.setFont(FontFor(mFont));
    for (int i = 0; i < mBandCount; ++i) {
        painter.setPen(Argb(i == mCurrentControlIndex ? mSelectTextColor : kWhite));
        painter.drawText(mMarkerBoxes[static_cast<size_t>(i)].ToQRect(), flags,
                         mMarkerTexts[static_cast<size_t>(i)]);
    }
    if (SelectedValid()) {
        // A backing under the label keeps it readable over the curves.
        const QRect labelBox = mLabelBox.ToQRect();
        QRect textBox = painter.fontMetrics().boundingRect(labelBox, flags, mLabelText);
        painter.fillRect(textBox.adjusted(-scaled(2), 0, scaled(2), 0),
                         QColor::fromRgba((mBackground & 0x00FFFFFFu) | 0xC0000000u));
        painter.setPen(Argb(mSelectTextColor));
        painter.drawText(labelBox, flags, mLabelText);
        if (mDragAllDirection) {
            painter.setPen(QPen(Argb(mSelectTextColor), Scale() / 100));
            for (const Box& handle : mQHandles) {
                painter.drawRect(handle.ToQRect().adjusted(0, 0, -1, -1));
            }
        }
    }
    const bool fullNames = Cfg().mUSE_FULL_PASS_FILTER_NAME;
    auto drawHandle = [&](int hz, const Box& box, Capture dragged, const char* name) {
        if (hz != -1) {
            painter.setPen(Argb(mCapture == dragged ? mSelectTextColor : kWhite));
            painter.drawText(box.ToQRect(), Qt::AlignCenter | Qt::TextDontClip, name);
        }
    };
    drawHandle(mHpFreq, mHpBox, Capture::HP_CAPTURED, fullNames ? "HPF" : "H");
    drawHandle(mLpFreq, mLpBox, Capture::LP_CAPTURED, fullNames ? "LPF" : "L");
    if (mFocused) {
        QColor focus = Argb(mSelectTextColor);
        focus.setAlpha(90);
        painter.setPen(QPen(focus, std::max(1, Scale() / 100)));
        painter.drawRect(QRect(mLeft + 1, mTop + 1, mWidth - 3, mHeight - 3));
    }
}

}  // namespace ui
