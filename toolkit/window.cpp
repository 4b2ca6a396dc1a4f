#include "toolkit/window.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include "toolkit/layout_builder.h"
#include "toolkit/layout_spec.h"
#include "toolkit/missing_layout.h"
#include "toolkit/skin.h"
#include "toolkit/user_actions.h"
#include "toolkit/window_registry.h"
#include "toolkit/window_widget.h"

namespace toolkit {

Window::Window(std::string className, std::string title)
    : mClassName(std::move(className)),
      mTitle(std::move(title)),
      mHandle(window_registry::Register(this)) {}

Window::~Window() {
    mDestroying = true;
    window_registry::Unregister(mHandle);
    mTimers.clear();
    if (mModalLoop != nullptr) {
        mModalLoop->exit(mResult);
    }
    // Controls refer to the widgets; the widgets go first so that no signal
    // reaches a control that is being destroyed.
    delete mWidget.data();
    mControls.clear();
}

void Window::SetScale(int percent) {
    mScale = percent > 0 ? percent : 100;
}

void Window::Create(Window* owner, const std::string& layoutId) {
    auto path = Skin::Instance().ResolveLayout(layoutId);
    if (!path || !CreateFromPath(owner, *path)) {
        FailMissingLayout(layoutId);
    }
}

bool Window::CreateFromPath(Window* owner, const std::string& path) {
    auto text = Skin::Instance().ReadFile(path);
    if (!text) {
        return false;
    }
    auto root = ParseLayout(*text);
    if (!root || root->name != "Window") {
        return false;
    }
    return Build(owner, *root);
}

bool Window::Build(Window* owner, const XmlElement& root) {
    if (mWidget) {
        return false;
    }
    mOwner = owner;
    QWidget* parent = owner != nullptr ? owner->Widget() : nullptr;
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    if (parent != nullptr) {
        flags = Qt::Tool | Qt::FramelessWindowHint;
    }
    mWidget = new WindowWidget(*this, parent, flags);
    mWidget->setObjectName("tqWindow");
    mWidget->setAttribute(Qt::WA_StyledBackground);
    mWidget->setWindowTitle(QString::fromStdString(mTitle));
    BuildContext context{*this, *mWidget, mBuilder, mScale};
    ApplyRootAttributes(context, root);
    BuildChildren(context, root, mWidget, root.AttributeOr("pump", ""));
    OnCreate();
    return true;
}

bool Window::LoadSubLayout(const std::string& containerName, const std::string& path) {
    Control* container = Find(containerName);
    if (container == nullptr || container->Kind() != ControlKind::Container || !mWidget) {
        return false;
    }
    auto text = Skin::Instance().ReadFile(path);
    if (!text) {
        return false;
    }
    auto root = ParseLayout(*text);
    if (!root || root->name != "Layout") {
        return false;
    }
    BuildContext context{*this, *mWidget, mBuilder, mScale};
    BuildChildren(context, *root, container->Widget(),
                  root->AttributeOr("pump", container->PumpName()));
    return true;
}

Control* Window::Find(const std::string& name) const {
    auto found = mByName.find(name);
    return found != mByName.end() ? found->second : nullptr;
}

std::vector<Control*> Window::Controls() const {
    std::vector<Control*> controls;
    for (const auto& control : mControls) {
        controls.push_back(control.get());
    }
    return controls;
}

void Window::RegisterControl(std::unique_ptr<Control> control) {
    if (!control->Name().empty()) {
        mByName.emplace(control->Name(), control.get());
    }
    mControls.push_back(std::move(control));
}

void Window::SetTimer(int id, int milliseconds) {
    auto& timer = mTimers[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [this, id] {
            if (!mDestroying) {
                OnTimer(id);
            }
        });
    }
    timer->start(milliseconds > 0 ? milliseconds : 0);
}

void Window::KillTimer(int id) {
    auto found = mTimers.find(id);
    if (found == mTimers.end()) {
        return;
    }
    // The tick that kills its own timer is still running: delete later.
    found->second->stop();
    found->second.release()->deleteLater();
    mTimers.erase(found);
}

void Window::Retranslate() {
    for (const auto& control : mControls) {
        control->Retranslate();
    }
    if (mWidget) {
        mWidget->update();
    }
}

