// A control of a skinned window: the toolkit's record of one named Qt widget.
// It keeps the untranslated texts, the user data and the text colour, and
// shows texts translated in the current language.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "toolkit/control_access.h"

namespace toolkit {

class Window;

class Control final : public ControlHandle {
public:
    Control(Window& window, QWidget* widget, ControlKind kind, std::string name);

    QWidget* Widget() const { return mWidget.data(); }
    Window& OwnerWindow() const { return mWindow; }
    const std::string& PumpName() const { return mPump; }
    void SetPumpName(std::string pump) { mPump = std::move(pump); }
    // Shows the texts again in the current language.
    void Retranslate();
    // Raises a notification from this control to its window.
    void Notify(const char* type);
    // Guards programmatic changes from raising user notifications.
    bool Quiet() const { return mQuiet > 0; }
    bool& PendingSelectChanged() { return mPendingSelectChanged; }

    const std::string& Name() const override { return mName; }
    ControlKind Kind() const override { return mKind; }
    std::string Text() const override;
    void SetText(const std::string& text) override;
    std::string UserData() const override { return mUserData; }
    int UserDataInt() const override;
    void SetUserData(const std::string& data) override { mUserData = data; }
    void SetToolTip(const std::string& text) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    bool Selected() const override;
    void SetSelected(bool selected, bool notify = true) override;
    uint32_t TextColor() const override { return mTextColor; }
    void SetTextColor(uint32_t argb) override;
    void SetImage(const std::string& imageName) override;
    void SetBkColor(uint32_t argb) override;
    int Value() const override;
    void SetValue(int value) override;
    int Minimum() const override;
    int Maximum() const override;
    void SetRange(int minimum, int maximum) override;
    void ClearItems() override;
    void AddItem(const std::string& text, const std::string& userData) override;
    int ItemCount() const override;
    std::string ItemText(int index) const override;
    std::string ItemUserData(int index) const override;
    int SelectedIndex() const override;
    void SelectItem(int index, bool notify = false) override;
    void SetItemVisible(int index, bool visible) override;
    bool ItemVisible(int index) const override;
    void SetFocus() override;
    bool HasFocus() const override;
    void SelectAllText() override;
    void Activate() override;

    // Extra styling from the layout (background, font), kept so that a text
    // colour change does not lose it.
    void SetOwnStyle(const QString& style);

private:
    struct Item {
        std::string text;
        std::string userData;
    };
    void ApplyStyle();
    void ShowText();

    Window& mWindow;
    QPointer<QWidget> mWidget;
    ControlKind mKind;
    std::string mName;
    std::string mText;
    QString mShownInEdit;  // what the program last put in an edit, to tell it from typing
    std::string mToolTip;
    std::string mUserData;
    std::string mPump;
    uint32_t mTextColor = 0;
    QString mOwnStyle;
    std::vector<Item> mItems;
    int mQuiet = 0;
    bool mPendingSelectChanged = false;
};

}  // namespace toolkit
