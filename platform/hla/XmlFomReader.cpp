#include "platform/hla/XmlFomReader.h"

#include "platform/hla/FedError.h"
#include "platform/hla/FedSyntax.h"
#include "platform/hla/TextFile.h"
#include "platform/hla/XmlFomClasses.h"
#include "platform/hla/XmlFomDataTypes.h"
#include "platform/hla/XmlFomDocument.h"

#include <utility>

namespace hla {

FederationDescription parseFomModule(std::string_view text, const std::string& module) {
    if (text.size() > fed::kMaxTextSize) {
        throw FedError(0, 0, "the module is larger than 16 MiB", module);
    }
    // The whole document is read before any of it is given a meaning.
    const xmlfom::Sections sections = xmlfom::readDocument(text, module);
    FederationDescription description;
    description.modules.push_back(module);
    for (const xmlfom::Leaf& transportation : sections.transportations) {
        xmlfom::nameOf(module, transportation.values, transportation.pos, "a transportation");
    }
    for (const xmlfom::XmlType& type : sections.types) {
        DataType converted = xmlfom::dataTypeOf(type, module);
        xmlfom::guarded(module, type.pos, [&] { description.dataTypes.add(std::move(converted)); });
    }
    const xmlfom::XmlFomClasses classes(module, sections.transportations);
    classes.addObjectClasses(description, sections.objects);
    classes.addInteractionClasses(description, sections.interactions);
    return description;
}

FederationDescription readFomModuleFile(const std::string& path) {
    return parseFomModule(readTextFile(path, fed::kMaxTextSize, "module"), path);
}

}  // namespace hla
