#include "ui/ProgramIcon.h"

#include <QString>

// The resource lives in a static library: naming its initialiser here makes the linker keep it
// in every program that uses the icon.
static void initIconResource() {
    Q_INIT_RESOURCE(tandrel);
}

namespace ui {

QIcon programIcon() {
    initIconResource();
    QIcon icon;
    for (int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/icons/tandrel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace ui
