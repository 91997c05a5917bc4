#include "platform/links/hla4/Hla4Handles.h"

#include <stdexcept>

namespace links::hla4 {

ObjectClassBytes Hla4Lookup::objectClass(Calls& calls, const std::string& name) {
    wire::CallRequest request;
    request.mutable_getobjectclasshandlerequest()->set_objectclassname(name);
    return taken<ObjectClassBytes>(calls.call(request, "looking up object class " + name)
                                       .getobjectclasshandleresponse()
                                       .result());
}

AttributeBytes Hla4Lookup::attribute(Calls& calls, const ObjectClassBytes& cls,
                                     const std::string& name) {
    wire::CallRequest request;
    wire::GetAttributeHandleRequest* get = request.mutable_getattributehandlerequest();
    put(get->mutable_objectclass(), cls);
    get->set_attributename(name);
    return taken<AttributeBytes>(
        calls.call(request, "looking up attribute " + name).getattributehandleresponse().result());
}

InteractionClassBytes Hla4Lookup::interactionClass(Calls& calls, const std::string& name) {
    wire::CallRequest request;
    request.mutable_getinteractionclasshandlerequest()->set_interactionclassname(name);
    return taken<InteractionClassBytes>(calls.call(request, "looking up interaction class " + name)
                                            .getinteractionclasshandleresponse()
                                            .result());
}

ParameterBytes Hla4Lookup::parameter(Calls& calls, const InteractionClassBytes& cls,
                                     const std::string& name) {
    wire::CallRequest request;
    wire::GetParameterHandleRequest* get = request.mutable_getparameterhandlerequest();
    put(get->mutable_interactionclass(), cls);
    get->set_parametername(name);
    return taken<ParameterBytes>(
        calls.call(request, "looking up parameter " + name).getparameterhandleresponse().result());
}

std::vector<AttributeBytes> Hla4Handles::attributes(hla::ObjectClassHandle cls,
                                                    const hla::AttributeSet& attributes) {
    std::vector<AttributeBytes> result;
    result.reserve(attributes.size());
    for (hla::AttributeHandle a : attributes) result.push_back(attribute(cls, a));
    return result;
}

hla::ObjectInstanceHandle Hla4Handles::localObject(const ObjectBytes& object) {
    const auto found = m_localObjects.find(object);
    if (found != m_localObjects.end()) return found->second;
    // Numbered from 1, in the order this federate first saw them.
    const auto local = static_cast<hla::ObjectInstanceHandle>(m_localObjects.size() + 1);
    m_localObjects.emplace(object, local);
    m_objects.emplace(local, object);
    return local;
}

ObjectBytes Hla4Handles::serverObject(hla::ObjectInstanceHandle object) const {
    const auto found = m_objects.find(object);
    if (found == m_objects.end()) {
        throw std::runtime_error("object " + hla::toString(object) +
                                 " is not known to this federate");
    }
    return found->second;
}

void putAll(wire::AttributeHandleSet* set, const std::vector<AttributeBytes>& attributes) {
    for (const AttributeBytes& a : attributes) set->add_attributehandle()->set_data(a.bytes);
}

std::vector<AttributeBytes> takenAll(const wire::AttributeHandleSet& set) {
    std::vector<AttributeBytes> result;
    result.reserve(static_cast<std::size_t>(set.attributehandle_size()));
    for (const wire::AttributeHandle& a : set.attributehandle()) result.push_back({a.data()});
    return result;
}

}  // namespace links::hla4
