#pragma once

#include "cao/Cao.h"

namespace app {

// The engine the program runs on: the embedded engine with the providers built into this
// program. Shared by the window and the headless peer, so both run the same engine. Throws
// cao::Error when no engine can be created.
cao::EnginePtr createEngine();

}  // namespace app
