#include "toolkit/control.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QSlider>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStyle>
#include <charconv>

#include "toolkit/skin.h"
#include "toolkit/skin_widgets.h"
#include "toolkit/text_resources.h"
#include "toolkit/unit_texts.h"
#include "toolkit/window.h"

namespace toolkit {

namespace {

QString Shown(const std::string& raw) {
    return QString::fromStdString(LocalUnits(Translate(raw)));
}

// Counts programmatic changes so that signal handlers stay quiet.
class QuietScope {
public:
    explicit QuietScope(int& counter) : mCounter(counter) { ++mCounter; }
    ~QuietScope() { --mCounter; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

private:
    int& mCounter;
};

}  // namespace

Control::Control(Window& window, QWidget* widget, ControlKind kind, std::string name)
    : mWindow(window), mWidget(widget), mKind(kind), mName(std::move(name)) {}

void Control::Notify(const char* type) {
    if (Quiet()) {
        return;
    }
    Notification notification;
    notification.type = type;
    notification.sender = this;
    notification.name = mName;
    notification.userData = mUserData;
    notification.userDataInt = UserDataInt();
    mWindow.SendNotify(notification);
}

std::string Control::Text() const {
    if (auto* edit = qobject_cast<QLineEdit*>(mWidget.data())) {
        return LatinUnits(edit->text().toStdString());
    }
    return mText;
}

void Control::SetText(const std::string& text) {
    mText = text;
    ShowText();
}

void Control::ShowText() {
    QWidget* widget = mWidget.data();
    if (widget == nullptr) {
        return;
    }
    QuietScope quiet(mQuiet);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(Shown(mText));
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(Shown(mText));
        button->update();
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        mShownInEdit = Shown(mText);
        edit->setText(mShownInEdit);
    }
}

void Control::Retranslate() {
    QWidget* widget = mWidget.data();
    if (widget == nullptr) {
        return;
    }
    QuietScope quiet(mQuiet);
    if (qobject_cast<QLineEdit*>(widget) == nullptr) {
        ShowText();
    } else if (auto* edit = static_cast<QLineEdit*>(widget); edit->text() == mShownInEdit) {
        ShowText();  // what the user is typing stays as typed
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setPlaceholderText(Shown(widget->property("tqPrompt").toString().toStdString()));
    }
    widget->setToolTip(Shown(mToolTip));
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        for (int i = 0; i < combo->count() && i < static_cast<int>(mItems.size()); ++i) {
            combo->setItemText(i, Shown(mItems[static_cast<size_t>(i)].text));
        }
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        for (int i = 0; i < list->count() && i < static_cast<int>(mItems.size()); ++i) {
            list->item(i)->setText(Shown(mItems[static_cast<size_t>(i)].text));
        }
    }
}

int Control::UserDataInt() const {
    int value = -1;
    const char* begin = mUserData.data();
    const char* end = begin + mUserData.size();
    auto result = std::from_chars(begin, end, value);
    return (result.ec == std::errc() && result.ptr == end && !mUserData.empty()) ? value : -1;
}

void Control::SetToolTip(const std::string& text) {
    mToolTip = text;
    if (mWidget) {
        mWidget->setToolTip(Shown(text));
    }
}

bool Control::Visible() const {
    return mWidget && !mWidget->isHidden();
}

void Control::SetVisible(bool visible) {
    if (mWidget) {
        mWidget->setVisible(visible);
    }
}

bool Control::Enabled() const {
    return mWidget && mWidget->isEnabled();
}

void Control::SetEnabled(bool enabled) {
    if (mWidget) {
        mWidget->setEnabled(enabled);
    }
}

bool Control::Selected() const {
    auto* button = qobject_cast<QAbstractButton*>(mWidget.data());
    if (button != nullptr && !button->isCheckable()) {
        return button->property("selected").toBool();
    }
    return button != nullptr && button->isChecked();
}

