#pragma once

// The arguments proxies send and the replies they read.

#include "cao/Variant.h"

#include <QString>
#include <QVariantList>

#include <cstdint>

namespace bus::client {

// A value as the one argument of a call.
QVariantList valueArgument(const cao::Variant& value);

// The first argument of a reply as an object path, or as a number; throws cao::Error when the
// engine answered something else.
QString pathOf(const QVariantList& reply);
int32_t intOf(const QVariantList& reply);

}  // namespace bus::client
