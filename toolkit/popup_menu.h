// A popup menu built from a layout file ("Menu" root with "MenuItem",
// "SubMenu" and "Separator" elements). A chosen item is reported by posting
// WM_MENU_CLICK to the owner window with a MenuClick record.
#pragma once

#include <QPoint>
#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/control_access.h"
#include "toolkit/xml_document.h"

class QMenu;
class QAction;

namespace toolkit {

class Window;

enum class MenuAlign { BelowLeft, BelowRight, AboveLeft, AboveRight };

class PopupMenu {
public:
    PopupMenu();
    ~PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    // Builds the menu from a layout path of the skin for this owner.
    bool Load(Window& owner, const std::string& path);
    // An item or submenu by name, to adjust before opening; nullptr if none.
    ControlHandle* FindItem(const std::string& name);
    // The names of every item the layout holds, submenus included.
    std::vector<std::string> ItemNames() const;
    // The menu of a right-hand channel opens so that it stays over the
    // right half: its right edge at the anchor.
    void SetRightHandPlacement(bool rightHand) { mRightHand = rightHand; }
    // Shows the menu at the anchor (screen coordinates); returns at once.
    void Open(QPoint anchor, MenuAlign align);
    void CloseMenu();
    bool IsOpen() const;
    QMenu* Menu() const { return mMenu.get(); }

private:
    class Item;
    void BuildItems(QMenu* menu, const XmlElement& node);

    std::unique_ptr<QMenu> mMenu;
    std::map<std::string, std::unique_ptr<Item>> mItems;
    Window* mOwner = nullptr;
    bool mRightHand = false;
};

}  // namespace toolkit
