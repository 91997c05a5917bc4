#pragma once

#include <QIcon>

namespace ui {

// The program icon with its 16, 32 and 48 pixel images.
QIcon programIcon();

}  // namespace ui