void Window::AddSubPump(const std::string& name, NotifyPump pump) {
    mPumps[name] = std::move(pump);
}

void Window::SendNotify(const Notification& notification) {
    if (mDestroying) {
        return;
    }
    UserActionObserver* observer = CurrentUserActionObserver();
    if (observer != nullptr) {
        observer->BeforeNotification();
    }
    Notify(notification);
    auto* control = dynamic_cast<Control*>(notification.sender);
    if (control != nullptr && !control->PumpName().empty() && !mDestroying) {
        auto pump = mPumps.find(control->PumpName());
        if (pump != mPumps.end()) {
            pump->second(notification);
        }
    }
    // The observer may have gone with a window the notification closed.
    if (observer != nullptr && observer == CurrentUserActionObserver()) {
        observer->AfterNotification();
    }
}

void Window::AddKeyCommand(const std::string& keys, const std::string& name) {
    if (!mWidget) {
        return;
    }
    auto* shortcut = new QShortcut(QKeySequence(QString::fromStdString(keys)), mWidget.data());
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, mWidget.data(), [this, name] {
        Notification command;
        command.type = kNotifyClick;
        command.name = name;
        SendNotify(command);
    });
}

void Window::DefaultNotify(const Notification& notification) {
    if (notification.type != kNotifyClick) {
        return;
    }
    QString name = QString::fromStdString(notification.name);
    if (name.compare("closebtn", Qt::CaseInsensitive) == 0) {
        Close(0);
    } else if (name.compare("minbtn", Qt::CaseInsensitive) == 0 && mWidget) {
        mWidget->showMinimized();
    }
}

void Window::OnMessage(uint32_t, uintptr_t, intptr_t, std::unique_ptr<platform::PostedRecord>&) {}

void Window::OnTimer(int) {}

void Window::OnKeyDown(int) {}

void Window::DeliverMessage(platform::PostedMessage& message) {
    if (mDestroying) {
        return;
    }
    // A menu item chosen is a user action like a click.
    UserActionObserver* observer =
        message.message == WM_MENU_CLICK ? CurrentUserActionObserver() : nullptr;
    if (observer != nullptr) {
        observer->BeforeNotification();
    }
    OnMessage(message.message, message.wParam, message.lParam, message.record);
    if (observer != nullptr && observer == CurrentUserActionObserver()) {
        observer->AfterNotification();
    }
}

void Window::OnWidgetCloseRequest() {
    OnCloseRequest();
}

void Window::OnWidgetKeyPress(int key) {
    OnKeyDown(key);
}

void Window::Show() {
    if (mWidget) {
        mWidget->show();
    }
}

void Window::CenterOver(const Window* owner) {
    if (!mWidget) {
        return;
    }
    if (owner == nullptr || owner->Widget() == nullptr || !owner->Widget()->isVisible()) {
        CenterOnScreen();
        return;
    }
    QRect area = owner->Widget()->frameGeometry();
    QRect frame = mWidget->frameGeometry();
    frame.moveCenter(area.center());
    mWidget->move(frame.topLeft());
}

void Window::CenterOnScreen() {
    if (!mWidget) {
        return;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = mWidget->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    mWidget->move(frame.topLeft());
}

int Window::RunModal() {
    if (!mWidget || mModalLoop != nullptr) {
        return -1;
    }
    mWidget->setWindowModality(Qt::ApplicationModal);
    mWidget->show();
    mWidget->raise();
    mWidget->activateWindow();
    QEventLoop loop;
    mModalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    mModalLoop = nullptr;
    if (mWidget) {
        mWidget->hide();
    }
    // The keys go back to the window the modal one was over (its undo keys
    // among them), also where no window manager hands the activation back.
    if (mOwner != nullptr && mOwner->Widget() != nullptr && mOwner->Widget()->isVisible()) {
        mOwner->Widget()->activateWindow();
    }
    return mResult;
}

void Window::Close(int code) {
    mResult = code;
    if (mWidget) {
        mWidget->hide();
    }
    if (mModalLoop != nullptr) {
        mModalLoop->exit(code);
    }
}

}  // namespace toolkit
