#include "toolkit/user_actions.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QObject>
#include <QTimer>

namespace toolkit {
namespace {

UserActionObserver* gObserver = nullptr;

// Watches the mouse buttons of the whole program, and lets the window's
// undo keys through an edit that has nothing of its own to undo: an edit
// takes Ctrl+Z for its text even after its value was committed and shown
// again, which would hide the program's undo from a user who just pressed
// Enter in it.
class PointerWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                mHeld = true;
                break;
            case QEvent::MouseButtonRelease:
                OnRelease(static_cast<QMouseEvent*>(event));
                break;
            case QEvent::ShortcutOverride:
                return LetUndoKeysThrough(watched, static_cast<QKeyEvent*>(event));
            default:
                break;
        }
        return false;
    }

    bool Held() const { return mHeld; }

private:
    void OnRelease(const QMouseEvent* release) {
        if (!mHeld || release->buttons() != Qt::NoButton) {
            return;
        }
        mHeld = false;
        // After the release reached the control, so its last notification
        // belongs to the drag.
        QTimer::singleShot(0, qApp, [] {
            if (gObserver != nullptr) {
                gObserver->PointerReleased();
            }
        });
    }

    static bool LetUndoKeysThrough(QObject* watched, QKeyEvent* key) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit == nullptr) {
            return false;
        }
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = key->matches(QKeySequence::Redo) ||
                          (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier);
        if ((undo && !edit->isUndoAvailable()) || (redo && !edit->isRedoAvailable())) {
            key->ignore();
            return true;  // not taken by the edit: the window's shortcut runs
        }
        return false;
    }

    bool mHeld = false;
};

PointerWatch* Watch() {
    static PointerWatch* watch = [] {
        auto* made = new PointerWatch;
        qApp->installEventFilter(made);
        return made;
    }();
    return watch;
}

}  // namespace

void SetUserActionObserver(UserActionObserver* observer) {
    gObserver = observer;
    if (observer != nullptr && qApp != nullptr) {
        Watch();
    }
}

UserActionObserver* CurrentUserActionObserver() {
    return gObserver;
}

bool IsPointerHeld() {
    return qApp != nullptr && Watch()->Held();
}

}  // namespace toolkit
