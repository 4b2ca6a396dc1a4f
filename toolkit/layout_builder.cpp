#include "toolkit/layout_builder.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSlider>
#include <QStackedWidget>
#include <QVariant>

#include "toolkit/layout_spec.h"
#include "toolkit/skin.h"
#include "toolkit/skin_slider.h"
#include "toolkit/skin_widgets.h"
#include "toolkit/text_resources.h"

namespace toolkit {

namespace {

const std::string kEmpty;

const std::string& Attr(const XmlElement& node, const char* key) {
    const std::string* value = node.Attribute(key);
    return value != nullptr ? *value : kEmpty;
}

Qt::Alignment AlignmentOf(const std::string& align) {
    Qt::Alignment vertical = Qt::AlignVCenter;
    if (align.find("top") != std::string::npos)
        vertical = Qt::AlignTop;
    if (align.find("bottom") != std::string::npos)
        vertical = Qt::AlignBottom;
    if (align.find("left") != std::string::npos)
        return Qt::AlignLeft | vertical;
    if (align.find("right") != std::string::npos)
        return Qt::AlignRight | vertical;
    return Qt::AlignHCenter | vertical;
}

QFont FontOf(const XmlElement& node, QFont font, int scale) {
    const std::string& spec = Attr(node, "font");
    if (spec.empty()) {
        return font;
    }
    int size = ParseInt(spec.substr(0, spec.find_first_not_of("0123456789")), 0);
    if (size > 0 && size < 200) {
        font.setPixelSize(qMax(6, Scaled(size, scale)));
    }
    font.setBold(spec.find('b') != std::string::npos);
    return font;
}

bool UserToggling(QAbstractButton* button) {
    if (auto* b = dynamic_cast<SkinButton*>(button))
        return b->UserToggling();
    if (auto* b = dynamic_cast<SkinCheckBox*>(button))
        return b->UserToggling();
    if (auto* b = dynamic_cast<SkinRadioButton*>(button))
        return b->UserToggling();
    if (auto* b = dynamic_cast<SwitchButton*>(button))
        return b->UserToggling();
    return false;
}

void TakeUserToggle(QAbstractButton* button) {
    if (auto* b = dynamic_cast<SkinButton*>(button))
        b->TakeUserToggle();
    if (auto* b = dynamic_cast<SkinCheckBox*>(button))
        b->TakeUserToggle();
    if (auto* b = dynamic_cast<SkinRadioButton*>(button))
        b->TakeUserToggle();
    if (auto* b = dynamic_cast<SwitchButton*>(button))
        b->TakeUserToggle();
}

void ConnectButton(Control* control, QAbstractButton* button) {
    QObject::connect(button, &QAbstractButton::toggled, button, [control, button](bool checked) {
        bool user = UserToggling(button);
        // An exclusive group unchecks the previous option through the same
        // path as a user's toggle; that one is never followed by a click.
        if (!checked && button->group() != nullptr && button->group()->exclusive()) {
            TakeUserToggle(button);
            user = false;
        }
        if (control->Quiet()) {
            return;
        }
        if (user) {
            control->PendingSelectChanged() = true;  // raised after the click
        } else {
            control->Notify(kNotifySelectChanged);
        }
    });
    QObject::connect(button, &QAbstractButton::clicked, button, [control, button] {
        TakeUserToggle(button);
        QPointer<QAbstractButton> alive(button);
        control->Notify(kNotifyClick);
        if (alive && control->PendingSelectChanged()) {
            control->PendingSelectChanged() = false;
            control->Notify(kNotifySelectChanged);
        }
    });
}

void SetStateImages(SkinButton* button, const XmlElement& node, int scale) {
    static const std::pair<const char*, ButtonState> kStates[] = {
        {"normalimage", ButtonState::Normal},     {"hotimage", ButtonState::Hot},
        {"pushedimage", ButtonState::Pushed},     {"disabledimage", ButtonState::Disabled},
        {"selectedimage", ButtonState::Selected},
    };
    for (const auto& [key, state] : kStates) {
        if (const std::string* name = node.Attribute(key)) {
            button->SetStateImage(state, Skin::Instance().Image(*name, scale));
        }
    }
    if (const std::string* fore = node.Attribute("foreimage")) {
        button->SetForeImage(Skin::Instance().Image(*fore, scale));
    }
}

QAbstractButton* MakeOption(const XmlElement& node, QWidget* parent, const BuildContext& context) {
    const std::string& look = Attr(node, "look");
    QAbstractButton* button;
    if (look == "check") {
        button = new SkinCheckBox(parent);
    } else if (look == "radio") {
        button = new SkinRadioButton(parent);
    } else {
        auto* skinButton = new SkinButton(parent);
        SetStateImages(skinButton, node, context.scale);
        button = skinButton;
    }
    button->setCheckable(true);
    button->setChecked(ParseBool(node.Attribute("selected"), false));
    const std::string& group = Attr(node, "group");
    if (!group.empty()) {
        QString groupName = QString::fromStdString("tqGroup_" + group);
        auto* buttonGroup =
            context.top.findChild<QButtonGroup*>(groupName, Qt::FindDirectChildrenOnly);
        if (buttonGroup == nullptr) {
            buttonGroup = new QButtonGroup(&context.top);
            buttonGroup->setObjectName(groupName);
            buttonGroup->setExclusive(true);
        }
        buttonGroup->addButton(button);
    }
    return button;
}

void AddItems(const XmlElement& node, Control* control) {
    for (const auto& child : node.children) {
        if (child.name == "Item") {
            control->AddItem(Attr(child, "text"), Attr(child, "userdata"));
        }
    }
    // A combo shows its first item unless the layout chooses another.
    int selected = ParseInt(Attr(node, "selected"), control->ItemCount() > 0 ? 0 : -1);
    control->SelectItem(selected, false);
}

struct Made {
    QWidget* widget = nullptr;
    ControlKind kind = ControlKind::Custom;
};

Made MakeWidget(const BuildContext& context, const XmlElement& node, QWidget* parent) {
    const std::string& tag = node.name;
    if (tag == "Label") {
        auto* label = new QLabel(parent);
        label->setAlignment(AlignmentOf(Attr(node, "align")));
        label->setWordWrap(ParseBool(node.Attribute("wrap"), false));
        return {label, ControlKind::Label};
    }
    if (tag == "Image") {
        auto* label = new QLabel(parent);
        label->setAlignment(Qt::AlignCenter);
        return {label, ControlKind::Image};
    }
    if (tag == "Button") {
        auto* button = new SkinButton(parent);
        SetStateImages(button, node, context.scale);
        button->setFocusPolicy(Qt::TabFocus);
        return {button, ControlKind::Button};
    }
    if (tag == "Option") {
        QAbstractButton* button = MakeOption(node, parent, context);
        button->setFocusPolicy(Qt::TabFocus);
        return {button, ControlKind::Option};
    }
    if (tag == "Switch") {
        auto* button = new SwitchButton(parent);
        button->setChecked(ParseBool(node.Attribute("selected"), false));
        return {button, ControlKind::Switch};
    }
    if (tag == "Slider") {
        bool vertical = Attr(node, "orientation") == "vertical";
        auto* slider =
            new SkinSlider(vertical ? Qt::Vertical : Qt::Horizontal, parent, context.scale);
        slider->setRange(ParseInt(Attr(node, "min"), 0), ParseInt(Attr(node, "max"), 100));
        slider->SetStep(ParseInt(Attr(node, "step"), 1));
        slider->setValue(ParseInt(Attr(node, "value"), 0));
        slider->setFocusPolicy(Qt::StrongFocus);
        return {slider, ControlKind::Slider};
    }
    if (tag == "Edit") {
        auto* edit = new QLineEdit(parent);
        edit->setAlignment(AlignmentOf(Attr(node, "align")));
        int maxChars = ParseInt(Attr(node, "maxchar"), 0);
        if (maxChars > 0) {
            edit->setMaxLength(maxChars);
        }
        edit->setReadOnly(ParseBool(node.Attribute("readonly"), false));
        edit->setProperty("tqPrompt", QString::fromStdString(Attr(node, "prompt")));
        return {edit, ControlKind::Edit};
    }
    if (tag == "Combo") {
        auto* combo = new QComboBox(parent);
        combo->setFocusPolicy(Qt::StrongFocus);
        return {combo, ControlKind::Combo};
    }
    if (tag == "List") {
        return {new QListWidget(parent), ControlKind::List};
    }
    if (tag == "Container") {
        auto* panel = new SkinPanel(parent);
        if (auto color = ParseColor(Attr(node, "bkcolor")))
            panel->SetBackground(*color);
        if (auto border = ParseColor(Attr(node, "bordercolor"))) {
            panel->SetBorder(*border, qMax(1, ParseInt(Attr(node, "bordersize"), 1)),
                             Scaled(ParseInt(Attr(node, "round"), 0), context.scale));
        }
        if (const std::string* image = node.Attribute("bkimage")) {
            panel->SetImage(Skin::Instance().Image(*image, context.scale));
        }
        return {panel, ControlKind::Container};
    }
    if (tag == "TabLayout") {
        return {new QStackedWidget(parent), ControlKind::TabLayout};
    }
    if (tag == "Progress") {
        auto* bar = new QProgressBar(parent);
        bar->setRange(ParseInt(Attr(node, "min"), 0), ParseInt(Attr(node, "max"), 100));
        bar->setValue(ParseInt(Attr(node, "value"), 0));
        bar->setTextVisible(ParseBool(node.Attribute("showtext"), false));
        if (Attr(node, "orientation") == "vertical") {
            bar->setOrientation(Qt::Vertical);
        }
        return {bar, ControlKind::Progress};
    }
    if (context.builder) {
        if (QWidget* custom = context.builder(tag, node, parent, context.window)) {
            return {custom, ControlKind::Custom};
        }
    }
    return {};
}

void ConnectSignals(Control* control, QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        ConnectButton(control, button);
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
        QObject::connect(slider, &QSlider::valueChanged, slider, [control, slider](int) {
            control->Notify(slider->isSliderDown() ? kNotifyMoveValueChanged : kNotifyValueChanged);
        });
        QObject::connect(slider, &QSlider::sliderReleased, slider,
                         [control] { control->Notify(kNotifyValueChanged); });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        QObject::connect(combo, &QComboBox::activated, combo,
                         [control](int) { control->Notify(kNotifyItemSelect); });
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        QObject::connect(list, &QListWidget::currentRowChanged, list,
                         [control](int) { control->Notify(kNotifyItemSelect); });
        QObject::connect(list, &QListWidget::itemClicked, list,
                         [control](QListWidgetItem*) { control->Notify(kNotifyItemClick); });
    }
}

QString OwnStyle(const XmlElement& node, const Made& made) {
    QString style;
    if (made.kind == ControlKind::Container) {
        return style;  // containers paint their own background
    }
    if (auto color = ParseColor(Attr(node, "bkcolor"))) {
        style += QString("background-color: %1;").arg(ColorFromArgb(*color).name(QColor::HexArgb));
    }
    return style;
}

void ApplyCommon(const BuildContext& context, const XmlElement& node, const Made& made,
                 Control* control) {
    QWidget* widget = made.widget;
    if (auto rect = ParseRect(Attr(node, "pos"))) {
        int s = context.scale;
        widget->setGeometry(Scaled(rect->x, s), Scaled(rect->y, s), Scaled(rect->width, s),
                            Scaled(rect->height, s));
    }
    // Fonts start from the parent's, which the window scaled with the
    // display: the window's own style sheet stops Qt from handing fonts down.
    const QWidget* parent = widget->parentWidget();
    widget->setFont(
        FontOf(node, parent != nullptr ? parent->font() : widget->font(), context.scale));
    const std::string& themeClass = Attr(node, "class");
    if (!themeClass.empty()) {
        widget->setProperty("class", QString::fromStdString(themeClass));
    }
    control->SetUserData(Attr(node, "userdata"));
    control->SetOwnStyle(OwnStyle(node, made));
    if (auto color = ParseColor(Attr(node, "textcolor"))) {
        control->SetTextColor(*color);
    }
    if (const std::string* text = node.Attribute("text")) {
        control->SetText(*text);
    }
    if (const std::string* tip = node.Attribute("tooltip")) {
        control->SetToolTip(*tip);
    }
    if (made.kind == ControlKind::Image) {
        control->SetImage(Attr(node, "image"));
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget);
        button && made.kind == ControlKind::Custom) {
        button->setChecked(ParseBool(node.Attribute("selected"), false));
    }
    if (made.kind == ControlKind::Combo || made.kind == ControlKind::List) {
        AddItems(node, control);
    }
    widget->setEnabled(ParseBool(node.Attribute("enabled"), true));
    widget->setVisible(ParseBool(node.Attribute("visible"), true));
}

}  // namespace

