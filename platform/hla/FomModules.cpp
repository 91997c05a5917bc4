#include "platform/hla/FomModules.h"

#include "platform/hla/DataTypeMerge.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FedReader.h"
#include "platform/hla/FedSyntax.h"
#include "platform/hla/InteractionClassMerge.h"
#include "platform/hla/MomEncoding.h"
#include "platform/hla/ObjectClassMerge.h"
#include "platform/hla/TextFile.h"
#include "platform/hla/XmlFomReader.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <utility>

namespace hla {

namespace {

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

// Appends what module adds to into; throws Error (InconsistentFdd) at the first conflict,
// into then holding what was merged before it (callers merge into a copy).
void mergeOne(FederationDescription& into, const FederationDescription& module) {
    merge::DataTypeMerge(into, module).run();
    merge::ObjectClassMerge(into, module).run();
    merge::InteractionClassMerge(into, module).run();
    for (const std::string& space : module.routingSpaces) {
        auto& spaces = into.routingSpaces;
        if (std::find(spaces.begin(), spaces.end(), space) == spaces.end()) {
            spaces.push_back(space);
        }
    }
    if (into.federationName.empty()) into.federationName = module.federationName;
    if (into.version.empty()) into.version = module.version;
    for (const std::string& name : module.modules) {
        auto& modules = into.modules;
        if (std::find(modules.begin(), modules.end(), name) == modules.end()) {
            modules.push_back(name);
        }
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

FederationDescription withStandardMim(FederationDescription description) {
    if (description.findObjectClass(mom::kFederateClass)) return description;
    try {
        FederationDescription merged = description;
        mergeModules(merged, {standardMim()});
        return merged;
    } catch (const std::exception&) {
        return description;
    }
}

void mergeModule(FederationDescription& into, const FederationDescription& module) {
    FederationDescription merged = into;
    mergeOne(merged, module);
    into = std::move(merged);
}

void mergeModules(FederationDescription& into, const std::vector<FederationDescription>& modules) {
    FederationDescription merged = into;
    for (const FederationDescription& module : modules) mergeOne(merged, module);
    checkDataTypeReferences(merged);
    into = std::move(merged);
}

void checkDataTypeReferences(const FederationDescription& description) {
    merge::checkReferences(description);
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
