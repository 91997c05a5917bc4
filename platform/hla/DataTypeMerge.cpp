#include "platform/hla/DataTypeMerge.h"

#include <utility>

namespace hla::merge {

void DataTypeMerge::run() {
    for (const DataType* type : m_module.dataTypes.all()) {
        DataType copy = *type;
        copy.module = origin(copy.module);
        m_into.dataTypes.add(std::move(copy));  // throws InconsistentFdd for a clash
    }
}

void checkReferences(const FederationDescription& description) {
    const auto check = [&](const std::string& type, const std::string& referrer,
                           const std::string& module) {
        if (type.empty() || description.dataTypes.find(type)) return;
        inconsistent("data type " + type + " is not defined by any module; " + referrer + " (" +
                     quoted(module) + ") refers to it");
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

}  // namespace hla::merge
