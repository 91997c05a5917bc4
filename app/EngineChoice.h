#pragma once

#include "cao/Cao.h"

namespace app {

// The engine the program runs on: the embedded engine with the providers built into this
// program. Shared by the window and the headless peer, so both run the same engine. Throws
// cao::Error when no engine can be created.
cao::EnginePtr createEngine();

// Ends the program with status. A thread of the engine inside this program that is still
// waiting on an RTI that never answered does not hold the exit up: the program ends without
// it. Returns status when nothing lingers.
int finishProgram(int status);

}  // namespace app
