#include "toolkit/qt_setup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>
#include <cstdlib>

#include "toolkit/message_sink.h"

namespace toolkit {

void PrepareQtEnvironment() {
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    setenv("QT_SCALE_FACTOR", "1", 1);
}

void SetUpApplication() {
    // One look on every platform; the skin's theme builds on it.
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QStringList families;
    const QStringList installed = QFontDatabase::families();
    for (const char* wanted :
         {"Noto Sans", "DejaVu Sans", "Noto Sans CJK SC", "Noto Sans CJK JP"}) {
        if (installed.contains(wanted)) {
            families << wanted;
        }
    }
    if (!families.isEmpty()) {
        QFont font = QApplication::font();
        font.setFamilies(families);
        font.setHintingPreference(QFont::PreferNoHinting);
        QApplication::setFont(font);
    }
    InstallMessageSink();
}

}  // namespace toolkit
