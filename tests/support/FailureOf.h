#pragma once

#include "cao/Error.h"

#include <QString>

// The description of the cao::Error a call throws, or "no error".
template <typename Call>
QString failureOf(Call&& call) {
    try {
        call();
    } catch (const cao::Error& e) {
        return e.description();
    }
    return QStringLiteral("no error");
}
