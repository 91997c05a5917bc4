#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

namespace cao {

// A real with at most 15 (double) or 7 (float) significant digits, trailing zeros dropped, the
// locale's decimal separator and no grouping. Scientific notation (1.2E+15, 5.6789E-12) once
// fixed notation would need more digits than that; INF, -INF and NaN; negative zero is "0".
QString formatDouble(double value, const QLocale& locale);
QString formatFloat(float value, const QLocale& locale);

// A currency amount (units of 1/10000) with up to four fraction digits.
QString formatCurrency(int64_t tenThousandths, const QLocale& locale);

}  // namespace cao
