// Helpers for the skin and dialog tests.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "toolkit/extension_controls.h"
#include "toolkit/window.h"

namespace ui::testing {

// Runs the action once the next modal run has started.
inline void WhenModal(std::function<void()> action) {
    QTimer::singleShot(0, std::move(action));
}

// Clicks a control of the window as the user would.
inline bool Click(toolkit::Window& window, const char* name) {
    toolkit::Control* control = window.Find(name);
    auto* button = control != nullptr ? qobject_cast<QAbstractButton*>(control->Widget()) : nullptr;
    if (button == nullptr || !button->isVisible()) {
        return false;
    }
    button->click();
    return true;
}

// The main window's builder as far as this layer knows it: the toolkit's
// extensions, and a plain panel where the EQ chart will go.
inline QWidget* BuildForTests(const std::string& tag, const toolkit::XmlElement&, QWidget* parent,
                              toolkit::Window&) {
    if (QWidget* extension = toolkit::MakeExtensionControl(tag, parent)) {
        return extension;
    }
    if (tag == "Curve" || tag == "CurveAc") {
        auto* panel = new QWidget(parent);
        panel->setAutoFillBackground(true);
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window, QColor(0x10, 0x14, 0x1A));
        panel->setPalette(palette);
        return panel;
    }
    return nullptr;
}

}  // namespace ui::testing
