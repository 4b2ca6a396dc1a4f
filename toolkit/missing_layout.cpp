#include "toolkit/missing_layout.h"

#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace toolkit {

void FailMissingLayout(const std::string& layoutId) {
    std::fprintf(stderr, "the layout \"%s\" cannot be loaded from the skin\n", layoutId.c_str());
    std::fflush(stderr);
    QMessageBox box(
        QMessageBox::Critical, "TQ DSP Audio",
        QString("The window layout \"%1\" cannot be loaded from the skin.\nThe program will close.")
            .arg(QString::fromStdString(layoutId)));
    box.exec();
    std::exit(1);
}

}  // namespace toolkit
