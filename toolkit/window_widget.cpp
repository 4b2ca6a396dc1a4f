#include "toolkit/window_widget.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QResizeEvent>

#include "toolkit/window.h"

namespace toolkit {

namespace {

Control* ControlOf(QObject* object) {
    return static_cast<Control*>(object->property("tqControl").value<void*>());
}

// Focus that moves because another window became active is not the user
// moving between controls.
bool IsControlFocusChange(const QFocusEvent* event) {
    return event->reason() != Qt::ActiveWindowFocusReason &&
           event->reason() != Qt::PopupFocusReason;
}

bool HandleEditKey(Control& control, QLineEdit* edit, QKeyEvent* key) {
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            control.Notify(kNotifyReturn);
            return true;
        case Qt::Key_Up:
            control.Notify(kNotifyValueChangedUp);
            return true;
        case Qt::Key_Down:
            control.Notify(kNotifyValueChangedDown);
            return true;
        case Qt::Key_Left:
            // Inside the text the arrows move the cursor; at its start they
            // move to the previous edit of the window's ring.
            if (edit->cursorPosition() == 0 || edit->selectedText() == edit->text()) {
                control.Notify(kNotifyValueChangedLeft);
                return true;
            }
            return false;
        case Qt::Key_Right:
            if (edit->cursorPosition() == edit->text().size() ||
                edit->selectedText() == edit->text()) {
                control.Notify(kNotifyValueChangedRight);
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace

WindowWidget::WindowWidget(Window& window, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), mWindow(window) {}

void WindowWidget::Watch(QWidget* control) {
    control->installEventFilter(this);
}

bool WindowWidget::eventFilter(QObject* watched, QEvent* event) {
    Control* control = ControlOf(watched);
    if (control == nullptr) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::FocusIn:
            if (IsControlFocusChange(static_cast<QFocusEvent*>(event))) {
                control->Notify(kNotifySetFocus);
            }
            break;
        case QEvent::FocusOut:
            if (IsControlFocusChange(static_cast<QFocusEvent*>(event))) {
                control->Notify(kNotifyKillFocus);
            }
            break;
        case QEvent::KeyPress:
            if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
                if (HandleEditKey(*control, edit, static_cast<QKeyEvent*>(event))) {
                    return true;
                }
            }
            break;
        case QEvent::MouseButtonDblClick:
            control->Notify(kNotifyDbClick);
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void WindowWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    mWindow.OnWidgetCloseRequest();
}

// A shown window that changes its size tells its handler ("windowsize"), so
// that what it draws to its size is drawn again.
void WindowWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible() && event->oldSize().isValid() && event->oldSize() != event->size()) {
        Notification notification;
        notification.type = kNotifyWindowSize;
        mWindow.SendNotify(notification);
    }
}

void WindowWidget::keyPressEvent(QKeyEvent* event) {
    mWindow.OnWidgetKeyPress(event->key());
    QWidget::keyPressEvent(event);
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->position().y() < mCaptionHeight) {
        mDragging = true;
        mDragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    QWidget::mousePressEvent(event);
}

void WindowWidget::mouseMoveEvent(QMouseEvent* event) {
    if (mDragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - mDragOffset);
    }
    QWidget::mouseMoveEvent(event);
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    mDragging = false;
    QWidget::mouseReleaseEvent(event);
}

}  // namespace toolkit
