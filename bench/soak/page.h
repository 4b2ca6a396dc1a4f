// A page of controls without a screen, for the controller and the mixer to
// drive by name.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/message_post.h"
#include "toolkit/control_access.h"

namespace soak {

// Remembers what the controller sets, as a widget would show it.
class Control final : public toolkit::ControlHandle {
public:
    explicit Control(std::string name) : mName(std::move(name)) {}

    const std::string& Name() const override { return mName; }
    toolkit::ControlKind Kind() const override { return toolkit::ControlKind::Custom; }
    std::string Text() const override { return mText; }
    void SetText(const std::string& text) override { mText = text; }
    std::string UserData() const override { return mUserData; }
    int UserDataInt() const override { return -1; }
    void SetUserData(const std::string& data) override { mUserData = data; }
    void SetToolTip(const std::string&) override {}
    bool Visible() const override { return mVisible; }
    void SetVisible(bool visible) override { mVisible = visible; }
    bool Enabled() const override { return mEnabled; }
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    bool Selected() const override { return mSelected; }
    void SetSelected(bool selected, bool) override { mSelected = selected; }
    uint32_t TextColor() const override { return mColor; }
    void SetTextColor(uint32_t argb) override { mColor = argb; }
    void SetImage(const std::string&) override {}
    void SetBkColor(uint32_t) override {}
    int Value() const override { return mValue; }
    void SetValue(int value) override {
        mValue = mMaximum > mMinimum ? std::clamp(value, mMinimum, mMaximum) : value;
    }
    int Minimum() const override { return mMinimum; }
    int Maximum() const override { return mMaximum; }
    void SetRange(int minimum, int maximum) override {
        mMinimum = minimum;
        mMaximum = maximum;
    }
    void ClearItems() override {
        mItems.clear();
        mSelectedIndex = -1;
    }
    void AddItem(const std::string& text, const std::string& data) override {
        mItems.emplace_back(text, data);
    }
    int ItemCount() const override { return static_cast<int>(mItems.size()); }
    std::string ItemText(int i) const override { return Valid(i) ? mItems[Index(i)].first : ""; }
    std::string ItemUserData(int i) const override {
        return Valid(i) ? mItems[Index(i)].second : "";
    }
    int SelectedIndex() const override { return mSelectedIndex; }
    void SelectItem(int index, bool) override { mSelectedIndex = index; }
    void SetItemVisible(int, bool) override {}
    bool ItemVisible(int index) const override { return Valid(index); }
    void SetFocus() override {}
    bool HasFocus() const override { return false; }
    void SelectAllText() override {}
    void Activate() override { mSelected = true; }

private:
    bool Valid(int i) const { return i >= 0 && i < static_cast<int>(mItems.size()); }
    static size_t Index(int i) { return static_cast<size_t>(i); }

    std::string mName;
    std::string mText;
    std::string mUserData;
    bool mVisible = true;
    bool mEnabled = true;
    bool mSelected = false;
    uint32_t mColor = 0;
    int mValue = 0;
    int mMinimum = 0;
    int mMaximum = 0;
    std::vector<std::pair<std::string, std::string>> mItems;
    int mSelectedIndex = -1;
};

// Every name is a control, made on first use and kept.
class Page final : public toolkit::ControlAccess {
public:
    explicit Page(platform::WindowHandle handle) : mHandle(handle) {}

    toolkit::ControlHandle* FindControl(const std::string& name) override { return &Get(name); }
    Control& Get(const std::string& name);
    platform::WindowHandle Handle() const override { return mHandle; }
    // The window timers are not run: the soak makes every change itself.
    void SetTimer(int, int) override {}
    void KillTimer(int) override {}
    void Retranslate() override {}

private:
    platform::WindowHandle mHandle;
    std::map<std::string, std::unique_ptr<Control>> mControls;
};

}  // namespace soak
