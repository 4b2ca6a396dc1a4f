#include "controller/control_lookup.h"

#include <cstdio>

namespace controller {
namespace {

// Stands in for a control the skin does not have.
class AbsentControl final : public toolkit::ControlHandle {
public:
    const std::string& Name() const override { return mName; }
    toolkit::ControlKind Kind() const override { return toolkit::ControlKind::Label; }
    std::string Text() const override { return {}; }
    void SetText(const std::string&) override {}
    std::string UserData() const override { return {}; }
    int UserDataInt() const override { return -1; }
    void SetUserData(const std::string&) override {}
    void SetToolTip(const std::string&) override {}
    bool Visible() const override { return false; }
    void SetVisible(bool) override {}
    bool Enabled() const override { return false; }
    void SetEnabled(bool) override {}
    bool Selected() const override { return false; }
    void SetSelected(bool, bool) override {}
    uint32_t TextColor() const override { return 0; }
    void SetTextColor(uint32_t) override {}
    void SetImage(const std::string&) override {}
    void SetBkColor(uint32_t) override {}
    int Value() const override { return 0; }
    void SetValue(int) override {}
    int Minimum() const override { return 0; }
    int Maximum() const override { return 0; }
    void SetRange(int, int) override {}
    void ClearItems() override {}
    void AddItem(const std::string&, const std::string&) override {}
    int ItemCount() const override { return 0; }
    std::string ItemText(int) const override { return {}; }
    std::string ItemUserData(int) const override { return {}; }
    int SelectedIndex() const override { return -1; }
    void SelectItem(int, bool) override {}
    void SetItemVisible(int, bool) override {}
    bool ItemVisible(int) const override { return false; }
    void SetFocus() override {}
    bool HasFocus() const override { return false; }
    void SelectAllText() override {}
    void Activate() override {}

private:
    std::string mName;
};

AbsentControl gAbsent;

}  // namespace

void ControlLookup::Bind(toolkit::ControlAccess* page) {
    mPage = page;
    mFound.clear();
}

toolkit::ControlHandle& ControlLookup::operator()(const std::string& name) {
    auto known = mFound.find(name);
    if (known != mFound.end()) {
        return known->second != nullptr ? *known->second : gAbsent;
    }
    toolkit::ControlHandle* control = mPage != nullptr ? mPage->FindControl(name) : nullptr;
    mFound.emplace(name, control);
    return control != nullptr ? *control : gAbsent;
}

toolkit::ControlHandle& ControlLookup::Indexed(const char* format, int index) {
    char name[96];
    std::snprintf(name, sizeof name, format, index);
    return (*this)(name);
}

toolkit::ControlHandle& ControlLookup::Indexed(const char* format, int first, int second) {
    char name[96];
    std::snprintf(name, sizeof name, format, first, second);
    return (*this)(name);
}

bool ControlLookup::Exists(const std::string& name) {
    return &(*this)(name) != &gAbsent;
}

}  // namespace controller
