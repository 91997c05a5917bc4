#pragma once

// Reads IEEE 1516-2010 FOM modules in the OMT's data interchange format (XML):
//   <objectModel xmlns="http://standards.ieee.org/IEEE1516-2010">
//     <objects><objectClass><name>HLAobjectRoot</name>
//       <objectClass><name>Car</name>
//         <attribute><name>Speed</name><dataType>HLAfloat64BE</dataType>
//           <transportation>HLAbestEffort</transportation><order>Receive</order></attribute>
//     ...</objects>
//     <interactions>...</interactions> <transportations>...</transportations>
//     <dataTypes>...</dataTypes>
//   </objectModel>
// and, as other tools still write them, IEEE 1516-2000 documents whose values are XML
// attributes (<objectClass name="Car"><attribute name="Speed" order="Receive"/>), in the
// 2010 namespace or none. Class names are kept in the HLA 1.3 form (HLAobjectRoot becomes
// ObjectRoot, HLAinteractionRoot InteractionRoot, HLAprivilegeToDeleteObject
// privilegeToDelete). What the description does not keep (dimensions, time, tags,
// synchronizations, switches, update rates, notes, semantics, sharing) is passed over.
//
// A module leaves out what it does not state: a member or interaction class without a
// transportation or order keeps the defaults (HLAreliable, Receive) with its *Declared flag
// false, an interaction class given by name only is scaffolding, and a data type referenced
// but not defined here is left for another module to define (FomModules.h checks the merged
// description). Top-level classes other than the roots are placed beneath them, as OpenRTI
// reads them.
//
// Refused, with the line and column: text that is not well-formed XML or not UTF-8 / UTF-16 /
// UTF-32 / ISO-8859-1; a document type declaration (so no entity is ever expanded) and any
// entity reference beyond the five predefined ones; elements nested deeper than 128 levels
// or classes deeper than 64; a class, member or data type without a name; a class or member
// name with "." in it; the same class or member twice; an unknown order or transportation; a
// data type that differs from the predefined one of its name. A data type whose values
// cannot be encoded as written (a size that is not whole octets, an enumerator without an
// integer value, a missing representation…) is kept with DataType::problem saying why.

#include "platform/hla/FederationDescription.h"

#include <string>
#include <string_view>

namespace hla {

// Reads one module's text; module names it in the description (FederationDescription::
// modules and each class's and data type's module) and as the path of every FedError.
// Throws FedError with the line and column of the first problem (line 0 for a text larger
// than 16 MiB).
FederationDescription parseFomModule(std::string_view text, const std::string& module);

// Reads a file; the module is named by its path.
FederationDescription readFomModuleFile(const std::string& path);

}  // namespace hla