void BuildChildren(const BuildContext& context, const XmlElement& node, QWidget* parent,
                   const std::string& pump) {
    for (const auto& child : node.children) {
        if (child.name == "Item") {
            continue;
        }
        Made made = MakeWidget(context, child, parent);
        if (made.widget == nullptr) {
            continue;
        }
        std::string childPump = child.AttributeOr("pump", pump);
        std::string name = Attr(child, "name");
        made.widget->setObjectName(QString::fromStdString(name));
        auto owned = std::make_unique<Control>(context.window, made.widget, made.kind, name);
        Control* control = owned.get();
        control->SetPumpName(childPump);
        made.widget->setProperty("tqControl", QVariant::fromValue(static_cast<void*>(control)));
        context.window.RegisterControl(std::move(owned));
        ApplyCommon(context, child, made, control);
        ConnectSignals(control, made.widget);
        context.top.Watch(made.widget);
        if (made.kind == ControlKind::Container) {
            BuildChildren(context, child, made.widget, childPump);
        } else if (made.kind == ControlKind::TabLayout) {
            auto* stack = static_cast<QStackedWidget*>(made.widget);
            for (const auto& pageNode : child.children) {
                XmlElement wrapper;
                wrapper.children.push_back(pageNode);
                auto* holder = new QWidget(stack);
                stack->addWidget(holder);
                BuildChildren(context, wrapper, holder, childPump);
            }
            int selected = ParseInt(Attr(child, "selected"), 0);
            if (selected >= 0 && selected < stack->count()) {
                stack->setCurrentIndex(selected);
            }
        }
    }
}

