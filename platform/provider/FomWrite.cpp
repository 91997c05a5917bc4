#include "platform/provider/FomWrite.h"

#include "cao/Error.h"
#include "cao/text/ChangeType.h"
#include "cao/text/TextToVariant.h"
#include "cao/text/VariantToText.h"
#include "platform/hla/DataCodec.h"
#include "platform/hla/DataLayout.h"
#include "platform/provider/FomNumber.h"
#include "platform/provider/FomShape.h"
#include "platform/provider/Text.h"

#include <limits>

namespace provider {

namespace {

constexpr char16_t kLastAscii = 0x7F;
constexpr int kSingleRealOctets = 4;
constexpr std::int64_t kLastUnit = std::numeric_limits<char16_t>::max();

hla::DataValue integer(const FomShape& shape, const cao::Variant& value, const QLocale& locale) {
    const ExactInteger number = integerFor(value, *shape.basic, locale);
    if (!number.fits(*shape.basic)) throw cao::Error::overflow();
    return number.toData(*shape.basic);
}

hla::DataValue boolean(const FomShape& shape, const cao::Variant& value, const QLocale& locale) {
    bool truth = false;
    if (value.type() == cao::VT_BSTR) {
        const QString text = value.string().trimmed();
        if (const auto* named = hla::enumeratorNamed(*shape.type, text.toStdString())) {
            truth = named->value != 0;
        } else {
            truth = cao::textToVariant(text, cao::VT_BOOL, locale).boolValue();
        }
    } else {
        truth = cao::changeType(value, cao::VT_BOOL, locale).boolValue();
    }
    const auto* enumerator = hla::enumeratorWithValue(*shape.type, truth ? 1 : 0);
    if (!enumerator) throw cao::Error::typeMismatch();
    return hla::DataValue::ofEnumerator(enumerator->name, enumerator->value);
}

hla::DataValue character(const FomShape& shape, const cao::Variant& value) {
    char16_t unit = 0;
    if (value.type() == cao::VT_BSTR) {
        if (value.string().size() != 1) throw cao::Error::typeMismatch();
        unit = value.string().front().unicode();
        if (shape.ascii && unit > kLastAscii) throw cao::Error::typeMismatch();
    } else {
        const ExactInteger code = integerOfNumber(value);
        if (!code.within(0, shape.ascii ? kLastAscii : kLastUnit)) throw cao::Error::overflow();
        unit = static_cast<char16_t>(code.magnitude);
    }
    return hla::DataValue::ofText(std::u16string(1, unit));
}

hla::DataValue characters(const FomShape& shape, const cao::Variant& value, const QLocale& locale) {
    QString text = cao::variantToText(value, locale);
    if (shape.ascii) {
        for (const QChar c : text) {
            if (c.unicode() > kLastAscii) throw cao::Error::typeMismatch();
        }
    }
    if (!shape.type->variableEncoding) {
        // A fixed array of characters holds a shorter text followed by NULs.
        const auto length = static_cast<qsizetype>(shape.type->cardinality.value_or(0));
        if (text.size() > length) throw cao::Error::overflow();
        text.resize(length, QChar(0));
    }
    return hla::DataValue::ofText(text.toStdU16String());
}

const hla::DataType::Enumerator* enumeratorNamedLike(const hla::DataType& type,
                                                     const QString& name) {
    const hla::DataType::Enumerator* found = nullptr;
    for (const hla::DataType::Enumerator& enumerator : type.enumerators) {
        const QString candidate = text(enumerator.name);
        if (candidate == name) return &enumerator;
        if (candidate.compare(name, Qt::CaseInsensitive) == 0) {
            if (found) return nullptr;  // two differ only in letter case: neither is meant
            found = &enumerator;
        }
    }
    return found;
}

hla::DataValue enumerated(const FomShape& shape, const cao::Variant& value, const QLocale& locale) {
    const hla::DataType& type = *shape.type;
    ExactInteger number;
    if (value.type() == cao::VT_BSTR) {
        const QString name = value.string().trimmed();
        if (const auto* named = enumeratorNamedLike(type, name)) {
            return hla::DataValue::ofEnumerator(named->name, named->value);
        }
        try {
            number = integerFor(value, *shape.basic, locale);
        } catch (const cao::Error&) {
            throw cao::Error::typeMismatch();  // neither a name nor a number of it
        }
    } else {
        number = integerOfNumber(value);
    }
    const std::int64_t min = std::numeric_limits<std::int64_t>::min();
    const std::int64_t max = std::numeric_limits<std::int64_t>::max();
    const auto* found =
        number.within(min, max) ? hla::enumeratorWithValue(type, number.toInt64()) : nullptr;
    if (!found) throw cao::Error::typeMismatch();
    return hla::DataValue::ofEnumerator(found->name, found->value);
}

}  // namespace

void checkFomWritable(const hla::DataTypes& types, std::string_view type, const QString& variable) {
    FomShape shape;
    try {
        shape = fomShape(types, type);
    } catch (const hla::DataError& e) {
        throw invalid(QStringLiteral("Variable \"%1\" cannot be written: %2")
                          .arg(variable, QString::fromStdString(e.what())));
    }
    if (shape.kind != FomShape::Kind::Composite) return;
    throw invalid(QStringLiteral("Variable \"%1\" has the data type \"%2\", %3, which cannot be "
                                 "written")
                      .arg(variable, text(std::string(type)), text(hla::kindText(*shape.type))));
}

hla::DataValue fomValue(const hla::DataTypes& types, std::string_view type,
                        const cao::Variant& value, const QLocale& locale) {
    FomShape shape;
    try {
        shape = fomShape(types, type);
    } catch (const hla::DataError&) {
        throw cao::Error::typeMismatch();  // checkFomWritable names the cause
    }
    switch (shape.kind) {
        case FomShape::Kind::Integer:
            return integer(shape, value, locale);
        case FomShape::Kind::Real: {
            const double real = realFor(value, shape.basic->size, locale);
            if (shape.basic->size != kSingleRealOctets) return hla::DataValue::ofReal(real);
            return hla::DataValue::ofReal(static_cast<float>(real), true);
        }
        case FomShape::Kind::Boolean:
            return boolean(shape, value, locale);
        case FomShape::Kind::Character:
            return character(shape, value);
        case FomShape::Kind::Text:
            return characters(shape, value, locale);
        case FomShape::Kind::Enumerated:
            return enumerated(shape, value, locale);
        case FomShape::Kind::Composite:
            break;
    }
    throw cao::Error::typeMismatch();
}

hla::Bytes fomBytes(const hla::DataTypes& types, std::string_view type, const cao::Variant& value,
                    const QLocale& locale) {
    return hla::encode(types, type, fomValue(types, type, value, locale));
}

}  // namespace provider
