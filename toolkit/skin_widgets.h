// The Qt widgets behind the skin's control kinds where plain Qt widgets need
// help: panels with a colour, border and image; buttons with an image per
// state; options that tell a user's toggle from a program's; the switch
// button and the circular progress indicator.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>
#include <cstdint>

namespace toolkit {

// A container: background colour, rounded border and background image.
class SkinPanel : public QWidget {
public:
    explicit SkinPanel(QWidget* parent) : QWidget(parent) {}
    void SetBackground(uint32_t argb) {
        mBackground = argb;
        update();
    }
    void SetBorder(uint32_t argb, int width, int radius);
    void SetImage(const QPixmap& image) {
        mImage = image;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    uint32_t mBackground = 0;
    uint32_t mBorder = 0;
    int mBorderWidth = 0;
    int mRadius = 0;
    QPixmap mImage;
};

// Remembers whether the last toggle came from the user, so that the toolkit
// can raise "click" before "selectchanged" as a user's click does.
template <class Base>
class UserToggleAware : public Base {
public:
    using Base::Base;
    bool TakeUserToggle() {
        bool was = mUserToggle;
        mUserToggle = false;
        return was;
    }
    bool UserToggling() const { return mUserToggle; }

protected:
    void nextCheckState() override {
        mUserToggle = true;
        Base::nextCheckState();
    }

private:
    bool mUserToggle = false;
};

enum class ButtonState { Normal = 0, Hot, Pushed, Disabled, Selected, Count };

// A push button (or button-looking option) that draws an image per state
// when the skin gives one, and the theme's look otherwise.
class SkinButton : public UserToggleAware<QPushButton> {
public:
    explicit SkinButton(QWidget* parent) : UserToggleAware<QPushButton>(parent) {}
    void SetStateImage(ButtonState state, const QPixmap& image);
    void SetForeImage(const QPixmap& image) {
        mForeImage = image;
        update();
    }
    bool HasImages() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QPixmap, static_cast<size_t>(ButtonState::Count)> mImages;
    QPixmap mForeImage;
};

using SkinCheckBox = UserToggleAware<QCheckBox>;
using SkinRadioButton = UserToggleAware<QRadioButton>;

// A checkable on/off switch: a track with a knob and the text beside it.
class SwitchButton : public UserToggleAware<QAbstractButton> {
public:
    explicit SwitchButton(QWidget* parent);
    QSize sizeHint() const override;
    // Where the text starts, right of the track.
    int TextLeft() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A circular progress indicator, 0..maximum.
class CircleProgress : public QWidget {
public:
    explicit CircleProgress(QWidget* parent) : QWidget(parent) {}
    void SetValue(int value);
    int Value() const { return mValue; }
    void SetMaximum(int maximum) {
        mMaximum = maximum > 0 ? maximum : 1;
        update();
    }
    int Maximum() const { return mMaximum; }
    // While nothing is known of how far a job is, the ring turns: the value
    // is then the position of a quarter arc, and no share is written.
    void SetSpinning(bool spinning) {
        mSpinning = spinning;
        update();
    }
    bool Spinning() const { return mSpinning; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int mValue = 0;
    int mMaximum = 100;
    bool mSpinning = false;
};

QColor ColorFromArgb(uint32_t argb);

}  // namespace toolkit
