#include "ui/skin/display_scale.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "app/log.h"
#include "app/model_cfg.h"
#include "toolkit/layout_spec.h"

namespace ui {

namespace {
int gScale = 0;
}

int ChooseScreenDpi() {
    std::vector<toolkit::LayoutRect> screens;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) {
        QRect r = primary->geometry();
        screens.push_back({0, 0, r.width(), r.height()});
    }
    std::vector<toolkit::LayoutRect> others;
    for (QScreen* screen : QGuiApplication::screens()) {
        QRect r = screen->geometry();
        if (screen != primary && (r.left() != 0 || r.top() != 0)) {
            others.push_back({r.left(), r.top(), r.width(), r.height()});
        }
    }
    std::sort(others.begin(), others.end(),
              [](const auto& a, const auto& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    screens.insert(screens.end(), others.begin(), others.end());
    if (screens.empty()) {
        return 96;
    }
    app::Log("m_MainScreen (%d,%d,%d,%d)\n", 0, 0, screens[0].width, screens[0].height);
    const app::ModelCfg& model = app::CurrentModelCfg();
    int dpi =
        toolkit::DpiForScreens(screens, model.mDEFAULT_WINDOW_WIDTH, model.mDEFAULT_WINDOW_HEIGHT);
    app::Log("DPI %d\n", dpi);
    return dpi;
}

int ChooseDisplayScale() {
    return 100 * ChooseScreenDpi() / 96;
}

int DisplayScale() {
    if (gScale <= 0) {
        gScale = toolkit::ScaleForDpi(ChooseScreenDpi());
    }
    return gScale;
}

void SetDisplayScale(int percent) {
    gScale = percent;
}

}  // namespace ui
