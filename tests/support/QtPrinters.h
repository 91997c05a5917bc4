#pragma once

#include <QString>

#include <ostream>

// Readable texts in failure output, found beside QString by argument-dependent lookup.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
