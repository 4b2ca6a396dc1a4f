#include "toolkit/popup_menu.h"

#include <QAction>
#include <QMenu>
#include <charconv>

#include "platform/message_post.h"
#include "toolkit/layout_spec.h"
#include "toolkit/skin.h"
#include "toolkit/text_resources.h"
#include "toolkit/window.h"

namespace toolkit {

// One menu entry seen through the control interface.
class PopupMenu::Item final : public ControlHandle {
public:
    Item(std::string name, QAction* action, std::string text, std::string userData, int scale)
        : mName(std::move(name)),
          mAction(action),
          mText(std::move(text)),
          mUserData(std::move(userData)),
          mScale(scale) {
        mAction->setText(QString::fromStdString(Translate(mText)));
    }
    const std::string& Name() const override { return mName; }
    ControlKind Kind() const override { return ControlKind::MenuItem; }
    std::string Text() const override { return mText; }
    void SetText(const std::string& text) override {
        mText = text;
        mAction->setText(QString::fromStdString(Translate(text)));
    }
    std::string UserData() const override { return mUserData; }
    int UserDataInt() const override {
        int value = -1;
        auto r = std::from_chars(mUserData.data(), mUserData.data() + mUserData.size(), value);
        return r.ec == std::errc() && !mUserData.empty() ? value : -1;
    }
    void SetUserData(const std::string& data) override { mUserData = data; }
    void SetToolTip(const std::string& text) override {
        mAction->setToolTip(QString::fromStdString(Translate(text)));
    }
    bool Visible() const override { return mAction->isVisible(); }
    void SetVisible(bool visible) override { mAction->setVisible(visible); }
    bool Enabled() const override { return mAction->isEnabled(); }
    void SetEnabled(bool enabled) override { mAction->setEnabled(enabled); }
    bool Selected() const override { return mAction->isChecked(); }
    void SetSelected(bool selected, bool) override {
        mAction->setCheckable(true);
        mAction->setChecked(selected);
    }
    uint32_t TextColor() const override { return 0; }
    void SetTextColor(uint32_t) override {}
    void SetImage(const std::string& imageName) override {
        QPixmap image = Skin::Instance().Image(imageName, mScale);
        mAction->setIcon(image.isNull() ? QIcon() : QIcon(image));
    }
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
    void Activate() override { mAction->trigger(); }

private:
    std::string mName;
    QAction* mAction;
    std::string mText;
    std::string mUserData;
    int mScale;
};

PopupMenu::PopupMenu() = default;

PopupMenu::~PopupMenu() {
    mItems.clear();
    mMenu.reset();
}

bool PopupMenu::Load(Window& owner, const std::string& path) {
    auto text = Skin::Instance().ReadFile(path);
    if (!text) {
        return false;
    }
    auto root = ParseLayout(*text);
    if (!root || root->name != "Menu") {
        return false;
    }
    mItems.clear();
    mOwner = &owner;
    mMenu = std::make_unique<QMenu>();
    mMenu->setObjectName("tqPopupMenu");
    BuildItems(mMenu.get(), *root);
    return true;
}

void PopupMenu::BuildItems(QMenu* menu, const XmlElement& node) {
    int scale = mOwner->Scale();
    for (const auto& child : node.children) {
        std::string name = child.AttributeOr("name", "");
        std::string text = child.AttributeOr("text", "");
        std::string userData = child.AttributeOr("userdata", "");
        QAction* action = nullptr;
        if (child.name == "Separator") {
            menu->addSeparator();
            continue;
        }
        if (child.name == "SubMenu") {
            auto* sub = new QMenu(menu);  // owned by its parent menu
            BuildItems(sub, child);
            action = menu->addMenu(sub);
        } else if (child.name == "MenuItem") {
            action = menu->addAction(QString());
            platform::WindowHandle target = mOwner->Handle();
            QObject::connect(action, &QAction::triggered, action, [this, name, target] {
                auto found = mItems.find(name);
                MenuClick click;
                click.name = name;
                if (found != mItems.end()) {
                    click.userData = found->second->UserData();
                    click.text = Translate(found->second->Text());
                }
                platform::PostMessage(target, WM_MENU_CLICK, 0, 0, platform::MakeRecord(click));
            });
        } else {
            continue;
        }
        action->setObjectName(QString::fromStdString(name));  // found by name in tests
        auto item = std::make_unique<Item>(name, action, text, userData, scale);
        if (const std::string* image = child.Attribute("image")) {
            item->SetImage(*image);
        }
        item->SetEnabled(ParseBool(child.Attribute("enabled"), true));
        item->SetVisible(ParseBool(child.Attribute("visible"), true));
        if (!name.empty()) {
            mItems.emplace(name, std::move(item));
        } else {
            mItems.emplace("#" + std::to_string(mItems.size()), std::move(item));
        }
    }
}

ControlHandle* PopupMenu::FindItem(const std::string& name) {
    auto found = mItems.find(name);
    return found != mItems.end() ? found->second.get() : nullptr;
}

std::vector<std::string> PopupMenu::ItemNames() const {
    std::vector<std::string> names;
    for (const auto& [name, item] : mItems) {
        names.push_back(name);
    }
    return names;
}

void PopupMenu::Open(QPoint anchor, MenuAlign align) {
    if (!mMenu) {
        return;
    }
    QSize size = mMenu->sizeHint();
    QPoint topLeft = anchor;
    if (align == MenuAlign::BelowRight || align == MenuAlign::AboveRight || mRightHand) {
        topLeft.rx() -= size.width();
    }
    if (align == MenuAlign::AboveLeft || align == MenuAlign::AboveRight) {
        topLeft.ry() -= size.height();
    }
    mMenu->popup(topLeft);
}

void PopupMenu::CloseMenu() {
    if (mMenu) {
        mMenu->close();
    }
}

bool PopupMenu::IsOpen() const {
    return mMenu && mMenu->isVisible();
}

}  // namespace toolkit
