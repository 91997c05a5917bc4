#include "variables/OptionMask.h"

#include "cao/Error.h"
#include "ui/WidgetState.h"

#include <QListWidget>

#include <cmath>
#include <cstdint>
#include <limits>

namespace variables {

namespace {

// The row index is a 16-bit number that must also step past the last row, so a list longer
// than this cannot be walked.
constexpr int kMaxRows = std::numeric_limits<int16_t>::max();

}  // namespace

int32_t optionMask(const QListWidget* lstVarOpt) {
    const int count = lstVarOpt->count();
    if (count > kMaxRows) {
        throw cao::Error(QStringLiteral("The option list has %1 rows; at most %2 can be read.")
                             .arg(count)
                             .arg(kMaxRows),
                         cao::code::Overflow);
    }
    int32_t mask = 0;
    for (int row = 0; row < count; ++row) {
        if (!ui::isRowTicked(lstVarOpt, row)) continue;
        // Summed in double precision so that a bit beyond the 32-bit range is caught here
        // rather than wrapping into the sign.
        const double sum = std::pow(2.0, row) + static_cast<double>(mask);
        if (!std::isfinite(sum) || sum > std::numeric_limits<int32_t>::max() ||
            sum < std::numeric_limits<int32_t>::min()) {
            throw cao::Error(
                QStringLiteral("Overflow: the ticked option in row %1 does not fit the 32-bit "
                               "option mask; untick it.")
                    .arg(row),
                cao::code::Overflow);
        }
        mask = static_cast<int32_t>(std::nearbyint(sum));
    }
    return mask;
}

QString variableOptionString(int32_t mask) {
    return QStringLiteral("Option=") + QString::number(mask);
}

}  // namespace variables
