// The calibration chart's attributes from the skin, the curves the window
// gives it and its link to its toolkit control. The painting is in
// ui_equalizer_ac_paint.cpp.
#include "ui/controls/ui_equalizer_ac.h"

#include <QVariant>
#include <algorithm>

#include "toolkit/control.h"
#include "toolkit/window.h"
#include "toolkit/xml_document.h"
#include "ui/controls/ui_equalizer_ac_parts.h"

namespace ui {

using namespace chart;

namespace {

// Keeps the first min(count, 16) rows and flags; clears every other slot of
// the layer. False, with the layer as it was, when count is 0 or less.
template <size_t Points>
bool Store(AcLayer<Points>& layer, std::span<const std::array<double, Points>> frequency,
           std::span<const std::array<double, Points>> value, int count,
           std::span<const bool> visible) {
    if (count <= 0) {
        return false;
    }
    const size_t n = std::min({static_cast<size_t>(count), static_cast<size_t>(kAcCurves),
                               frequency.size(), value.size()});
    for (size_t i = 0; i < static_cast<size_t>(kAcCurves); ++i) {
        if (i < n) {
            layer.frequency[i] = frequency[i];
            layer.value[i] = value[i];
            layer.visible[i] = i < visible.size() && visible[i];
        } else {
            layer.frequency[i].fill(0.0);
            layer.value[i].fill(0.0);
            layer.visible[i] = false;
        }
    }
    layer.count = static_cast<int>(n);
    return true;
}

}  // namespace

UIEqualizerAc::UIEqualizerAc(QWidget* parent, int scalePercent)
    : QWidget(parent),
      mScale(scalePercent > 0 ? scalePercent : 100),
      mLayers(std::make_unique<Layers>()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    mStroke.reserve(model::kCurvePoints);
}

UIEqualizerAc::~UIEqualizerAc() = default;

UIEqualizerAc* UIEqualizerAc::Build(const toolkit::XmlElement& node, QWidget* parent,
                                    toolkit::Window& window) {
    auto* chart = new UIEqualizerAc(parent, window.Scale());
    chart->ApplyAttributes(node);
    return chart;
}

// ---- attributes ----

void UIEqualizerAc::ApplyAttributes(const toolkit::XmlElement& node) {
    for (const auto& [name, value] : node.attributes) {
        SetAttribute(name, value);
    }
}

void UIEqualizerAc::SetAttribute(std::string_view name, std::string_view value) {
    const std::string key = Lower(name);
    if (ApplyTextStyle(key, value, mTextStyle)) {
        return;
    }
    if (key == "font") {
        mFont = ParseFontSpec(value);
    } else if (key == "textcolor") {
        ParseHexColor(value, mTextColor);
    } else if (key == "disabledtextcolor") {
        ParseHexColor(value, mDisabledTextColor);
    } else if (key == "textpadding") {
        ParseTextPadding(value, mTextPadding);
    } else if (key == "autocalcwidth") {
        mAutoCalcWidth = IsTrue(value);
    } else if (key == "bkcolor") {
        if (ParseHexColor(value, mBackground)) {
            update();
        }
    }
}

// ---- what the window gives ----

void UIEqualizerAc::setSpeakerCurves(std::span<const controller::SpeakerRow> frequency,
                                     std::span<const controller::SpeakerRow> value, int count,
                                     std::span<const bool> visible) {
    if (Store(mLayers->speaker, frequency, value, count, visible)) {
        update();
    }
}

void UIEqualizerAc::setEqLayerCurves(std::span<const controller::CurveRow> frequency,
                                     std::span<const controller::CurveRow> value, int count,
                                     std::span<const bool> visible) {
    if (Store(mLayers->eq, frequency, value, count, visible)) {
        update();
    }
}

void UIEqualizerAc::setTargetCurves(std::span<const controller::CurveRow> frequency,
                                    std::span<const controller::CurveRow> value, int count,
                                    std::span<const bool> visible) {
    if (Store(mLayers->target, frequency, value, count, visible)) {
        update();
    }
}

int UIEqualizerAc::SpeakerCount() const {
    return mLayers->speaker.count;
}

int UIEqualizerAc::EqCount() const {
    return mLayers->eq.count;
}

int UIEqualizerAc::TargetCount() const {
    return mLayers->target.count;
}

// ---- the toolkit ----

toolkit::Control* UIEqualizerAc::OwnControl() const {
    QVariant control = property("tqControl");
    return control.isValid() ? static_cast<toolkit::Control*>(control.value<void*>()) : nullptr;
}

int UIEqualizerAc::Scale() const {
    toolkit::Control* control = OwnControl();
    const int scale = control != nullptr ? control->OwnerWindow().Scale() : mScale;
    return scale > 0 ? scale : 100;
}

}  // namespace ui
