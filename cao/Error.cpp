#include "cao/Error.h"

namespace cao {

Error::Error(QString description, int32_t errorCode)
    : m_description(std::move(description)),
      m_code(errorCode),
      m_utf8(m_description.toStdString()) {}

Error Error::typeMismatch() {
    return Error(QStringLiteral("Type mismatch"), code::TypeMismatch);
}

Error Error::overflow() {
    return Error(QStringLiteral("Overflow"), code::Overflow);
}

}  // namespace cao
