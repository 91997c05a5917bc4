#include "platform/hla/FedWriter.h"

#include "platform/hla/Error.h"
#include "platform/hla/WriterRules.h"

#include <algorithm>

namespace hla {

namespace {

constexpr const char* kFedVersion = "v1.3";
// The federation's name when the description has none a FED file can hold.
constexpr const char* kUnnamedFederation = "Federation";
constexpr std::size_t kIndentWidth = 2;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// A name as a FED atom: bare when it can be, quoted when it holds a blank, a parenthesis or
// a semicolon.
std::string atom(const std::string& name) {
    const bool unwritable =
        name.empty() || std::any_of(name.begin(), name.end(), [](char c) {
            return c == '"' || c == '\n' || (static_cast<unsigned char>(c) < 0x20 && !isBlank(c));
        });
    if (unwritable) {
        throw Error(ErrorKind::InvalidName,
                    "the name \"" + name + "\" cannot be written in a FED file");
    }
    const bool quoted = std::any_of(name.begin(), name.end(), [](char c) {
        return isBlank(c) || c == '(' || c == ')' || c == ';';
    });
    return quoted ? "\"" + name + "\"" : name;
}

const char* word(Transport transport) {
    return transport == Transport::Reliable ? "reliable" : "best_effort";
}

const char* word(Order order) {
    return order == Order::Receive ? "receive" : "timestamp";
}

class Writer {
public:
    explicit Writer(const FederationDescription& description) : m_description(description) {}

    std::string write() {
        std::string name = m_description.federationName;
        std::replace(name.begin(), name.end(), '.', '_');
        if (name.empty()) name = kUnnamedFederation;
        line(0, "(FED");
        line(1, "(Federation " + atom(name) + ")");
        line(1, std::string("(FEDversion ") + kFedVersion + ")");
        line(1, "(objects");
        objectRoot();
        line(1, ")");
        line(1, "(interactions");
        interactionRoot();
        line(1, ")");
        line(0, ")");
        return std::move(m_text);
    }

private:
    void line(std::size_t depth, const std::string& text) {
        m_text.append(depth * kIndentWidth, ' ');
        m_text += text;
        m_text += '\n';
    }

    // Other classes without a parent are placed beneath the root, as RTIs read them.
    void objectRoot() {
        constexpr std::size_t depth = 2;
        line(depth, std::string("(class ") + kObjectRoot);
        line(depth + 1, std::string("(attribute ") + kPrivilegeToDelete + " " +
                            word(writing::kRootTransport) + " " + word(writing::kRootOrder) + ")");
        for (std::uint32_t i = 0; i < m_description.objectClassCount(); ++i) {
            const auto handle = static_cast<ObjectClassHandle>(i);
            const ObjectClassSpec& spec = m_description.objectClass(handle);
            if (spec.parent) continue;
            if (spec.name == kObjectRoot) {
                objectMembers(spec, depth + 1, true);
            } else {
                objectClass(handle, depth + 1);
            }
        }
        line(depth, ")");
    }

    void objectClass(ObjectClassHandle handle, std::size_t depth) {
        const ObjectClassSpec& spec = m_description.objectClass(handle);
        if (writing::isManagerClass(spec.fullName)) return;
        line(depth, "(class " + atom(spec.name));
        objectMembers(spec, depth + 1, false);
        line(depth, ")");
    }

    void objectMembers(const ObjectClassSpec& spec, std::size_t depth, bool root) {
        for (AttributeHandle a : spec.declared) {
            const AttributeSpec& attribute = m_description.attribute(a);
            if (root && attribute.name == kPrivilegeToDelete) continue;  // written as the MIM's
            line(depth, "(attribute " + atom(attribute.name) + " " + word(attribute.transport) +
                            " " + word(attribute.order) + ")");
        }
        for (ObjectClassHandle child : spec.children) objectClass(child, depth);
    }

    void interactionRoot() {
        constexpr std::size_t depth = 2;
        line(depth, std::string("(class ") + kInteractionRoot + " " +
                        word(writing::kRootTransport) + " " + word(writing::kRootOrder));
        for (std::uint32_t i = 0; i < m_description.interactionClassCount(); ++i) {
            const auto handle = static_cast<InteractionClassHandle>(i);
            const InteractionClassSpec& spec = m_description.interactionClass(handle);
            if (spec.parent) continue;
            if (spec.name == kInteractionRoot) {
                interactionMembers(spec, depth + 1);
            } else {
                interactionClass(handle, depth + 1);
            }
        }
        line(depth, ")");
    }

    void interactionClass(InteractionClassHandle handle, std::size_t depth) {
        const InteractionClassSpec& spec = m_description.interactionClass(handle);
        if (writing::isManagerClass(spec.fullName)) return;
        line(depth,
             "(class " + atom(spec.name) + " " + word(spec.transport) + " " + word(spec.order));
        interactionMembers(spec, depth + 1);
        line(depth, ")");
    }

    void interactionMembers(const InteractionClassSpec& spec, std::size_t depth) {
        for (ParameterHandle p : spec.declared) {
            line(depth, "(parameter " + atom(m_description.parameter(p).name) + ")");
        }
        for (InteractionClassHandle child : spec.children) interactionClass(child, depth);
    }

    const FederationDescription& m_description;
    std::string m_text;
};

}  // namespace

std::string writeFed(const FederationDescription& description) {
    return Writer(description).write();
}

}  // namespace hla
