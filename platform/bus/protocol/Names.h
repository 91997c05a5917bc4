#pragma once

// The names the engine and its clients meet by on the session bus.

namespace bus {

inline constexpr const char* kService = "io.tandrel.Engine1";
inline constexpr const char* kRootPath = "/io/tandrel/Engine1";

inline constexpr const char* kManagerInterface = "io.tandrel.Engine1";
inline constexpr const char* kEngineInterface = "io.tandrel.Engine1.Engine";
inline constexpr const char* kWorkspaceInterface = "io.tandrel.Engine1.Workspace";
inline constexpr const char* kControllerInterface = "io.tandrel.Engine1.Controller";
inline constexpr const char* kVariableInterface = "io.tandrel.Engine1.Variable";
inline constexpr const char* kMessageInterface = "io.tandrel.Engine1.Message";

// A cao::Error crosses the bus as a D-Bus error of this prefix and a name for its code.
inline constexpr const char* kErrorPrefix = "io.tandrel.Engine1.Error.";

// The signal carrying a batch of a controller's messages, and the object path a message
// carries when it has nothing to acknowledge.
inline constexpr const char* kMessagesSignal = "Messages";
inline constexpr const char* kPackedMessagesSignal = "PackedMessages";
inline constexpr const char* kNoMessageObject = "/";

// What a peer connection is told when its other end has gone.
inline constexpr const char* kLocalPath = "/org/freedesktop/DBus/Local";
inline constexpr const char* kLocalInterface = "org.freedesktop.DBus.Local";
inline constexpr const char* kDisconnectedSignal = "Disconnected";

// The program that serves kService, and the variables that choose another name for it.
inline constexpr const char* kEngineProgram = "tandrel-engine";
inline constexpr const char* kServiceVariable = "TANDREL_ENGINE_SERVICE";
inline constexpr const char* kProgramVariable = "TANDREL_ENGINE_PROGRAM";

}  // namespace bus
