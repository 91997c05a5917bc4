#pragma once

#include "platform/bus/service/CallArguments.h"
#include "platform/engine/ClientContext.h"

namespace bus::service {

// Variables a client may hand over, and the longest working directory it may name.
inline constexpr qsizetype kMaxContextVariables = 256;
inline constexpr qsizetype kMaxVariableNameLength = 256;
inline constexpr qsizetype kMaxValueLength = qsizetype{1} << 16;
inline constexpr qsizetype kMaxDirectoryLength = 4096;

// The client context of a call: its provider variables (a{ss}) at environment and its working
// directory (s) at directory. Refuses (CallError, InvalidArgs) a variable that is not the
// provider's, a name or value too long, too many variables, or a working directory that is not
// an absolute path.
engine::ClientContext clientContextArgument(const CallArguments& take, qsizetype environment,
                                            qsizetype directory);

}  // namespace bus::service
