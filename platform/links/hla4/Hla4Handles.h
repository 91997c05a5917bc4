#pragma once

// The handles of the federation description the provider reads and those of a Federate
// Protocol server, which are bytes of the server's own choosing, returned unchanged: classes
// and members found by their 2010 names once, then kept (RtiHandles.h); object instances
// numbered as this federate first sees them.

#include "platform/hla/FederationDescription.h"
#include "platform/links/RtiHandles.h"
#include "platform/links/hla4/Calls.h"

#include <compare>
#include <map>
#include <string>
#include <vector>

namespace links::hla4 {

// A handle as the server gave it. The kind keeps classes, members and objects apart.
template <int Kind>
struct WireHandle {
    std::string bytes;
    friend auto operator<=>(const WireHandle&, const WireHandle&) = default;
};
using ObjectClassBytes = WireHandle<0>;
using AttributeBytes = WireHandle<1>;
using InteractionClassBytes = WireHandle<2>;
using ParameterBytes = WireHandle<3>;
using ObjectBytes = WireHandle<4>;

// How a server looks handles up: by calls, with the 2010 names of classes and attributes.
struct Hla4Lookup {
    using Ambassador = Calls;
    using Exception = ServerRefusal;
    using ObjectClass = ObjectClassBytes;
    using Attribute = AttributeBytes;
    using InteractionClass = InteractionClassBytes;
    using Parameter = ParameterBytes;
    using Object = ObjectBytes;

    static std::string className(const std::string& fullName) { return hla::name2010(fullName); }
    static std::string attributeName(const std::string& name) { return hla::name2010(name); }
    static ObjectClass objectClass(Calls& calls, const std::string& name);
    static Attribute attribute(Calls& calls, const ObjectClass& cls, const std::string& name);
    static InteractionClass interactionClass(Calls& calls, const std::string& name);
    static Parameter parameter(Calls& calls, const InteractionClass& cls, const std::string& name);
    static std::string describe(const ServerRefusal& e) { return e.what(); }
};

class Hla4Handles : public RtiHandles<Hla4Lookup> {
public:
    using RtiHandles::RtiHandles;

    // Throws std::runtime_error naming what the server does not know.
    std::vector<AttributeBytes> attributes(hla::ObjectClassHandle cls,
                                           const hla::AttributeSet& attributes);

    // Object instances: numbered on first sight, the number kept while the federate runs.
    hla::ObjectInstanceHandle localObject(const ObjectBytes& object);
    // Throws std::runtime_error for a number this federate never gave out.
    ObjectBytes serverObject(hla::ObjectInstanceHandle object) const;

private:
    std::map<ObjectBytes, hla::ObjectInstanceHandle> m_localObjects;
    std::map<hla::ObjectInstanceHandle, ObjectBytes> m_objects;
};

// The wire's handle messages from and to the kept bytes.
template <class Message, int Kind>
void put(Message* message, const WireHandle<Kind>& handle) {
    message->set_data(handle.bytes);
}
template <class Handle, class Message>
Handle taken(const Message& message) {
    return Handle{message.data()};
}
void putAll(wire::AttributeHandleSet* set, const std::vector<AttributeBytes>& attributes);
std::vector<AttributeBytes> takenAll(const wire::AttributeHandleSet& set);

}  // namespace links::hla4
