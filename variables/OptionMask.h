#pragma once

#include <QString>

#include <cstdint>

class QListWidget;

namespace variables {

// Bit i is set when row i of the option list is ticked; throws cao::Error on overflow.
int32_t optionMask(const QListWidget* lstVarOpt);
// "Option=" and the mask in decimal.
QString variableOptionString(int32_t mask);

}  // namespace variables
