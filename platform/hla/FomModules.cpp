#include "platform/hla/FomModules.h"

#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FedReader.h"
#include "platform/hla/FedSyntax.h"
#include "platform/hla/TextFile.h"
#include "platform/hla/XmlFomReader.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <optional>
#include <type_traits>

namespace hla {

namespace {

constexpr const char* kUnnamedModule = "an unnamed module";

std::string transportName(Transport transport) {
    return transport == Transport::Reliable ? "HLAreliable" : "HLAbestEffort";
}

std::string orderName(Order order) {
    return order == Order::Receive ? "Receive" : "TimeStamp";
}

[[noreturn]] void inconsistent(const std::string& description) {
    throw Error(ErrorKind::InconsistentFdd, description);
}

class Merger {
public:
    Merger(FederationDescription& into, const FederationDescription& module)
        : m_into(into), m_module(module) {}

    void run() {
        dataTypes();
        objectClasses();
        interactionClasses();
        for (const std::string& space : m_module.routingSpaces) {
            auto& spaces = m_into.routingSpaces;
            if (std::find(spaces.begin(), spaces.end(), space) == spaces.end()) {
                spaces.push_back(space);
            }
        }
        if (m_into.federationName.empty()) m_into.federationName = m_module.federationName;
        if (m_into.version.empty()) m_into.version = m_module.version;
        for (const std::string& name : m_module.modules) {
            auto& modules = m_into.modules;
            if (std::find(modules.begin(), modules.end(), name) == modules.end()) {
                modules.push_back(name);
            }
        }
    }

private:
    // The module a class or type of the module being merged comes from.
    std::string origin(const std::string& module) const {
        if (!module.empty()) return module;
        if (m_module.modules.size() == 1) return m_module.modules.front();
        return kUnnamedModule;
    }

    static std::string quoted(const std::string& module) {
        return module.empty() ? std::string(kUnnamedModule) : describeModule(module);
    }

    [[noreturn]] static void differs(const char* kind, const std::string& fullName,
                                     const std::string& ours, const std::string& theirs,
                                     const std::string& difference) {
        inconsistent(std::string(kind) + " class " + fullName + " is defined differently in " +
                     quoted(ours) + " and in " + quoted(theirs) + ": " + difference);
    }

    void dataTypes() {
        for (const DataType* type : m_module.dataTypes.all()) {
            DataType copy = *type;
            copy.module = origin(copy.module);
            m_into.dataTypes.add(std::move(copy));  // throws InconsistentFdd for a clash
        }
    }

    // Where a member name a module adds to a class is declared already: in the class's
    // ancestors or its subclasses.
    template <typename Handle>
    std::string clash(Handle cls, const std::string& member) const {
        if constexpr (std::is_same_v<Handle, ObjectClassHandle>) {
            if (const auto inherited = m_into.findAttribute(cls, member)) {
                const auto& owner = m_into.objectClass(m_into.attribute(*inherited).declaredIn);
                return "object class " + owner.fullName + " of " + quoted(owner.module);
            }
            for (std::uint32_t i = 0; i < m_into.objectClassCount(); ++i) {
                const auto sub = static_cast<ObjectClassHandle>(i);
                if (sub == cls || !m_into.isSubclassOf(sub, cls)) continue;
                for (AttributeHandle a : m_into.objectClass(sub).declared) {
                    if (m_into.attribute(a).name == member) {
                        const auto& owner = m_into.objectClass(sub);
                        return "its subclass " + owner.fullName + " of " + quoted(owner.module);
                    }
                }
            }
        } else {
            if (const auto inherited = m_into.findParameter(cls, member)) {
                const auto& owner =
                    m_into.interactionClass(m_into.parameter(*inherited).declaredIn);
                return "interaction class " + owner.fullName + " of " + quoted(owner.module);
            }
            for (std::uint32_t i = 0; i < m_into.interactionClassCount(); ++i) {
                const auto sub = static_cast<InteractionClassHandle>(i);
                if (sub == cls || !m_into.isSubclassOf(sub, cls)) continue;
                for (ParameterHandle p : m_into.interactionClass(sub).declared) {
                    if (m_into.parameter(p).name == member) {
                        const auto& owner = m_into.interactionClass(sub);
                        return "its subclass " + owner.fullName + " of " + quoted(owner.module);
                    }
                }
            }
        }
        return {};
    }

    // --- Object classes -----------------------------------------------------------------

