#include "ui/ProgramFont.h"

namespace ui {

QFont programFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStretch(QFont::Condensed);
    font.setPointSize(8);
    return font;
}

}  // namespace ui
