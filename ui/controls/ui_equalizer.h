// The interactive EQ chart of the main window (skin tag "Curve", named
// "equalizer"): a logarithmic frequency grid from 20 Hz to 20 kHz over a
// +12/-18 dB scale, every output's response curve with the current output's
// on top, the current output's numbered band points, the selected band's
// value label and Q handles, and the crossover handles "H" and "L".
//
// The chart keeps its own copy of what it was given and changes that copy
// while the user drags. Each change is told to the window as a toolkit
// notification of the chart's control ("equalizer_eq", "equalizer_hp",
// "equalizer_lp" and their "_release" forms); the controller then reads the
// values back (CurrentControlIndex, Band, HpFreq, LpFreq) and feeds the chart
// again, while the mouse is still down. Those refreshes keep the drag going:
// the capture, the selection and the dragged point under the pointer stay.
#pragma once

#include <QFont>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controller/eq_chart.h"
#include "model/profile.h"
#include "ui/controls/chart_attributes.h"
#include "ui/controls/curve_raster.h"

namespace toolkit {
struct XmlElement;
class Window;
class Control;
}  // namespace toolkit

namespace ui {

class UIEqualizer final : public QWidget, public controller::EqChart {
public:
    enum class Capture { NOT_CAPTURED, INDEX_CAPTURED, FACTOR_CAPTURED, HP_CAPTURED, LP_CAPTURED };

    static constexpr int kMaxBands = 31;
    static constexpr int kMaxCurves = 32;
    static constexpr int kTopDb = 12;
    static constexpr int kBottomDb = -18;
    static constexpr int kHighHz = 20000;

    // scalePercent is used until the chart belongs to a toolkit window; from
    // then on the window's scale counts.
    explicit UIEqualizer(QWidget* parent, int scalePercent = 100);
    ~UIEqualizer() override;

    // What the window's builder does for a "Curve" tag: the chart, with the
    // attributes of its layout node.
    static UIEqualizer* Build(const toolkit::XmlElement& node, QWidget* parent,
                              toolkit::Window& window);

    // The chart's own attributes of a layout node (names without regard to
    // case): "font" and "bypassfont" (pixel size at 100 %, "b" for bold, as
    // every font of the skin), "textcolor", "selecttextcolor",
    // "disabledtextcolor", "bkcolor", "curvecolor" ("#AARRGGBB" colours
    // separated by blanks, one per output), "curvelogo", "align", "valign",
    // "endellipsis", "wordbreak", "noprefix", "textpadding", "autocalcwidth".
    // Other names are the toolkit's and are ignored here.
    void ApplyAttributes(const toolkit::XmlElement& node);
    void SetAttribute(std::string_view name, std::string_view value);

    // controller::EqChart
    void setCurEqBands(std::span<const model::EqBand> bands, int selected) override;
    void setCurEqHpLp(int hpHz, int lpHz) override;
    void setEqCurves(std::span<const controller::CurveRow> frequency,
                     std::span<const controller::CurveRow> magnitude,
                     std::span<const controller::CurveRow> phase, int current,
                     std::span<const int32_t> showFlags) override;
    void setDragAllDirection(bool peq) override;
    void setShowPhase(bool show) override;
    int CurrentControlIndex() const override { return mCurrentControlIndex; }
    model::EqBand Band(int index) const override;
    int HpFreq() const override { return mHpFreq; }
    int LpFreq() const override { return mLpFreq; }

    // The display scale in percent and k * scale / 100, truncated.
    int Scale() const;
    int scaled(int k) const { return k * Scale() / 100; }

    // Coordinates inside the chart (the control's rectangle).
    float ZeroY() const { return mZeroY; }
    double FrequencyToX(double hz) const;
    int XToFrequency(double x) const;
    double GainToY(double db) const;
    double YToGain(double y) const;

    // What the chart shows now, for the window and its tests.
    bool DragAllDirection() const { return mDragAllDirection; }
    Capture CaptureState() const { return mCapture; }
    int BandCount() const { return mBandCount; }
    QPoint BandPoint(int index) const;
    QRect MarkerBox(int index) const;  // the band's hit box, its number drawn inside
    QString LabelText() const { return mLabelText; }
    QRect LabelBox() const { return mLabelBox.ToQRect(); }
    QRect QHandleBox(int side) const;  // 0 left, 1 right; empty when not shown
    QRect HpBox() const { return mHpBox.ToQRect(); }
    QRect LpBox() const { return mLpBox.ToQRect(); }
    const std::vector<uint32_t>& Palette() const { return mPalette; }
    uint32_t SelectTextColor() const { return mSelectTextColor; }
    bool AllZero() const { return mAllZero; }

