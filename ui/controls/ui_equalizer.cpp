#include "ui/controls/ui_equalizer.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineF>
#include <QMouseEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QVariant>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/log.h"
#include "app/model_cfg.h"
#include "toolkit/control.h"
#include "toolkit/skin.h"
#include "toolkit/text_resources.h"
#include "toolkit/window.h"
#include "toolkit/xml_document.h"

namespace ui {

struct UIEqualizer::Curves {
    std::array<controller::CurveRow, kMaxCurves> frequency{};
    std::array<controller::CurveRow, kMaxCurves> magnitude{};
    std::array<controller::CurveRow, kMaxCurves> phase{};
    // log10 of every frequency, taken once per grid: the outputs share one.
    std::array<controller::CurveRow, kMaxCurves> logHz{};
    std::array<bool, kMaxCurves> show{};
    int count = 0;
    int current = 0;
};

namespace {

// Text style bits as the skin's text attributes describe them.
constexpr int kStyleCenter = 0x1;
constexpr int kStyleRight = 0x2;
constexpr int kStyleVCenter = 0x4;
constexpr int kStyleBottom = 0x8;
constexpr int kStyleWordBreak = 0x10;
constexpr int kStyleSingleLine = 0x20;
constexpr int kStyleNoPrefix = 0x800;
constexpr int kStyleEditControl = 0x2000;
constexpr int kStyleEndEllipsis = 0x8000;

constexpr std::array<int, 28> kGridFrequencies = {
    20,  30,  40,  50,   60,   70,   80,   90,   100,  200,  300,  400,  500,   600,
    700, 800, 900, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000};
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

const app::ModelCfg& Cfg() {
    return app::CurrentModelCfg();
}

int MinHz() {
    return Cfg().mEQ_FREQ_MIN > 0 ? Cfg().mEQ_FREQ_MIN : 20;
}

QColor Argb(uint32_t argb) {
    return QColor::fromRgba(argb);
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// A colour written in hexadecimal, with an optional leading "#" or "0x";
// six digits are opaque.
bool ParseHexColor(std::string_view text, uint32_t& out) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '#') {
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 8) {
        return false;
    }
    uint32_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return false;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    if (text.size() <= 6) {
        value |= 0xFF000000u;
    }
    out = value;
    return true;
}

bool IsTrue(std::string_view value) {
    return Lower(value) == "true";
}

QString BandText(int index) {
    return QString::number(index + 1);
}

QString ScaleFrequencyText(int hz) {
    return hz >= 1000 ? QString::number(hz / 1000) + "k" : QString::number(hz);
}

QString ScaleLevelText(int db) {
    return db > 0 ? "+" + QString::number(db) : QString::number(db);
}

}  // namespace

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
    const std::string text = Lower(value);
    auto fontOf = [&value] {
        FontSpec spec;
        std::string digits;
        for (char c : value) {
            if (c < '0' || c > '9') {
                break;
            }
            digits += c;
        }
        if (!digits.empty() && digits.size() < 4) {
            spec.pixelSize = std::stoi(digits);
        }
        spec.bold = value.find('b') != std::string_view::npos;
        return spec;
    };
    if (key == "align") {
        if (Contains(text, "left")) {
            mTextStyle &= ~(kStyleCenter | kStyleRight);
        }
        if (Contains(text, "center")) {
            mTextStyle = (mTextStyle & ~kStyleRight) | kStyleCenter;
        }
        if (Contains(text, "right")) {
            mTextStyle = (mTextStyle & ~kStyleCenter) | kStyleRight;
        }
    } else if (key == "valign") {
        if (Contains(text, "top")) {
            mTextStyle = (mTextStyle & ~(kStyleVCenter | kStyleBottom)) | kStyleSingleLine;
        }
        if (Contains(text, "vcenter")) {
            mTextStyle = (mTextStyle & ~kStyleBottom) | kStyleVCenter | kStyleSingleLine;
        }
        if (Contains(text, "bottom")) {
            mTextStyle = (mTextStyle & ~kStyleVCenter) | kStyleBottom | kStyleSingleLine;
        }
    } else if (key == "endellipsis") {
        mTextStyle =
            IsTrue(value) ? (mTextStyle | kStyleEndEllipsis) : (mTextStyle & ~kStyleEndEllipsis);
    } else if (key == "wordbreak") {
        if (IsTrue(value)) {
            mTextStyle = (mTextStyle | kStyleWordBreak | kStyleEditControl) & ~kStyleSingleLine;
        } else {
            mTextStyle = (mTextStyle & ~(kStyleWordBreak | kStyleEditControl)) | kStyleSingleLine;
        }
    } else if (key == "noprefix") {
        mTextStyle = IsTrue(value) ? (mTextStyle | kStyleNoPrefix) : (mTextStyle & ~kStyleNoPrefix);
    } else if (key == "font") {
        mFont = fontOf();
    } else if (key == "bypassfont") {
        mBypassFont = fontOf();
    } else if (key == "textcolor") {
        ParseHexColor(value, mTextColor);
    } else if (key == "selecttextcolor") {
        ParseHexColor(value, mSelectTextColor);
    } else if (key == "disabledtextcolor") {
        ParseHexColor(value, mDisabledTextColor);
    } else if (key == "bkcolor") {
        ParseHexColor(value, mBackground);
    } else if (key == "textpadding") {
        std::array<int, 4> padding{};
        int n = std::sscanf(std::string(value).c_str(), "%d,%d,%d,%d", &padding[0], &padding[1],
                            &padding[2], &padding[3]);
        if (n == 4) {
            mTextPadding = padding;
        }
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
    const int low = MinHz();
    if (hpHz >= low && hpHz <= kHighHz) {
        mHpFreq = hpHz;
        app::Log("setCurEqHpLp mHpFreq(%d)\n", mHpFreq);
    } else {
        mHpFreq = -1;
    }
    if (lpHz >= low && lpHz <= kHighHz) {
        mLpFreq = lpHz;
        app::Log("setCurEqHpLp mLpFreq(%d)\n", mLpFreq);
    } else {
        mLpFreq = -1;
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

bool UIEqualizer::BandGuarded() const {
    return Cfg().mEQ_4BANDS_NOT_AJUST && mCurves->current == 0 && mCurrentControlIndex <= 3;
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

// ---- coordinates ----

double UIEqualizer::FrequencyToX(double hz) const {
    const double low = std::log10(static_cast<double>(MinHz()));
    const double span = std::log10(static_cast<double>(kHighHz)) - low;
    return mLeft + mWidth * (std::log10(std::max(hz, 1.0)) - low) / span;
}

int UIEqualizer::XToFrequency(double x) const {
    if (mWidth <= 0) {
        return MinHz();
    }
    const double low = std::log10(static_cast<double>(MinHz()));
    const double span = std::log10(static_cast<double>(kHighHz)) - low;
    return static_cast<int>(std::lround(std::pow(10.0, low + (x - mLeft) * span / mWidth)));
}

double UIEqualizer::GainToY(double db) const {
    if (db > 0) {
        return mZeroY - std::round((mZeroY - mTop) * db) / kTopDb;
    }
    if (db < 0) {
        return mZeroY - std::round((mBottom - mZeroY) * db) / -kBottomDb;
    }
    return mZeroY;
}

double UIEqualizer::YToGain(double y) const {
    if (y < mZeroY && mZeroY > mTop) {
        return kTopDb * (mZeroY - y) / (mZeroY - mTop);
    }
    if (y > mZeroY && mBottom > mZeroY) {
        return kBottomDb * (y - mZeroY) / (mBottom - mZeroY);
    }
    return 0.0;
}

QPoint UIEqualizer::ClampToChart(QPoint p) const {
    return QPoint(std::clamp(p.x(), mLeft, std::max(mLeft, mRight)),
                  std::clamp(p.y(), mTop, std::max(mTop, mBottom)));
}

QPoint UIEqualizer::PointOf(const model::EqBand& band) const {
    const double hz = std::clamp(static_cast<double>(band.freq), static_cast<double>(MinHz()),
                                 static_cast<double>(kHighHz));
    const double db = std::isfinite(band.eqGain) ? std::clamp(static_cast<double>(band.eqGain),
                                                              double{kBottomDb}, double{kTopDb})
                                                 : 0.0;
    return QPoint(static_cast<int>(FrequencyToX(hz)), static_cast<int>(GainToY(db)));
}

// ---- layout ----

UIEqualizer::Box UIEqualizer::MarkerBoxAt(QPoint point) const {
    const int h = scaled(8);
    const int d = scaled(16);
    Box box;
    if (point.x() < mLeft + h) {
        box.left = mLeft;
        box.right = mLeft + d;
    } else if (point.x() > mRight - h) {
        box.left = mRight - d;
        box.right = mRight;
    } else {
        box.left = point.x() - h;
        box.right = point.x() + h;
    }
    if (point.y() < mTop + h) {
        box.top = mTop;
        box.bottom = mTop + d;
    } else if (point.y() > mBottom - h) {
        box.top = mBottom - d;
        box.bottom = mBottom;
    } else {
        box.top = point.y() - h;
        box.bottom = point.y() + h;
    }
    return box;
}

void UIEqualizer::FullLayout() {
    mLeft = 0;
    mTop = 0;
    mRight = width();
    mBottom = height();
    mWidth = mRight - mLeft;
    mHeight = mBottom - mTop;
    mZeroY = static_cast<float>(mTop + (mHeight * kTopDb) / (kTopDb - kBottomDb));
    mLayoutValid = mHeight != 0 && mWidth != 0 && mZeroY != 0;
    for (int i = 0; i < mBandCount; ++i) {
        const bool dragged = mCapture == Capture::INDEX_CAPTURED && i == mCurrentControlIndex;
        // The point being dragged stays under the pointer whatever the
        // refresh rounded its values to.
        mPoints[i] = dragged ? mDragPoint : PointOf(mBands[i]);
        mMarkerBoxes[i] = MarkerBoxAt(mPoints[i]);
        mMarkerTexts[i] = BandText(i);
    }
    LayoutLabel();
    LayoutCrossover();
}

void UIEqualizer::LayoutLabel() {
    mLabelText.clear();
    mLabelBox = Box{};
    mQHandles = {};
    if (!SelectedValid()) {
        return;
    }
    const model::EqBand& band = mBands[static_cast<size_t>(mCurrentControlIndex)];
    const QPoint point = mPoints[static_cast<size_t>(mCurrentControlIndex)];
    const int x = point.x();
    const int y = point.y();
    char text[96];
    int half;
    int full;
    if (mDragAllDirection) {
        char q[32];
        std::snprintf(q, sizeof q, "%0.2f", static_cast<double>(band.eqFactor));
        std::snprintf(text, sizeof text, "%d Hz %s Q %.1f dB", band.freq, q,
                      static_cast<double>(band.eqGain));
        half = scaled(75);
        full = scaled(150);
    } else {
        std::snprintf(text, sizeof text, "%.1f dB", static_cast<double>(band.eqGain));
        half = scaled(25);
        full = scaled(50);
    }
    mLabelText = QString::fromUtf8(text);
    if (x < mLeft + half) {
        mLabelBox.left = mLeft;
        mLabelBox.right = mLeft + full;
    } else if (x > mRight - half) {
        mLabelBox.left = mRight - full;
        mLabelBox.right = mRight;
    } else {
        mLabelBox.left = x - half;
        mLabelBox.right = x + half;
    }
    if (y < mTop + scaled(14)) {
        mLabelBox.top = mTop + scaled(22);
        mLabelBox.bottom = mTop + scaled(37);
    } else if (y > mBottom - scaled(29) && y < mBottom - scaled(10)) {
        mLabelBox.top = y - scaled(29);
        mLabelBox.bottom = y - scaled(14);
    } else if (y < mBottom - scaled(10)) {
        mLabelBox.top = y + scaled(14);
        mLabelBox.bottom = y + scaled(29);
    } else {
        mLabelBox.top = mBottom - scaled(37);
        mLabelBox.bottom = mBottom - scaled(22);
    }
    if (!mDragAllDirection) {
        return;
    }
    // The handles sit 81/Q pixels (at 100 %) to each side of the point, so
    // grabbing one where it is drawn gives the same Q back.
    const double q = std::clamp(static_cast<double>(band.eqFactor), 0.5, 9.0);
    const int d = static_cast<int>(std::lround(81.0 / q));
    const int g = Scale() * d / 100;
    const int f = scaled(4);
    int top;
    int bottom;
    if (y < mTop + scaled(14)) {
        top = mTop + scaled(12);
        bottom = mTop + scaled(20);
    } else if (y > mBottom - scaled(29) && y < mBottom - scaled(10)) {
        top = y - scaled(12);
        bottom = y - scaled(4);
    } else if (y < mBottom - scaled(10)) {
        top = y + scaled(4);
        bottom = y + scaled(12);
    } else {
        top = mBottom - scaled(20);
        bottom = mBottom - scaled(12);
    }
    mQHandles[0] = Box{x - g - f, top, x - g + f, bottom};
    mQHandles[1] = Box{x + g - f, top, x + g + f, bottom};
}

void UIEqualizer::LayoutCrossover() {
    const int s = Scale();
    const bool fullNames = Cfg().mUSE_FULL_PASS_FILTER_NAME;
    const int h = fullNames ? s * 21 / 100 : s * 7 / 100;
    const int full = fullNames ? s * 42 / 100 : s * 14 / 100;
    auto boxAt = [&](int hz, double topDb, int height) {
        Box box;
        if (hz < MinHz() || hz > kHighHz) {
            return box;
        }
        const double x = FrequencyToX(hz);
        const int a = static_cast<int>(x - h);
        const int rightEdge = a < mLeft ? mLeft + full : static_cast<int>(x + h);
        if (rightEdge > mRight) {
            box.left = mRight - full;
            box.right = mRight;
        } else {
            box.left = std::max(a, mLeft);
            box.right = rightEdge;
        }
        box.top = static_cast<int>(GainToY(topDb));
        box.bottom = box.top + height;
        return box;
    };
    mHpBox = boxAt(mHpFreq, -8.0, scaled(10));
    mLpBox = boxAt(mLpFreq, fullNames ? -8.0 : -11.0, scaled(10) + 2);
}

// ---- painting ----

void UIEqualizer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter);
}

void UIEqualizer::resizeEvent(QResizeEvent* event) {
    mLayoutValid = false;  // the band points follow at the next paint
    QWidget::resizeEvent(event);
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
    QPen pen(Argb(color), 2.0 * Scale() / 100.0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::BevelJoin);
    return pen;
}

QPen UIEqualizer::OtherPen(int channel) const {
    const uint32_t color =
        HasPaletteEntry(channel) ? mPalette[static_cast<size_t>(channel)] : kNoPaletteOther;
    const double width = (HasPaletteEntry(mCurves->current) ? 2.0 : 3.0) * Scale() / 100.0;
    QPen pen(Argb(color), width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::BevelJoin);
    return pen;
}

void UIEqualizer::DrawBezierChain(const std::vector<QPoint>& points, const QPen& pen) {
    // Every stored point but the last, cut to the 3k + 1 points a chain of
    // cubic segments takes, each segment flattened to lines a few pixels
    // long.
    const int passed = static_cast<int>(points.size()) - 1;
    if (passed < 2) {
        return;
    }
    mPolyline.clear();
    mPolyline.push_back(QPointF(points[0]));
    if (passed < 4) {
        for (int i = 1; i < passed; ++i) {
            mPolyline.push_back(QPointF(points[static_cast<size_t>(i)]));
        }
    } else {
        const int used = passed - (passed - 1) % 3;
        for (int i = 0; i + 3 < used; i += 3) {
            const QPointF p0(points[static_cast<size_t>(i)]);
            const QPointF p1(points[static_cast<size_t>(i + 1)]);
            const QPointF p2(points[static_cast<size_t>(i + 2)]);
            const QPointF p3(points[static_cast<size_t>(i + 3)]);
            const double span =
                QLineF(p0, p1).length() + QLineF(p1, p2).length() + QLineF(p2, p3).length();
            const int steps = std::clamp(static_cast<int>(span / 3.0) + 1, 1, 64);
            for (int k = 1; k <= steps; ++k) {
                const double t = static_cast<double>(k) / steps;
                const double u = 1.0 - t;
                const QPointF at =
                    u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
                if (at != mPolyline.back()) {
                    mPolyline.push_back(at);
                }
            }
        }
    }
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
    QPointF previous;
    QPointF previousPhase;
    bool first = true;
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
        const QPointF point(x, yOf(m));
        const QPointF phasePoint(x, yOf(p));
        QPointF stored;
        QPointF storedPhase;
        if (first) {
            stored = point;
            storedPhase = phasePoint;
        } else if (x >= mLeft) {
            stored = (point + previous) / 2.0;
            storedPhase = (phasePoint + previousPhase) / 2.0;
        } else {
            stored = previous;
            storedPhase = previousPhase;
        }
        first = false;
        const QPoint rounded = stored.toPoint();
        mStroke.push_back(rounded);
        previous = rounded;
        if (mShowPhase) {
            const QPoint roundedPhase = storedPhase.toPoint();
            mPhaseStroke.push_back(roundedPhase);
            previousPhase = roundedPhase;
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
    QPen solid(Argb(mLineColor), lineWidth);
    painter.setPen(solid);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(mLeft, mTop, mWidth - 1, mHeight - 1));
    const int zero = static_cast<int>(mZeroY);
    painter.drawLine(mLeft, zero, mLeft + mWidth, zero);
    QPen dotted = solid;
    dotted.setStyle(Qt::DotLine);
    painter.setPen(dotted);
    for (int level : kGridLevels) {
        const int y = static_cast<int>(GainToY(level));
        painter.drawLine(mLeft, y, mRight, y);
    }
    painter.setPen(solid);
    for (int hz : kGridFrequencies) {
        if (hz == kHighHz) {
            continue;  // the chart's right edge
        }
        const int x = static_cast<int>(FrequencyToX(hz));
        painter.drawLine(x, mTop, x, mBottom);
    }
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
    if (mHpFreq != -1) {
        painter.setPen(Argb(mCapture == Capture::HP_CAPTURED ? mSelectTextColor : kWhite));
        painter.drawText(mHpBox.ToQRect(), Qt::AlignCenter | Qt::TextDontClip,
                         fullNames ? "HPF" : "H");
    }
    if (mLpFreq != -1) {
        painter.setPen(Argb(mCapture == Capture::LP_CAPTURED ? mSelectTextColor : kWhite));
        painter.drawText(mLpBox.ToQRect(), Qt::AlignCenter | Qt::TextDontClip,
                         fullNames ? "LPF" : "L");
    }
    if (mFocused) {
        QColor focus = Argb(mSelectTextColor);
        focus.setAlpha(90);
        painter.setPen(QPen(focus, std::max(1, Scale() / 100)));
        painter.drawRect(QRect(mLeft + 1, mTop + 1, mWidth - 3, mHeight - 3));
    }
}

// ---- the mouse ----

void UIEqualizer::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
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
    const QPoint p = ClampToChart(raw);
    switch (mCapture) {
        case Capture::NOT_CAPTURED:
            break;
        case Capture::INDEX_CAPTURED:
            MoveBand(p, false);
            return;
        case Capture::FACTOR_CAPTURED:
            MoveFactor(p, false);
            return;
        case Capture::HP_CAPTURED:
            MoveCrossover(p, false, true);
            return;
        case Capture::LP_CAPTURED:
            MoveCrossover(p, false, false);
            return;
    }
    for (int i = 0; i < mBandCount; ++i) {
        if (mMarkerBoxes[static_cast<size_t>(i)].Contains(raw)) {
            setCursor(Qt::PointingHandCursor);
            if (i != mCurrentControlIndex) {
                Select(i);
                LayoutLabel();
                update();
                Notify("equalizer_eq");
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
    const QPoint p = ClampToChart(event->position().toPoint());
    switch (mCapture) {
        case Capture::NOT_CAPTURED:
            break;
        case Capture::INDEX_CAPTURED:
            MoveBand(p, true);
            break;
        case Capture::FACTOR_CAPTURED:
            MoveFactor(p, true);
            break;
        case Capture::HP_CAPTURED:
            MoveCrossover(p, true, true);
            break;
        case Capture::LP_CAPTURED:
            MoveCrossover(p, true, false);
            break;
    }
    // A release ends every drag, also one whose band went away meanwhile, so
    // that the next refresh may select again.
    mCapture = Capture::NOT_CAPTURED;
    update();
    QWidget::mouseReleaseEvent(event);
}

void UIEqualizer::MoveBand(QPoint p, bool release) {
    if (!SelectedValid()) {
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
    update();
    if (release) {
        setCursor(Qt::PointingHandCursor);
        Notify("equalizer_eq_release");
    } else if (changed) {
        Notify("equalizer_eq");
    }
}

void UIEqualizer::MoveFactor(QPoint p, bool release) {
    if (!SelectedValid()) {
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
    update();
    if (release) {
        setCursor(Qt::ArrowCursor);
        Notify("equalizer_eq_release");
    } else if (changed) {
        Notify("equalizer_eq");
    }
}

void UIEqualizer::MoveCrossover(QPoint p, bool release, bool highPass) {
    const int f = XToFrequency(p.x());
    bool changed = false;
    if (highPass) {
        // The high-pass stays below the low-pass; a hidden low-pass (-1)
        // leaves no room at all.
        if (release) {
            if (f < mLpFreq) {
                mHpFreq = f;
            }
            app::Log("HP_CAPTURED move x(%d) y(%d) mHpFreq(%d)\n", p.x(), p.y(), mHpFreq);
        } else {
            if (f < mLpFreq && f != mHpFreq) {
                mHpFreq = f;
                changed = true;
            }
            app::Log("HP_CAPTURED move x(%d) y(%d) mCurrentControlIndex(%d) mHpFreq(%d)\n", p.x(),
                     p.y(), mCurrentControlIndex, mHpFreq);
        }
    } else {
        if (release) {
            if (f > mHpFreq) {
                mLpFreq = f;
            }
            app::Log("HP_CAPTURED move x(%d) y(%d) mLpFreq(%d)\n", p.x(), p.y(), mLpFreq);
        } else {
            if (f > mHpFreq && f != mLpFreq) {
                mLpFreq = f;
                changed = true;
            }
            app::Log("LP_CAPTURED move x(%d) y(%d) mCurrentControlIndex(%d) mHpFreq(%d)\n", p.x(),
                     p.y(), mCurrentControlIndex, mLpFreq);
        }
    }
    LayoutCrossover();
    update();
    if (release) {
        setCursor(Qt::ArrowCursor);
        Notify(highPass ? "equalizer_hp_release" : "equalizer_lp_release");
    } else if (changed) {
        Notify(highPass ? "equalizer_hp" : "equalizer_lp");
    }
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
            Select(next);
            LayoutLabel();
            update();
            Notify("equalizer_eq");
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
