// The chart's attributes from the skin, what the controller gives it and
// what it reads back, and the chart's link to its toolkit control. The
// coordinates and the layout are in ui_equalizer_layout.cpp, the painting in
// ui_equalizer_paint.cpp, the mouse and the keys in ui_equalizer_input.cpp.
#include "ui/controls/ui_equalizer.h"

#include <QVariant>
#include <algorithm>
#include <cmath>

#include "app/log.h"
#include "toolkit/control.h"
#include "toolkit/window.h"
#include "toolkit/xml_document.h"
#include "ui/controls/ui_equalizer_parts.h"

namespace ui {

using namespace eqchart;

UIEqualizer::UIEqualizer(QWidget* parent, int scalePercent)
    : QWidget(parent),
      mScale(scalePercent > 0 ? scalePercent : 100),
      mCurves(std::make_unique<Curves>()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // hovering selects bands and shows the cursors
    setFocusPolicy(Qt::StrongFocus);
    if (Cfg().mEQ_TEXT_LINE_GRAY_CURVE_BLUE) {
        mLineColor = 0xff596274;
    }
    mStroke.reserve(model::kCurvePoints);
    mPhaseStroke.reserve(model::kCurvePoints);
}

UIEqualizer::~UIEqualizer() = default;

UIEqualizer* UIEqualizer::Build(const toolkit::XmlElement& node, QWidget* parent,
                                toolkit::Window& window) {
    auto* chart = new UIEqualizer(parent, window.Scale());
    chart->ApplyAttributes(node);
    return chart;
}

// ---- attributes ----

void UIEqualizer::ApplyAttributes(const toolkit::XmlElement& node) {
    for (const auto& [name, value] : node.attributes) {
        SetAttribute(name, value);
    }
}

void UIEqualizer::SetAttribute(std::string_view name, std::string_view value) {
    const std::string key = Lower(name);
    if (ApplyTextStyle(key, value, mTextStyle)) {
        return;
    }
    if (key == "font") {
        mFont = ParseFontSpec(value);
    } else if (key == "bypassfont") {
        mBypassFont = ParseFontSpec(value);
    } else if (key == "textcolor") {
        ParseHexColor(value, mTextColor);
    } else if (key == "selecttextcolor") {
        ParseHexColor(value, mSelectTextColor);
    } else if (key == "disabledtextcolor") {
        ParseHexColor(value, mDisabledTextColor);
    } else if (key == "bkcolor") {
        ParseHexColor(value, mBackground);
    } else if (key == "textpadding") {
        ParseTextPadding(value, mTextPadding);
    } else if (key == "autocalcwidth") {
        mAutoCalcWidth = IsTrue(value);
    } else if (key == "curvecolor") {
        // "#AARRGGBB #AARRGGBB ...": one colour per output, in output order.
        // A piece that is not a colour ends the list; more than the chart
        // holds curves are ignored.
        mPalette.clear();
        std::string_view rest = value;
        if (!rest.empty() && rest.front() == '#') {
            rest.remove_prefix(1);
        }
        while (!rest.empty() && static_cast<int>(mPalette.size()) < kMaxCurves) {
            size_t cut = rest.find(" #");
            uint32_t color = 0;
            if (!ParseHexColor(rest.substr(0, cut), color)) {
                break;
            }
            mPalette.push_back(color);
            if (cut == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(cut + 2);
        }
        update();
    } else if (key == "curvelogo") {
        mLogo = std::string(value);
        update();
    }
}

// ---- what the controller gives ----

void UIEqualizer::setCurEqBands(std::span<const model::EqBand> bands, int selected) {
    mBandCount = static_cast<int>(std::min<size_t>(bands.size(), kMaxBands));
    mAllZero = true;
    for (int i = 0; i < kMaxBands; ++i) {
        mBands[i] = i < mBandCount ? bands[static_cast<size_t>(i)] : model::EqBand{};
        if (i < mBandCount && mBands[i].eqGain != 0.0f) {
            mAllZero = false;
        }
    }
    if (mCapture == Capture::NOT_CAPTURED) {
        mCurrentControlIndex = selected;
        if (selected >= 0 && selected < mBandCount) {
            Select(selected);
        }
    } else if (mCurrentControlIndex >= mBandCount) {
        mCurrentControlIndex = -1;  // the dragged band is gone
    }
    FullLayout();
    update();
}

void UIEqualizer::setCurEqHpLp(int hpHz, int lpHz) {
    auto shown = [low = MinHz()](int hz) { return hz >= low && hz <= kHighHz ? hz : -1; };
    mHpFreq = shown(hpHz);
    if (mHpFreq != -1) {
        app::Log("setCurEqHpLp mHpFreq(%d)\n", mHpFreq);
    }
    mLpFreq = shown(lpHz);
    if (mLpFreq != -1) {
        app::Log("setCurEqHpLp mLpFreq(%d)\n", mLpFreq);
    }
    if (mLayoutValid) {
        LayoutCrossover();
    } else {
        FullLayout();  // the handles need the chart's rectangle
    }
    update();
}

void UIEqualizer::setEqCurves(std::span<const controller::CurveRow> frequency,
                              std::span<const controller::CurveRow> magnitude,
                              std::span<const controller::CurveRow> phase, int current,
                              std::span<const int32_t> showFlags) {
    const size_t count =
        std::min({frequency.size(), magnitude.size(), static_cast<size_t>(kMaxCurves)});
    if (count == 0) {
        return;
    }
    Curves& c = *mCurves;
    for (size_t i = 0; i < static_cast<size_t>(kMaxCurves); ++i) {
        if (i < count) {
            c.frequency[i] = frequency[i];
            if (i > 0 && c.frequency[i] == c.frequency[i - 1]) {
                c.logHz[i] = c.logHz[i - 1];
            } else {
                for (size_t k = 0; k < c.logHz[i].size(); ++k) {
                    c.logHz[i][k] = std::log10(std::max(c.frequency[i][k], 1.0));
                }
            }
            c.magnitude[i] = magnitude[i];
            if (i < phase.size()) {
                c.phase[i] = phase[i];
            } else {
                c.phase[i].fill(0.0);
            }
            c.show[i] = i < showFlags.size() && showFlags[i] != 0;
        } else {
            c.frequency[i].fill(0.0);
            c.logHz[i].fill(0.0);
            c.magnitude[i].fill(0.0);
            c.phase[i].fill(0.0);
            c.show[i] = false;
        }
    }
    c.count = static_cast<int>(count);
    c.current = current;
    update();
}

void UIEqualizer::setDragAllDirection(bool peq) {
    mDragAllDirection = peq;
    LayoutLabel();
    update();
}

void UIEqualizer::setShowPhase(bool show) {
    mShowPhase = show;
    update();
}

model::EqBand UIEqualizer::Band(int index) const {
    return index >= 0 && index < mBandCount ? mBands[static_cast<size_t>(index)] : model::EqBand{};
}

QPoint UIEqualizer::BandPoint(int index) const {
    return index >= 0 && index < mBandCount ? mPoints[static_cast<size_t>(index)] : QPoint();
}

QRect UIEqualizer::MarkerBox(int index) const {
    return index >= 0 && index < mBandCount ? mMarkerBoxes[static_cast<size_t>(index)].ToQRect()
                                            : QRect();
}

QRect UIEqualizer::QHandleBox(int side) const {
    return side == 0 || side == 1 ? mQHandles[static_cast<size_t>(side)].ToQRect() : QRect();
}

// ---- the toolkit ----

toolkit::Control* UIEqualizer::OwnControl() const {
    QVariant control = property("tqControl");
    return control.isValid() ? static_cast<toolkit::Control*>(control.value<void*>()) : nullptr;
}

int UIEqualizer::Scale() const {
    toolkit::Control* control = OwnControl();
    const int scale = control != nullptr ? control->OwnerWindow().Scale() : mScale;
    return scale > 0 ? scale : 100;
}

}  // namespace ui
