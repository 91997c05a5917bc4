#pragma once

// What a provider plugs into the embedded engine: it opens controllers, and each controller
// makes variables and raises messages through the context the engine gives it.

#include "cao/Variant.h"
#include "platform/engine/ClientContext.h"
#include "platform/engine/MessageData.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace engine {

// The engine's side of one open controller, handed to the provider when it opens it.
class ControllerContext {
public:
    virtual ~ControllerContext() = default;
    // Queues a message; it is delivered later from the event loop, in the order raised.
    virtual void raise(MessageData message) = 0;
    // Runs work later from the event loop, in order with the messages. Throwing from work
    // is a provider fault and is reported on standard error.
    virtual void post(std::function<void()> work) = 0;
    // The client the controller is opened for: its provider variables and working directory
    // stand in for the provider's own process environment.
    virtual const ClientContext& client() const = 0;
};

class ProviderVariable {
public:
    virtual ~ProviderVariable() = default;
    virtual cao::Variant read() = 0;
    virtual void write(const cao::Variant& value) = 0;
    // The variable leaves its controller; afterwards no call reaches this object.
    virtual void release() = 0;
};

class ProviderController {
public:
    virtual ~ProviderController() = default;
    // name as given to AddController; option is the decimal mask of "Option=".
    virtual std::unique_ptr<ProviderVariable> addVariable(const QString& name, int32_t option) = 0;
    // Leaves whatever the controller joined. On failure the controller stays open.
    virtual void close() = 0;
    // The client the controller was opened for is gone without closing it (its process
    // ended): what it joined is told it was lost, for fault, and then left as by close().
    virtual void lose(const QString& /*fault*/) { close(); }
};

// Opens a controller; throws cao::Error with a description when it cannot.
using ProviderFactory = std::function<std::unique_ptr<ProviderController>(
    const QString& name, const QString& options, ControllerContext& context)>;

}  // namespace engine
