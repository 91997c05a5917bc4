#pragma once

#include <QFont>

namespace ui {

// The program's user-interface font. The window's geometry is fixed in pixels and was laid
// out for a narrow 8-point face; the common wide default faces clip several labels there.
QFont programFont();

}  // namespace ui