void Control::SetSelected(bool selected, bool notify) {
    auto* button = qobject_cast<QAbstractButton*>(mWidget.data());
    if (button != nullptr && !button->isCheckable()) {
        // A plain button does not toggle when clicked, but its owner may
        // show a state on it (the link mode on "Link"): the style sheet
        // draws buttons whose "selected" property is true.
        if (button->property("selected").toBool() != selected) {
            button->setProperty("selected", selected);
            button->style()->unpolish(button);
            button->style()->polish(button);
            button->update();
        }
        return;
    }
    if (button == nullptr || !button->isCheckable() || button->isChecked() == selected) {
        return;
    }
    if (notify) {
        button->setChecked(selected);  // the toggle handler raises "selectchanged"
    } else {
        QuietScope quiet(mQuiet);
        button->setChecked(selected);
    }
}

void Control::SetTextColor(uint32_t argb) {
    mTextColor = argb;
    ApplyStyle();
}

void Control::SetOwnStyle(const QString& style) {
    mOwnStyle = style;
    ApplyStyle();
}

void Control::ApplyStyle() {
    if (!mWidget) {
        return;
    }
    QString style = mOwnStyle;
    if (mTextColor != 0) {
        style += QString("color: %1;").arg(ColorFromArgb(mTextColor).name(QColor::HexArgb));
        QPalette palette = mWidget->palette();
        palette.setColor(QPalette::ButtonText, ColorFromArgb(mTextColor));
        palette.setColor(QPalette::WindowText, ColorFromArgb(mTextColor));
        mWidget->setPalette(palette);
    }
    mWidget->setStyleSheet(style);
}

