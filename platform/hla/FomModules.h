#pragma once

// Federation descriptions made of several modules, as IEEE 1516-2010 makes them: each module
// read by its content (an XML FOM module, or a FED file as one module without data types),
// the standard MOM and Initialization Module (MIM) first whenever an XML module is among
// them, then the modules in the order given.
//
// Merging only appends to the description merged into (handles never change), so a
// federation execution can merge a joining federate's modules into its standing description:
//  - A class or data type stated by two modules must be stated alike: a class by its full
//    name (so its parent path), its members' names, and where both state them its members'
//    data types, transportations and orders and an interaction class's transportation and
//    order (not notes, semantics, sharing, dimensions or update rates, which are not kept).
//    A member or class that leaves one of these out matches any, and takes the value of the
//    module that states it; so a FED file's members, without data types, match an XML
//    module's by name, transportation and order.
//  - A class restated without members (scaffolding, to place subclasses under) matches the
//    class whatever its members; a module may give members to a class that earlier modules
//    stated without any, but not add members to, or leave members out of, a class another
//    module defined with members.
//  - The roots are the MIM's: a module's ObjectRoot and InteractionRoot are compared by their
//    members' names only (FED files and IEEE 1516-2000 documents state them with all sorts of
//    transportations and orders).
// A conflict throws Error (InconsistentFdd) naming both modules and the class or data type;
// a module that cannot be read throws FedError naming it, with the line and column.

#include "platform/hla/FederationDescription.h"

#include <string>
#include <string_view>
#include <vector>

namespace hla {

// The name the MIM goes by in FederationDescription::modules and in conflicts.
inline constexpr const char* kStandardMimModule = "HLAstandardMIM.xml";

enum class ModuleFormat { Fed, Xml };

// XML when the text starts with "<" after an optional byte order mark and white space.
ModuleFormat moduleFormat(std::string_view text);

// One module read by its content; name names it (in FederationDescription::modules, as each
// class's and data type's module, and as the path of a FedError).
FederationDescription parseModule(std::string_view text, const std::string& name);
// A file read by its content, named by its path.
FederationDescription readModuleFile(const std::string& path);

// IEEE 1516-2010's standard MOM and Initialization Module as Tandrel writes it, built in.
FederationDescription standardMim();
// The description with the standard MIM's classes added after its own, which keep their
// handles and definitions, unless it has the management objects already: so a federation
// made from a FED file has them too. One whose classes clash with the MIM's stays as it is.
FederationDescription withStandardMim(FederationDescription description);

// Merges one module into a description, appending only. Throws Error (InconsistentFdd) and
// leaves into unchanged when the module conflicts with it. Data type references are not
// checked: a later module may define a type an earlier one refers to.
void mergeModule(FederationDescription& into, const FederationDescription& module);

// Merges modules in order, then checks every data type reference of the result; into is
// changed only when all of it succeeds.
void mergeModules(FederationDescription& into, const std::vector<FederationDescription>& modules);

// Throws Error (InconsistentFdd) for the first data type referred to by an attribute, a
// parameter or another data type that the description does not define, naming the referrer
// and its module.
void checkDataTypeReferences(const FederationDescription& description);

// Reads the files by their content and merges them, the MIM first when one of them is XML.
// The federation name is the first FED file's (empty for XML modules only).
FederationDescription readFederationModules(const std::vector<std::string>& paths);

}  // namespace hla
