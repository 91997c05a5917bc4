#include "platform/links/hla4/Calls.h"

#include <google/protobuf/descriptor.h>

#include <utility>

namespace links::hla4 {

namespace {

constexpr const char* kRequestSuffix = "Request";
constexpr const char* kResponseSuffix = "Response";

std::string refusalText(const std::string& name, const std::string& details) {
    if (details.empty()) return name.empty() ? "the server refused without a reason" : name;
    return name.empty() ? details : name + ": " + details;
}

// The response member that answers a request member: "…Request" answered by "…Response".
std::string answerOf(const std::string& request) {
    const std::string suffix = kRequestSuffix;
    if (request.size() < suffix.size() ||
        request.compare(request.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return {};
    }
    return request.substr(0, request.size() - suffix.size()) + kResponseSuffix;
}

}  // namespace

ServerRefusal::ServerRefusal(std::string name, std::string details)
    : std::runtime_error(refusalText(name, details)),
      m_name(std::move(name)),
      m_details(std::move(details)) {}

std::string memberName(const google::protobuf::Message& message) {
    const google::protobuf::Descriptor* descriptor = message.GetDescriptor();
    if (descriptor->oneof_decl_count() == 0) return {};
    const google::protobuf::FieldDescriptor* field =
        message.GetReflection()->GetOneofFieldDescriptor(message, descriptor->oneof_decl(0));
    return field ? field->name() : std::string();
}

wire::CallResponse Calls::call(const wire::CallRequest& request, const std::string& what) {
    return call(request, what, m_bound);
}

wire::CallResponse Calls::call(const wire::CallRequest& request, const std::string& what,
                               std::chrono::milliseconds bound) {
    wire::CallResponse response = m_channel.call(request, what, bound);
    if (response.has_exceptiondata()) {
        throw ServerRefusal(response.exceptiondata().exceptionname(),
                            response.exceptiondata().details());
    }
    const std::string expected = answerOf(memberName(request));
    const std::string answered = memberName(response);
    if (answered != expected) {
        throw std::runtime_error(what + ": the server at " + m_channel.server().text() +
                                 " answered with " +
                                 (answered.empty() ? std::string("an empty response") : answered) +
                                 " instead of " + expected);
    }
    return response;
}

}  // namespace links::hla4
