#pragma once

#include "cao/Error.h"
#include "cao/Variant.h"
#include "cao/text/ChangeType.h"
#include "cao/text/TextToVariant.h"
#include "cao/text/VariantToText.h"

#include <QLocale>
#include <QString>

#include "support/CaoMocks.h"  // readable QString and Variant output
#include "support/FailureOf.h"

#include <string>

namespace cao::test {

inline const QLocale& enUS() {
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}
inline const QLocale& deDE() {
    static const QLocale locale(QLocale::German, QLocale::Germany);
    return locale;
}

using ::failureOf;

// Type and text of a value, to show next to a failed comparison.
inline std::string describe(const Variant& value) {
    std::string text = typeName(value.type()).toStdString();
    try {
        text += " " + variantToText(value, QLocale(QLocale::C)).toStdString();
    } catch (const Error&) {
    }
    return text;
}

inline const QString kMismatch = QStringLiteral("Type mismatch");
inline const QString kOverflow = QStringLiteral("Overflow");

}  // namespace cao::test
