// The base of every skinned window: loads its layout by identifier from the
// skin, keeps its controls addressable by name, routes every user action as a
// notification to the window and its named sub-pumps, and handles posted
// messages and timers by number. Runs modally, nested, when asked.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/control.h"
#include "toolkit/control_access.h"
#include "toolkit/window_widget.h"
#include "toolkit/xml_document.h"

class QEventLoop;
class QTimer;

namespace toolkit {

class Window;

// Creates the control for a custom tag ("Curve", "SButton", ...) as a child
// of parent, or returns nullptr for no control. The toolkit places it, wraps
// it as a control of kind Custom and applies the common attributes.
using ControlBuilder = std::function<QWidget*(const std::string& tag, const XmlElement& node,
                                              QWidget* parent, Window& window)>;
using NotifyPump = std::function<void(const Notification&)>;

class Window : public ControlAccess {
public:
    Window(std::string className, std::string title);
    ~Window() override;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void SetBuilder(ControlBuilder builder) { mBuilder = std::move(builder); }
    // The display scale in percent; set it before Create.
    void SetScale(int percent);
    int Scale() const { return mScale; }

    // Builds the window from the layout of this identifier. A layout that
    // cannot be found or read ends the program with code 1 after an error
    // box naming it (see missing_layout.h).
    void Create(Window* owner, const std::string& layoutId);
    // The same from a layout path; false when it cannot be loaded.
    bool CreateFromPath(Window* owner, const std::string& path);
    // Loads a sub-layout ("Layout" root) into the named container.
    bool LoadSubLayout(const std::string& containerName, const std::string& path);

    QWidget* Widget() const { return mWidget.data(); }
    Window* Owner() const { return mOwner; }
    const std::string& ClassName() const { return mClassName; }
    const std::string& Title() const { return mTitle; }
    // The control of this name (the first one loaded), or nullptr.
    Control* Find(const std::string& name) const;
    std::vector<Control*> Controls() const;

    ControlHandle* FindControl(const std::string& name) override { return Find(name); }
    platform::WindowHandle Handle() const override { return mHandle; }
    void SetTimer(int id, int milliseconds) override;
    void KillTimer(int id) override;
    bool HasTimer(int id) const { return mTimers.count(id) != 0; }
    void Retranslate() override;

    // A sub-pump hears the notifications of the controls that belong to it
    // (attribute "pump" on the control or an enclosing container).
    void AddSubPump(const std::string& name, NotifyPump pump);
    // Delivers a notification now: the window's handler, then the sub-pump.
    void SendNotify(const Notification& notification);
    // A key sequence of the whole window ("Ctrl+Z") raises a click of this
    // name, without a sender. Create the window first.
    void AddKeyCommand(const std::string& keys, const std::string& name);

    void Show();
    void CenterOver(const Window* owner);
    void CenterOnScreen();
    // Shows the window modally and returns the code it was closed with.
    int RunModal();
    bool IsRunningModal() const { return mModalLoop != nullptr; }
    // Ends the modal run with this code (or hides a modeless window).
    void Close(int code);
    int Result() const { return mResult; }

    // Called by the toolkit; not for the program.
    void DeliverMessage(platform::PostedMessage& message);
    void RegisterControl(std::unique_ptr<Control> control);
    void OnWidgetCloseRequest();
    void OnWidgetKeyPress(int key);

protected:
    // After the layout was built, before the window is first shown.
    virtual void OnCreate() {}
    // Every notification; pass those not consumed to DefaultNotify.
    virtual void Notify(const Notification& notification) { DefaultNotify(notification); }
    // "closebtn" closes with code 0, "minbtn" minimises.
    void DefaultNotify(const Notification& notification);
    // A posted message; the record may be taken, else it is freed afterwards.
    virtual void OnMessage(uint32_t message, uintptr_t wParam, intptr_t lParam,
                           std::unique_ptr<platform::PostedRecord>& record);
    virtual void OnTimer(int id);
    // The user or the system asks the window to close.
    virtual void OnCloseRequest() { Close(0); }
    // A key press that reached the window itself rather than a control.
    virtual void OnKeyDown(int key);

private:
    bool Build(Window* owner, const XmlElement& root);

    std::string mClassName;
    std::string mTitle;
    platform::WindowHandle mHandle;
    Window* mOwner = nullptr;
    QPointer<WindowWidget> mWidget;
    int mScale = 100;
    ControlBuilder mBuilder;
    std::vector<std::unique_ptr<Control>> mControls;
    std::map<std::string, Control*> mByName;
    std::map<std::string, NotifyPump> mPumps;
    std::map<int, std::unique_ptr<QTimer>> mTimers;
    QEventLoop* mModalLoop = nullptr;
    int mResult = 0;
    bool mDestroying = false;
};

}  // namespace toolkit
