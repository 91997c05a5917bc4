#pragma once

#include "platform/engine/Provider.h"

#include <QString>

namespace bench {

// A provider that raises, for every value written to any of its variables, that many
// received interactions through its controller: the engine's side of a flood without a
// run-time in the way.
inline const QString kFloodProvider = QStringLiteral("Bench.Flood");

engine::ProviderFactory floodFactory();

}  // namespace bench
