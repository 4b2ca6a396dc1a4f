// The Qt top-level widget of a skinned window: frameless, dragged by its
// caption area, and the place where control events (focus, keys, double
// clicks) become notifications.
#pragma once

#include <QPoint>
#include <QWidget>

namespace toolkit {

class Window;

class WindowWidget : public QWidget {
public:
    WindowWidget(Window& window, QWidget* parent, Qt::WindowFlags flags);
    void SetCaptionHeight(int height) { mCaptionHeight = height; }
    // Watches a control's widget for focus, key and double-click events.
    void Watch(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Window& mWindow;
    int mCaptionHeight = 0;
    bool mDragging = false;
    QPoint mDragOffset;
};

}  // namespace toolkit