    void objectClasses() {
        for (std::uint32_t i = 0; i < m_module.objectClassCount(); ++i) {
            const ObjectClassSpec& theirs = m_module.objectClass(static_cast<ObjectClassHandle>(i));
            const std::string module = origin(theirs.module);
            std::optional<ObjectClassHandle> ours = m_into.findObjectClass(theirs.fullName);
            if (!ours) {
                std::optional<ObjectClassHandle> parent;
                if (theirs.parent) {
                    parent = m_into.findObjectClass(m_module.objectClass(*theirs.parent).fullName);
                }
                ours = m_into.addObjectClass(parent, theirs.name);
                m_into.setModule(*ours, module);
                addAttributes(*ours, theirs, module);
            } else if (theirs.declared.empty()) {
                // Restated by name only.
            } else if (m_into.objectClass(*ours).declared.empty()) {
                addAttributes(*ours, theirs, module);
                m_into.setModule(*ours, module);
            } else {
                compareAttributes(*ours, theirs, module);
            }
        }
    }

    void addAttributes(ObjectClassHandle ours, const ObjectClassSpec& theirs,
                       const std::string& module) {
        for (AttributeHandle handle : theirs.declared) {
            const AttributeSpec& attribute = m_module.attribute(handle);
            const std::string where = clash(ours, attribute.name);
            if (!where.empty()) {
                inconsistent("attribute " + attribute.name + " of object class " +
                             m_into.objectClass(ours).fullName + " in " + quoted(module) +
                             " is declared already in " + where);
            }
            m_into.addAttribute(ours, attribute);
        }
    }

    void compareAttributes(ObjectClassHandle ours, const ObjectClassSpec& theirs,
                           const std::string& module) {
        const ObjectClassSpec& cls = m_into.objectClass(ours);
        const bool root = !cls.parent;
        std::vector<std::pair<AttributeHandle, const AttributeSpec*>> pairs;
        for (AttributeHandle handle : theirs.declared) {
            const AttributeSpec& attribute = m_module.attribute(handle);
            const auto mine = std::find_if(
                cls.declared.begin(), cls.declared.end(),
                [&](AttributeHandle a) { return m_into.attribute(a).name == attribute.name; });
            if (mine == cls.declared.end()) {
                differs("object", cls.fullName, cls.module, module,
                        quoted(module) + " adds attribute " + attribute.name);
            }
            const AttributeSpec& established = m_into.attribute(*mine);
            if (!root) {
                const std::string difference = memberDifference(
                    "attribute " + attribute.name, established, attribute, cls.module, module);
                if (!difference.empty())
                    differs("object", cls.fullName, cls.module, module, difference);
            }
            pairs.emplace_back(*mine, &attribute);
        }
        for (AttributeHandle a : cls.declared) {
            if (std::none_of(pairs.begin(), pairs.end(),
                             [&](const auto& p) { return p.first == a; })) {
                differs("object", cls.fullName, cls.module, module,
                        quoted(module) + " leaves out attribute " + m_into.attribute(a).name);
            }
        }
        for (const auto& [mine, attribute] : pairs) m_into.fillIn(mine, *attribute);
    }

    static std::string memberDifference(const std::string& member, const AttributeSpec& ours,
                                        const AttributeSpec& theirs, const std::string& ourModule,
                                        const std::string& theirModule) {
        if (!ours.dataType.empty() && !theirs.dataType.empty() &&
            ours.dataType != theirs.dataType) {
            return member + " has data type " + ours.dataType + " in " + quoted(ourModule) +
                   " and " + theirs.dataType + " in " + quoted(theirModule);
        }
        if (ours.transportDeclared && theirs.transportDeclared &&
            ours.transport != theirs.transport) {
            return member + " has transportation " + transportName(ours.transport) + " in " +
                   quoted(ourModule) + " and " + transportName(theirs.transport) + " in " +
                   quoted(theirModule);
        }
        if (ours.orderDeclared && theirs.orderDeclared && ours.order != theirs.order) {
            return member + " has order " + orderName(ours.order) + " in " + quoted(ourModule) +
                   " and " + orderName(theirs.order) + " in " + quoted(theirModule);
        }
        return {};
    }

    // --- Interaction classes ------------------------------------------------------------

    void interactionClasses() {
        for (std::uint32_t i = 0; i < m_module.interactionClassCount(); ++i) {
            const InteractionClassSpec& theirs =
                m_module.interactionClass(static_cast<InteractionClassHandle>(i));
            const std::string module = origin(theirs.module);
            std::optional<InteractionClassHandle> ours =
                m_into.findInteractionClass(theirs.fullName);
            if (!ours) {
                std::optional<InteractionClassHandle> parent;
                if (theirs.parent) {
                    parent = m_into.findInteractionClass(
                        m_module.interactionClass(*theirs.parent).fullName);
                }
                InteractionClassSpec spec = theirs;
                spec.module = module;
                ours = m_into.addInteractionClass(parent, spec);
                addParameters(*ours, theirs, module);
            } else if (!theirs.scaffolding) {
                mergeInteractionClass(*ours, theirs, module);
            }
        }
    }

