#pragma once

#include "platform/links/DeferredCallbacks.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace links {

// The deferred callbacks that carry an RTI's handles (RtiHandles.h): each is kept with the
// RTI's handles and translated when it is handed on, so that the RTI is called outside its
// delivery. Objects are known by the class they were discovered or registered with; what
// concerns an object, class or member the description does not know is passed over.
// Handles adds to RtiHandles the translation of the RTI's objects:
//   hla::ObjectInstanceHandle localObject(const Object&).
template <class Handles>
class TranslatedCallbacks : public DeferredCallbacks {
public:
    using Object = typename Handles::Object;
    using ObjectClass = typename Handles::ObjectClass;
    using Attribute = typename Handles::Attribute;
    using InteractionClass = typename Handles::InteractionClass;
    using Parameter = typename Handles::Parameter;

    explicit TranslatedCallbacks(Handles& handles) : m_handles(handles) {}

    // An object this federate registered: its reflections and removal are never received,
    // but its class is known for ownership callbacks.
    void registered(const Object& object, hla::ObjectClassHandle cls) {
        m_objectClasses[object] = cls;
    }
    void deleted(const Object& object) { m_objectClasses.erase(object); }

protected:
    using Values = std::vector<std::pair<Attribute, hla::Bytes>>;
    using Arguments = std::vector<std::pair<Parameter, hla::Bytes>>;
    using Attributes = std::vector<Attribute>;
    using OwnershipCall = void (RunTimeCallbacks::*)(hla::ObjectInstanceHandle,
                                                     const hla::AttributeSet&);

    void discovered(const Object& object, const ObjectClass& cls, std::string name) {
        queue([this, object, cls, n = std::move(name)](RunTimeCallbacks& c) {
            const auto local = m_handles.localObjectClass(cls);
            if (!local) return;  // a class no variable asked for
            m_objectClasses[object] = *local;
            c.discoverObjectInstance(m_handles.localObject(object), *local, n);
        });
    }

    void reflected(const Object& object, Values values, std::optional<double> time) {
        queue([this, object, values = std::move(values), time](RunTimeCallbacks& c) {
            const auto known = m_objectClasses.find(object);
            if (known == m_objectClasses.end()) return;
            hla::AttributeValues local;
            for (const auto& [handle, bytes] : values) {
                if (const auto a = m_handles.localAttribute(known->second, handle)) {
                    local[*a] = bytes;
                }
            }
            if (!local.empty()) {
                c.reflectAttributeValues(m_handles.localObject(object), local, {}, time);
            }
        });
    }

    void interactionReceived(const InteractionClass& cls, Arguments values,
                             std::optional<double> time) {
        queue([this, cls, values = std::move(values), time](RunTimeCallbacks& c) {
            const auto local = m_handles.localInteractionClass(cls);
            if (!local) return;
            hla::ParameterValues parameters;
            for (const auto& [handle, bytes] : values) {
                if (const auto p = m_handles.localParameter(*local, handle)) {
                    parameters[*p] = bytes;
                }
            }
            c.receiveInteraction(*local, parameters, {}, time);
        });
    }

    void removed(const Object& object, std::optional<double> time) {
        queue([this, object, time](RunTimeCallbacks& c) {
            if (m_objectClasses.erase(object) == 0) return;
            c.removeObjectInstance(m_handles.localObject(object), {}, time);
        });
    }

    void releaseRequested(const Object& object, Attributes attributes, std::string tag) {
        queue([this, object, attributes = std::move(attributes),
               t = std::move(tag)](RunTimeCallbacks& c) {
            const hla::AttributeSet local = localAttributes(object, attributes);
            if (!local.empty()) {
                c.requestAttributeOwnershipRelease(m_handles.localObject(object), local, t);
            }
        });
    }

    // Acquired or unavailable attributes: call is the callback that says which.
    void ownership(const Object& object, Attributes attributes, OwnershipCall call) {
        queue([this, object, attributes = std::move(attributes), call](RunTimeCallbacks& c) {
            const hla::AttributeSet local = localAttributes(object, attributes);
            if (!local.empty()) (c.*call)(m_handles.localObject(object), local);
        });
    }

private:
    hla::AttributeSet localAttributes(const Object& object, const Attributes& attributes) {
        const auto known = m_objectClasses.find(object);
        if (known == m_objectClasses.end()) return {};
        return m_handles.localAttributes(known->second, attributes);
    }

    Handles& m_handles;
    std::map<Object, hla::ObjectClassHandle> m_objectClasses;
};

}  // namespace links
