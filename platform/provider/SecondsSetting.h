#pragma once

#include "platform/engine/ClientContext.h"

#include <chrono>

namespace provider {

// The client's value of a provider variable given in seconds (a decimal number up to a day),
// or fallback when it has none. allowZero: 0 means something (off, none). Throws cao::Error
// naming the variable and what it takes.
std::chrono::milliseconds secondsSetting(const engine::ClientContext& client, const char* name,
                                         std::chrono::milliseconds fallback, bool allowZero);

}  // namespace provider
