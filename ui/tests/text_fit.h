// Checks on what a window shows: every text fits the room its control gives
// it (as the style lays it out, padding included), visible controls with a
// text do not overlap, and a text in a colour the program fixes stays
// readable on what is drawn behind it.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "toolkit/skin_widgets.h"
#include "toolkit/window.h"

namespace ui::testing {

// The width the style leaves for the text of a button, an option or an edit.
inline int TextRoom(QWidget* widget) {
    if (auto* sw = dynamic_cast<toolkit::SwitchButton*>(widget)) {
        return sw->width() - sw->TextLeft();
    }
    if (auto* skin = dynamic_cast<toolkit::SkinButton*>(widget);
        skin != nullptr && skin->HasImages()) {
        return skin->width();  // drawn over the state image, centred in the whole button
    }
    if (auto* push = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(push);
        option.text = push->text();
        option.features = push->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
        return push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push).width();
    }
    if (qobject_cast<QCheckBox*>(widget) != nullptr ||
        qobject_cast<QRadioButton*>(widget) != nullptr) {
        QStyleOptionButton option;
        option.initFrom(widget);
        option.text = static_cast<QAbstractButton*>(widget)->text();
        const auto element = qobject_cast<QCheckBox*>(widget) != nullptr
                                 ? QStyle::SE_CheckBoxContents
                                 : QStyle::SE_RadioButtonContents;
        return widget->style()->subElementRect(element, &option, widget).width();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth =
            edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
        QMargins margins = edit->textMargins();
        return contents.width() - margins.left() - margins.right() -
               4;  // the line edit's own margin
    }
    return widget->width();
}

// Texts that do not fit their control, as "name: text".
inline std::vector<std::string> OverflowingTexts(toolkit::Window& window) {
    std::vector<std::string> problems;
    for (toolkit::Control* control : window.Controls()) {
        QWidget* widget = control->Widget();
        if (widget == nullptr || !widget->isVisibleTo(window.Widget())) {
            continue;
        }
        QFontMetrics metrics(widget->font());
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height()) {
                    problems.push_back(control->Name() + ": " + text.toStdString());
                }
                continue;
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            text = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
        }
        if (text.isEmpty()) {
            continue;
        }
        const int room = TextRoom(widget);
        for (const QString& line : text.split('\n')) {
            if (metrics.horizontalAdvance(line) > room) {
                problems.push_back(control->Name() + ": " + line.toStdString() + " (" +
                                   std::to_string(metrics.horizontalAdvance(line)) + " px in " +
                                   std::to_string(room) + ")");
            }
        }
        if (text.count('\n') + 1 > 1 &&
            metrics.lineSpacing() * (text.count('\n') + 1) > widget->height()) {
            problems.push_back(control->Name() + " (lines): " + text.toStdString());
        }
    }
    return problems;
}

// Visible controls with a text that overlap a visible sibling control.
inline std::vector<std::string> OverlappingControls(toolkit::Window& window) {
    std::vector<std::string> problems;
    auto shows = [&](toolkit::Control* control) {
        QWidget* widget = control->Widget();
        return widget != nullptr && widget->isVisibleTo(window.Widget()) &&
               control->Kind() != toolkit::ControlKind::Container && widget->width() > 0 &&
               widget->height() > 0;
    };
    auto controls = window.Controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            QWidget* a = controls[i]->Widget();
            QWidget* b = controls[j]->Widget();
            if (a->parentWidget() == b->parentWidget() && shows(controls[i]) &&
                shows(controls[j]) && a->geometry().intersects(b->geometry())) {
                problems.push_back(controls[i]->Name() + " / " + controls[j]->Name() + " (" +
                                   controls[i]->Text() + " / " + controls[j]->Text() + ")");
            }
        }
    }
    return problems;
}

// The contrast ratio of two colours as the usual accessibility guidance
// defines it: (lighter + 0.05) / (darker + 0.05) of their relative luminance.
inline double RelativeLuminance(QColor colour) {
    auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

inline double ContrastRatio(QColor a, QColor b) {
    double la = RelativeLuminance(a);
    double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour drawn most often in the control's rectangle of the whole
// window's picture: what its text stands on.
inline QColor BackgroundBehind(toolkit::Window& window, toolkit::Control& control) {
    QWidget* widget = control.Widget();
    QImage shot = window.Widget()->grab().toImage();
    QRect area(widget->mapTo(window.Widget(), QPoint(0, 0)), widget->size());
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (shot.valid(x, y)) {
                ++counts[shot.pixel(x, y)];
            }
        }
    }
    QRgb most = 0;
    int best = -1;
    for (const auto& [rgb, n] : counts) {
        if (n > best) {
            best = n;
            most = rgb;
        }
    }
    return QColor::fromRgb(most);
}

// The contrast of the control's text colour against its background.
inline double TextContrast(toolkit::Window& window, toolkit::Control& control) {
    return ContrastRatio(toolkit::ColorFromArgb(control.TextColor()),
                         BackgroundBehind(window, control));
}

}  // namespace ui::testing