    // Paints the chart as its paint event does (benchmarks paint into images).
    void Paint(class QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // A box as the chart keeps it: left and top inside, right and bottom
    // outside.
    struct Box {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        bool Contains(QPoint p) const {
            return p.x() >= left && p.x() < right && p.y() >= top && p.y() < bottom;
        }
        bool Empty() const { return right <= left || bottom <= top; }
        QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
    };
    struct Curves;
    using FontSpec = chart::FontSpec;

    void FullLayout();
    void LayoutLabel();
    void LayoutCrossover();
    Box MarkerBoxAt(QPoint point) const;
    bool SelectedValid() const {
        return mCurrentControlIndex >= 0 && mCurrentControlIndex < mBandCount;
    }
    QPoint ClampToChart(QPoint p) const;
    QPoint PointOf(const model::EqBand& band) const;
    void Select(int band);
    // Selects the band, shows its label and tells the window.
    void SelectAndTell(int band);
    void Notify(const char* type);
    toolkit::Control* OwnControl() const;
    QFont FontFor(const FontSpec& spec) const;
    int TextFlags() const;
    bool BandGuarded() const;

    // Hands the pointer to the drag in progress; false when nothing is
    // captured.
    bool MoveCaptured(QPoint p, bool release);
    // A release on the spot of the press ends a click on a band point or a
    // Q handle: it tells the window but stores nothing, so the band keeps its
    // exact values rather than those of the pixel under the pointer.
    bool KeptByClick(QPoint p, bool release);
    void MoveBand(QPoint p, bool release);
    void MoveFactor(QPoint p, bool release);
    void MoveCrossover(QPoint p, bool release, bool highPass);
    // The end of one drag step: a release puts the cursor back and always
    // tells the window, a move tells it only when it changed something.
    void EndStep(bool release, bool changed, Qt::CursorShape cursorAfter, const char* moveType,
                 const char* releaseType);

    void DrawGrid(QPainter& painter);
    void DrawAxisLabels(QPainter& painter);
    void DrawCurve(int channel, const QPen& pen);
    void DrawBezierChain(const std::vector<QPoint>& points, const QPen& pen);
    QPen CurrentPen() const;
    QPen OtherPen(int channel) const;
    bool HasPaletteEntry(int channel) const;

    int mScale;
    // chart rectangle
    int mLeft = 0;
    int mTop = 0;
    int mRight = 0;
    int mBottom = 0;
    int mWidth = 0;
    int mHeight = 0;
    float mZeroY = 0;
    bool mLayoutValid = false;

    std::array<model::EqBand, kMaxBands> mBands{};
    int mBandCount = 0;
    std::array<QPoint, kMaxBands> mPoints{};
    std::array<Box, kMaxBands> mMarkerBoxes{};
    std::array<QString, kMaxBands> mMarkerTexts{};
    bool mAllZero = false;
    int mCurrentControlIndex = -1;
    bool mDragAllDirection = false;
    int mHpFreq = -1;
    int mLpFreq = -1;
    Box mHpBox;
    Box mLpBox;
    QString mLabelText;
    Box mLabelBox;
    std::array<Box, 2> mQHandles{};

    std::unique_ptr<Curves> mCurves;
    bool mShowPhase = false;

    Capture mCapture = Capture::NOT_CAPTURED;
    QPoint mDragPoint;  // the dragged band's point, kept across refreshes
    // Where the capture began. (A drag that comes back there has stored
    // that pixel on its moves.)
    QPoint mPressPoint;
    bool mFocused = false;

    // attributes
    FontSpec mFont;
    FontSpec mBypassFont;
    int mTextStyle = 37;  // centred, vertically centred, single line
    uint32_t mTextColor = 0xff444444;
    uint32_t mSelectTextColor = 0xFFFF0000;
    uint32_t mDisabledTextColor = 0;
    std::array<int, 4> mTextPadding{};
    bool mAutoCalcWidth = false;
    uint32_t mBackground = 0xFF10141A;
    uint32_t mLineColor = 0xff444444;
    std::vector<uint32_t> mPalette;
    std::string mLogo;

    std::vector<QPoint> mStroke;  // reused by every curve drawn
    std::vector<QPoint> mPhaseStroke;
    std::vector<QPointF> mPolyline;
    CurveRaster mRaster;
};

}  // namespace ui