void Control::SetImage(const std::string& imageName) {
    QPixmap image = Skin::Instance().Image(imageName, mWindow.Scale());
    if (auto* panel = dynamic_cast<SkinPanel*>(mWidget.data())) {
        panel->SetImage(image);
    } else if (auto* button = dynamic_cast<SkinButton*>(mWidget.data())) {
        button->SetForeImage(image);
    } else if (auto* label = qobject_cast<QLabel*>(mWidget.data())) {
        label->setPixmap(image.isNull() ? QPixmap()
                                        : image.scaled(label->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
    }
}

void Control::SetBkColor(uint32_t argb) {
    if (auto* panel = dynamic_cast<SkinPanel*>(mWidget.data())) {
        panel->SetBackground((argb >> 24) == 0 ? 0 : argb);
        return;
    }
    const QString background =
        (argb >> 24) == 0
            ? QString()
            : QString("background-color: %1;").arg(ColorFromArgb(argb).name(QColor::HexArgb));
    SetOwnStyle(background);
}

int Control::Value() const {
    QWidget* widget = mWidget.data();
    if (auto* slider = qobject_cast<QSlider*>(widget))
        return slider->value();
    if (auto* bar = qobject_cast<QProgressBar*>(widget))
        return bar->value();
    if (auto* stack = qobject_cast<QStackedWidget*>(widget))
        return stack->currentIndex();
    if (auto* circle = dynamic_cast<CircleProgress*>(widget))
        return circle->Value();
    return 0;
}

void Control::SetValue(int value) {
    QuietScope quiet(mQuiet);
    QWidget* widget = mWidget.data();
    if (auto* slider = qobject_cast<QSlider*>(widget)) {
        slider->setValue(value);
    } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        bar->setValue(value);
    } else if (auto* stack = qobject_cast<QStackedWidget*>(widget)) {
        if (value >= 0 && value < stack->count())
            stack->setCurrentIndex(value);
    } else if (auto* circle = dynamic_cast<CircleProgress*>(widget)) {
        circle->SetValue(value);
    }
}

int Control::Minimum() const {
    if (auto* slider = qobject_cast<QSlider*>(mWidget.data()))
        return slider->minimum();
    if (auto* bar = qobject_cast<QProgressBar*>(mWidget.data()))
        return bar->minimum();
    return 0;
}

int Control::Maximum() const {
    if (auto* slider = qobject_cast<QSlider*>(mWidget.data()))
        return slider->maximum();
    if (auto* bar = qobject_cast<QProgressBar*>(mWidget.data()))
        return bar->maximum();
    if (auto* circle = dynamic_cast<CircleProgress*>(mWidget.data()))
        return circle->Maximum();
    return 0;
}

void Control::SetRange(int minimum, int maximum) {
    if (maximum < minimum) {
        return;
    }
    QuietScope quiet(mQuiet);
    if (auto* slider = qobject_cast<QSlider*>(mWidget.data())) {
        slider->setRange(minimum, maximum);
    } else if (auto* bar = qobject_cast<QProgressBar*>(mWidget.data())) {
        bar->setRange(minimum, maximum);
    } else if (auto* circle = dynamic_cast<CircleProgress*>(mWidget.data())) {
        circle->SetMaximum(maximum);
    }
}

void Control::ClearItems() {
    QuietScope quiet(mQuiet);
    mItems.clear();
    if (auto* combo = qobject_cast<QComboBox*>(mWidget.data())) {
        combo->clear();
    } else if (auto* list = qobject_cast<QListWidget*>(mWidget.data())) {
        list->clear();
    }
}

void Control::AddItem(const std::string& text, const std::string& userData) {
    QuietScope quiet(mQuiet);
    if (auto* combo = qobject_cast<QComboBox*>(mWidget.data())) {
        combo->addItem(Shown(text));
    } else if (auto* list = qobject_cast<QListWidget*>(mWidget.data())) {
        list->addItem(Shown(text));
    } else {
        return;
    }
    mItems.push_back({text, userData});
}

int Control::ItemCount() const {
    return static_cast<int>(mItems.size());
}

std::string Control::ItemText(int index) const {
    return index >= 0 && index < ItemCount() ? mItems[static_cast<size_t>(index)].text
                                             : std::string();
}

std::string Control::ItemUserData(int index) const {
    return index >= 0 && index < ItemCount() ? mItems[static_cast<size_t>(index)].userData
                                             : std::string();
}

int Control::SelectedIndex() const {
    if (auto* combo = qobject_cast<QComboBox*>(mWidget.data()))
        return combo->currentIndex();
    if (auto* list = qobject_cast<QListWidget*>(mWidget.data()))
        return list->currentRow();
    return -1;
}

void Control::SelectItem(int index, bool notify) {
    if (index < -1 || index >= ItemCount()) {
        return;
    }
    {
        QuietScope quiet(mQuiet);
        if (auto* combo = qobject_cast<QComboBox*>(mWidget.data())) {
            combo->setCurrentIndex(index);
        } else if (auto* list = qobject_cast<QListWidget*>(mWidget.data())) {
            list->setCurrentRow(index);
        }
    }
    if (notify) {
        Notify(kNotifyItemSelect);
    }
}

void Control::SetItemVisible(int index, bool visible) {
    auto* combo = qobject_cast<QComboBox*>(mWidget.data());
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return;
    }
    if (auto* view = qobject_cast<QListView*>(combo->view())) {
        view->setRowHidden(index, !visible);
    }
    // A hidden item must not be reachable by the keyboard or the wheel either.
    if (auto* model = qobject_cast<QStandardItemModel*>(combo->model())) {
        if (QStandardItem* item = model->item(index)) {
            item->setEnabled(visible);
        }
    }
}

bool Control::ItemVisible(int index) const {
    auto* combo = qobject_cast<QComboBox*>(mWidget.data());
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return false;
    }
    auto* view = qobject_cast<QListView*>(combo->view());
    return view == nullptr || !view->isRowHidden(index);
}

void Control::SetFocus() {
    if (mWidget) {
        mWidget->setFocus(Qt::OtherFocusReason);
    }
}

bool Control::HasFocus() const {
    return mWidget && mWidget->hasFocus();
}

void Control::SelectAllText() {
    if (auto* edit = qobject_cast<QLineEdit*>(mWidget.data())) {
        edit->selectAll();
    }
}

void Control::Activate() {
    auto* button = qobject_cast<QAbstractButton*>(mWidget.data());
    if (button == nullptr || !button->isEnabled()) {
        return;
    }
    if (button->isCheckable() && !button->isChecked()) {
        SetSelected(true, true);
    }
    Notify(kNotifyClick);
}

}  // namespace toolkit