void ApplyRootAttributes(const BuildContext& context, const XmlElement& root) {
    WindowWidget& top = context.top;
    if (auto size = ParseSize(Attr(root, "size"))) {
        top.resize(Scaled(size->width, context.scale), Scaled(size->height, context.scale));
    }
    top.SetCaptionHeight(Scaled(ParseInt(Attr(root, "caption"), 0), context.scale));
    QFont font = top.font();
    font.setPixelSize(qMax(6, Scaled(ParseInt(Attr(root, "fontsize"), 12), context.scale)));
    top.setFont(font);
    QString style;
    if (const std::string* theme = root.Attribute("theme")) {
        // The theme is set on the application, so that popup menus and
        // combo lists, which are windows of their own, share it.
        if (auto qss = Skin::Instance().ReadFile(*theme)) {
            QString sheet = QString::fromStdString(*qss);
            if (qApp->styleSheet() != sheet) {
                qApp->setStyleSheet(sheet);
            }
        }
    }
    if (auto color = ParseColor(Attr(root, "bkcolor"))) {
        top.setAutoFillBackground(true);
        QPalette palette = top.palette();
        palette.setColor(QPalette::Window, ColorFromArgb(*color));
        top.setPalette(palette);
        style += QString("\nQWidget#tqWindow { background-color: %1; }")
                     .arg(ColorFromArgb(*color).name());
    }
    top.setStyleSheet(style);
}

}  // namespace toolkit