    void mergeInteractionClass(InteractionClassHandle ours, const InteractionClassSpec& theirs,
                               const std::string& module) {
        const InteractionClassSpec& cls = m_into.interactionClass(ours);
        const std::string established = cls.module;
        const bool hadParameters = !cls.declared.empty();
        if (cls.parent) {
            if (cls.transportDeclared && theirs.transportDeclared &&
                cls.transport != theirs.transport) {
                differs("interaction", cls.fullName, established, module,
                        "transportation " + transportName(cls.transport) + " in " +
                            quoted(established) + " and " + transportName(theirs.transport) +
                            " in " + quoted(module));
            }
            if (cls.orderDeclared && theirs.orderDeclared && cls.order != theirs.order) {
                differs("interaction", cls.fullName, established, module,
                        "order " + orderName(cls.order) + " in " + quoted(established) + " and " +
                            orderName(theirs.order) + " in " + quoted(module));
            }
        }
        const bool wasScaffolding = cls.scaffolding;
        if (!theirs.declared.empty()) {
            if (hadParameters) {
                compareParameters(ours, theirs, module);
            } else {
                addParameters(ours, theirs, module);
            }
        }
        m_into.fillIn(ours, theirs);
        // The module that gives a class its definition becomes the class's module.
        if (wasScaffolding || (!hadParameters && !theirs.declared.empty())) {
            m_into.setModule(ours, module, false);
        }
    }

    void addParameters(InteractionClassHandle ours, const InteractionClassSpec& theirs,
                       const std::string& module) {
        for (ParameterHandle handle : theirs.declared) {
            const ParameterSpec& parameter = m_module.parameter(handle);
            const std::string where = clash(ours, parameter.name);
            if (!where.empty()) {
                inconsistent("parameter " + parameter.name + " of interaction class " +
                             m_into.interactionClass(ours).fullName + " in " + quoted(module) +
                             " is declared already in " + where);
            }
            m_into.addParameter(ours, parameter);
        }
    }

    void compareParameters(InteractionClassHandle ours, const InteractionClassSpec& theirs,
                           const std::string& module) {
        const InteractionClassSpec& cls = m_into.interactionClass(ours);
        const bool root = !cls.parent;
        std::vector<std::pair<ParameterHandle, const ParameterSpec*>> pairs;
        for (ParameterHandle handle : theirs.declared) {
            const ParameterSpec& parameter = m_module.parameter(handle);
            const auto mine = std::find_if(
                cls.declared.begin(), cls.declared.end(),
                [&](ParameterHandle p) { return m_into.parameter(p).name == parameter.name; });
            if (mine == cls.declared.end()) {
                differs("interaction", cls.fullName, cls.module, module,
                        quoted(module) + " adds parameter " + parameter.name);
            }
            const ParameterSpec& established = m_into.parameter(*mine);
            if (!root && !established.dataType.empty() && !parameter.dataType.empty() &&
                established.dataType != parameter.dataType) {
                differs("interaction", cls.fullName, cls.module, module,
                        "parameter " + parameter.name + " has data type " + established.dataType +
                            " in " + quoted(cls.module) + " and " + parameter.dataType + " in " +
                            quoted(module));
            }
            pairs.emplace_back(*mine, &parameter);
        }
        for (ParameterHandle p : cls.declared) {
            if (std::none_of(pairs.begin(), pairs.end(),
                             [&](const auto& x) { return x.first == p; })) {
                differs("interaction", cls.fullName, cls.module, module,
                        quoted(module) + " leaves out parameter " + m_into.parameter(p).name);
            }
        }
        for (const auto& [mine, parameter] : pairs) m_into.fillIn(mine, *parameter);
    }

