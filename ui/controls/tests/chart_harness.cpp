#include "chart_harness.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

#include "dsp_math/biquad.h"
#include "dsp_math/log_grid.h"
#include "toolkit/layout_spec.h"
#include "toolkit/skin.h"

namespace ui::testing {
namespace {

toolkit::XmlElement gSkinNode;

std::filesystem::path LayoutFolder() {
    return std::filesystem::temp_directory_path() /
           ("tq_ui_controls_tests_" + std::to_string(::getpid()));
}

const toolkit::XmlElement* FindChart(const toolkit::XmlElement& node) {
    if (node.name == "Curve" && node.AttributeOr("name", "") == "equalizer") {
        return &node;
    }
    for (const auto& child : node.children) {
        if (const toolkit::XmlElement* found = FindChart(child)) {
            return found;
        }
    }
    return nullptr;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A window the size of the main window's chart plus a margin, the chart
// 10 px in from its corner.
std::string ChartLayout(const toolkit::XmlElement& node) {
    std::string attributes;
    for (const auto& [key, value] : node.attributes) {
        if (key != "pos") {
            attributes += " " + key + "=\"" + Escaped(value) + "\"";
        }
    }
    return "<Window size=\"646,218\"><Curve pos=\"10,10,626,198\"" + attributes + "/></Window>";
}

void SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), QPointF(widget.mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

}  // namespace

bool PrepareChartLayouts() {
    auto text = toolkit::Skin::Instance().ReadFile(
        toolkit::Skin::Instance().ResolveLayout("XML_MAIN").value_or("xml/Main_dlg.xml"));
    if (!text) {
        return false;
    }
    auto root = toolkit::ParseLayout(*text);
    const toolkit::XmlElement* node = root ? FindChart(*root) : nullptr;
    if (node == nullptr) {
        return false;
    }
    gSkinNode = *node;
    toolkit::XmlElement plain;
    plain.name = "Curve";
    plain.attributes = {{"name", "equalizer"}, {"userdata", "-1"}};

    std::filesystem::path folder = LayoutFolder();
    std::filesystem::create_directories(folder / "xml");
    std::ofstream(folder / "xml" / "chart.xml") << ChartLayout(gSkinNode);
    std::ofstream(folder / "xml" / "chart_plain.xml") << ChartLayout(plain);
    toolkit::Skin::Instance().Reset();
    toolkit::Skin::Instance().SetResourcePath(folder.string());
    return true;
}

void RemoveChartLayouts() {
    std::error_code ignored;
    std::filesystem::remove_all(LayoutFolder(), ignored);
}

const toolkit::XmlElement& SkinChartNode() {
    return gSkinNode;
}

ChartWindow::ChartWindow(int scale, bool plain) : Window("ChartWnd", "chart") {
    SetScale(scale);
    SetBuilder([](const std::string& tag, const toolkit::XmlElement& node, QWidget* parent,
                  toolkit::Window& window) -> QWidget* {
        return tag == "Curve" ? UIEqualizer::Build(node, parent, window) : nullptr;
    });
    if (CreateFromPath(nullptr, plain ? "xml/chart_plain.xml" : "xml/chart.xml")) {
        if (toolkit::Control* control = Find("equalizer")) {
            mChart = dynamic_cast<UIEqualizer*>(control->Widget());
        }
    }
    if (mChart == nullptr) {
        ADD_FAILURE() << "the chart layout did not build";
        std::abort();
    }
    Show();
}

std::vector<std::string> ChartWindow::Types() const {
    std::vector<std::string> types;
    for (const ChartNote& note : notes) {
        types.push_back(note.type);
    }
    return types;
}

void ChartWindow::Notify(const toolkit::Notification& notification) {
    if (notification.type.rfind("equalizer", 0) == 0 && notification.name == "equalizer") {
        notes.push_back({notification.type, notification.userData});
        if (onChartNote) {
            onChartNote(notification);
        }
    }
    DefaultNotify(notification);
}

AcChartWindow::AcChartWindow(int scale, const std::string& attributes)
    : Window("AutoCalWnd", "calibration chart") {
    // A layout file of its own for each window: the skin keeps what it read.
    static int layouts = 0;
    const std::string path = "xml/chart_ac_" + std::to_string(++layouts) + ".xml";
    std::ofstream(LayoutFolder() / path)
        << "<Window size=\"660,320\"><CurveAc name=\"equalizer_ac\" pos=\"10,10,640,300\" "
        << attributes << "/></Window>";
    SetScale(scale);
    SetBuilder([](const std::string& tag, const toolkit::XmlElement& node, QWidget* parent,
                  toolkit::Window& window) -> QWidget* {
        return tag == "CurveAc" ? UIEqualizerAc::Build(node, parent, window) : nullptr;
    });
    if (CreateFromPath(nullptr, path)) {
        if (toolkit::Control* control = Find("equalizer_ac")) {
            mChart = dynamic_cast<UIEqualizerAc*>(control->Widget());
        }
    }
    if (mChart == nullptr) {
        ADD_FAILURE() << "the calibration chart layout did not build";
        std::abort();
    }
    Show();
}

void AcChartWindow::Notify(const toolkit::Notification& notification) {
    notes.push_back(notification.type + " " + notification.name);
    DefaultNotify(notification);
}

void Hover(QWidget& widget, QPoint at) {
    SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
}

void Press(QWidget& widget, QPoint at) {
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
}

void DragTo(QWidget& widget, QPoint at) {
    SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
}

void Release(QWidget& widget, QPoint at) {
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

QImage Grab(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

int CountNear(const QImage& image, const QRect& area, QColor color, int tolerance) {
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) <= tolerance &&
                std::abs(pixel.green() - color.green()) <= tolerance &&
                std::abs(pixel.blue() - color.blue()) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

QRect Difference(const QImage& a, const QImage& b) {
    QRect box;
    const int w = std::min(a.width(), b.width());
    const int h = std::min(a.height(), b.height());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

std::vector<model::EqBand> SpreadBands(int n, float gainDb, float q) {
    std::vector<model::EqBand> bands(static_cast<size_t>(n));
    const double low = std::log10(25.0);
    const double high = std::log10(16000.0);
    for (int i = 0; i < n; ++i) {
        model::EqBand& band = bands[static_cast<size_t>(i)];
        band.freq = static_cast<int32_t>(
            std::lround(std::pow(10.0, low + (high - low) * i / std::max(1, n - 1))));
        band.eqGain = gainDb;
        band.eqFactor = q;
        band.enable = true;
        band.type = 0;
    }
    return bands;
}

CurveSet FlatCurves(const std::vector<double>& levelsDb, const std::vector<int32_t>& show) {
    CurveSet set;
    controller::CurveRow grid{};
    dsp::makeLogGrid(dsp::kSampleRate, grid);
    for (double level : levelsDb) {
        set.frequency.push_back(grid);
        controller::CurveRow magnitude;
        magnitude.fill(level);
        set.magnitude.push_back(magnitude);
        set.phase.push_back(controller::CurveRow{});
    }
    set.show = show;
    return set;
}

void Feed(UIEqualizer& chart, const CurveSet& curves, int current) {
    chart.setEqCurves(curves.frequency, curves.magnitude, curves.phase, current, curves.show);
}

}  // namespace ui::testing
