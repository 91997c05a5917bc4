#pragma once

#include <QString>

namespace cao {

// QLocale has no words for true and false. The program's own texts are English, so the
// English words stand in every locale; reading accepts them in any letter case.
inline QString boolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// 1 for true, 0 for false, -1 for any other text.
inline int boolFromWord(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(boolText(true), Qt::CaseInsensitive) == 0) return 1;
    if (trimmed.compare(boolText(false), Qt::CaseInsensitive) == 0) return 0;
    return -1;
}

}  // namespace cao