    FederationDescription& m_into;
    const FederationDescription& m_module;
};

void nameModule(FederationDescription& description, const std::string& name) {
    description.modules = {name};
    for (std::uint32_t i = 0; i < description.objectClassCount(); ++i) {
        description.setModule(static_cast<ObjectClassHandle>(i), name);
    }
    for (std::uint32_t i = 0; i < description.interactionClassCount(); ++i) {
        const auto cls = static_cast<InteractionClassHandle>(i);
        description.setModule(cls, name, description.interactionClass(cls).scaffolding);
    }
}

}  // namespace

ModuleFormat moduleFormat(std::string_view text) {
    using namespace std::string_view_literals;
    // A UTF-16 or UTF-32 byte order mark: a FED file is never written so.
    for (const std::string_view mark : {"\xFE\xFF"sv, "\xFF\xFE"sv, "\0\0\xFE\xFF"sv}) {
        if (text.substr(0, mark.size()) == mark) return ModuleFormat::Xml;
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF"sv) text.remove_prefix(3);
    const std::size_t first = text.find_first_not_of(" \t\r\n\f\v");
    if (first != std::string_view::npos && text[first] == '<') return ModuleFormat::Xml;
    if (text.substr(0, 2) == "\0<"sv) return ModuleFormat::Xml;
    return ModuleFormat::Fed;
}

FederationDescription parseModule(std::string_view text, const std::string& name) {
    if (moduleFormat(text) == ModuleFormat::Xml) return parseFomModule(text, name);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    try {
        FederationDescription description = parseFed(text);
        nameModule(description, name);
        return description;
    } catch (const FedError& e) {
        throw e.withPath(name);
    }
}

FederationDescription readModuleFile(const std::string& path) {
    return parseModule(readTextFile(path, fed::kMaxTextSize, "module"), path);
}

FederationDescription standardMim() {
    static const FederationDescription mim = [] {
        QFile file(QStringLiteral(":/tandrel/hla/HLAstandardMIM.xml"));
        if (!file.open(QIODevice::ReadOnly)) {
            throw FedError(0, 0, "is not built into this program", kStandardMimModule);
        }
        const QByteArray bytes = file.readAll();
        return parseFomModule(
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
            kStandardMimModule);
    }();
    return mim;
}

void mergeModule(FederationDescription& into, const FederationDescription& module) {
    FederationDescription merged = into;
    Merger(merged, module).run();
    into = std::move(merged);
}

void mergeModules(FederationDescription& into, const std::vector<FederationDescription>& modules) {
    FederationDescription merged = into;
    for (const FederationDescription& module : modules) Merger(merged, module).run();
    checkDataTypeReferences(merged);
    into = std::move(merged);
}

void checkDataTypeReferences(const FederationDescription& description) {
    const auto check = [&](const std::string& type, const std::string& referrer,
                           const std::string& module) {
        if (type.empty() || description.dataTypes.find(type)) return;
        inconsistent("data type " + type + " is not defined by any module; " + referrer + " (" +
                     (module.empty() ? std::string(kUnnamedModule) : describeModule(module)) +
                     ") refers to it");
    };
    for (std::uint32_t i = 0; i < description.objectClassCount(); ++i) {
        const auto& cls = description.objectClass(static_cast<ObjectClassHandle>(i));
        for (AttributeHandle a : cls.declared) {
            const auto& attribute = description.attribute(a);
            check(attribute.dataType,
                  "attribute " + attribute.name + " of object class " + cls.fullName, cls.module);
        }
    }
    for (std::uint32_t i = 0; i < description.interactionClassCount(); ++i) {
        const auto& cls = description.interactionClass(static_cast<InteractionClassHandle>(i));
        for (ParameterHandle p : cls.declared) {
            const auto& parameter = description.parameter(p);
            check(parameter.dataType,
                  "parameter " + parameter.name + " of interaction class " + cls.fullName,
                  cls.module);
        }
    }
    for (const DataType* type : description.dataTypes.all()) {
        const std::string self = "data type " + type->name;
        switch (type->kind) {
            case DataType::Kind::Basic:
                break;
            case DataType::Kind::Simple:
            case DataType::Kind::Enumerated:
                check(type->representation, self, type->module);
                break;
            case DataType::Kind::Array:
                check(type->elementType, self, type->module);
                break;
            case DataType::Kind::FixedRecord:
                for (const DataType::Field& field : type->fields) {
                    check(field.type, "field " + field.name + " of " + self, type->module);
                }
                break;
            case DataType::Kind::VariantRecord:
                check(type->discriminantType, self, type->module);
                for (const DataType::Alternative& alternative : type->alternatives) {
                    check(alternative.type, "alternative " + alternative.name + " of " + self,
                          type->module);
                }
                break;
        }
    }
}

FederationDescription readFederationModules(const std::vector<std::string>& paths) {
    if (paths.empty()) throw FedError(0, 0, "no FOM module or FED file was given");
    std::vector<FederationDescription> modules;
    bool xml = false;
    for (const std::string& path : paths) {
        const std::string text = readTextFile(path, fed::kMaxTextSize, "module");
        xml = xml || moduleFormat(text) == ModuleFormat::Xml;
        modules.push_back(parseModule(text, path));
    }
    FederationDescription description = xml ? standardMim() : FederationDescription();
    mergeModules(description, modules);
    return description;
}

}  // namespace hla
