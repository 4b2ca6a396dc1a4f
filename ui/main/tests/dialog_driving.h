// Driving a modal window of the running program as a user does: opening it
// and acting inside its nested loop, clicking, typing, pressing keys, and
// reading what its controls show.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "modal_script.h"
#include "toolkit/control.h"
#include "toolkit/window.h"

namespace ui::testing {

// Opens a window with `open` (which returns when it closed) and runs `act`
// in it once it is up. A window `act` leaves open is closed and counts as a
// failure; returns whether `act` ran.
inline bool InModalWindow(const std::string& title, const std::function<void()>& open,
                          const std::function<void(toolkit::Window&)>& act,
                          int patienceMs = 15000) {
    bool ran = false;
    QTimer poll;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        toolkit::Window* top = TopModalWindow();
        if (top == nullptr && waited.elapsed() < patienceMs) {
            return;
        }
        poll.stop();
        if (top == nullptr) {
            return;
        }
        EXPECT_EQ(top->Title(), title);
        QPointer<QWidget> alive(top->Widget());
        QTimer::singleShot(0, [&, top, alive] {
            if (!alive) {
                return;
            }
            ran = true;
            act(*top);
            // Its modal loop ends once this handler returns; one still
            // running a moment later was left open.
            QTimer::singleShot(500, [title, top, alive] {
                if (alive && top->IsRunningModal()) {
                    ADD_FAILURE() << title << " was left open";
                    top->Close(0);
                }
            });
        });
    });
    poll.start(15);
    open();
    return ran;
}

// The class of the modal window that `act` opened within waitMs, after
// `look` saw it and it was closed again; empty for none.
inline std::string WindowOpenedBy(const std::function<void()>& act,
                                  const std::function<void(toolkit::Window&)>& look = {},
                                  int waitMs = 5000) {
    std::string opened;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (toolkit::Window* top = TopModalWindow(); top != nullptr && opened.empty()) {
            opened = top->ClassName();
            if (look) {
                look(*top);
            }
            top->Close(0);
        }
    });
    watch.start(20);
    act();
    WaitFor([&] { return !opened.empty(); }, waitMs);
    watch.stop();
    return opened;
}

namespace dialog {

inline QWidget* Widget(toolkit::Window& window, const std::string& name) {
    toolkit::Control* control = window.Find(name);
    EXPECT_NE(control, nullptr) << name;
    return control != nullptr ? control->Widget() : nullptr;
}

inline void Click(toolkit::Window& window, const std::string& name) {
    auto* button = qobject_cast<QAbstractButton*>(Widget(window, name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

// Replaces the edit's text as typed, then Enter.
inline void Type(toolkit::Window& window, const std::string& name, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(Widget(window, name));
    ASSERT_NE(edit, nullptr) << name;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

// A key pressed in the control, which has the focus (an edit with its whole
// text selected), as after a click into it.
inline void Key(toolkit::Window& window, const std::string& name, Qt::Key key) {
    QWidget* widget = Widget(window, name);
    ASSERT_NE(widget, nullptr) << name;
    widget->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->selectAll();
    }
    QTest::keyClick(widget, key);
}

inline std::string Text(toolkit::Window& window, const std::string& name) {
    toolkit::Control* control = window.Find(name);
    return control != nullptr ? control->Text() : "?";
}

// A slider's position; a value no slider holds when there is none.
inline int Value(toolkit::Window& window, const std::string& name) {
    toolkit::Control* control = window.Find(name);
    return control != nullptr ? control->Value() : -100000;
}

inline bool Focused(toolkit::Window& window, const std::string& name) {
    toolkit::Control* control = window.Find(name);
    return control != nullptr && control->HasFocus();
}

}  // namespace dialog
}  // namespace ui::testing
