#include "platform/provider/FomShape.h"

#include "platform/hla/DataLayout.h"

namespace provider {

FomShape fomShape(const hla::DataTypes& types, std::string_view name) {
    const hla::DataLayout layout(types);
    FomShape shape;
    shape.type = &layout.type(name);
    switch (shape.type->kind) {
        case hla::DataType::Kind::Basic:
        case hla::DataType::Kind::Simple:
            shape.basic = &layout.basic(name);
            if (hla::isCharacterType(name)) {
                shape.kind = FomShape::Kind::Character;
                shape.ascii = name == hla::kAsciiChar;
            } else {
                shape.kind = shape.basic->number == hla::DataType::Number::Float
                                 ? FomShape::Kind::Real
                                 : FomShape::Kind::Integer;
            }
            break;
        case hla::DataType::Kind::Enumerated:
            shape.basic = &layout.basic(name);
            shape.kind =
                name == hla::kBoolean ? FomShape::Kind::Boolean : FomShape::Kind::Enumerated;
            break;
        case hla::DataType::Kind::Array:
            if (hla::isCharacterArray(*shape.type)) {
                layout.basic(shape.type->elementType);
                shape.kind = FomShape::Kind::Text;
                shape.ascii = shape.type->elementType == hla::kAsciiChar;
            }
            break;
        case hla::DataType::Kind::FixedRecord:
        case hla::DataType::Kind::VariantRecord:
            break;
    }
    return shape;
}

}  // namespace provider
