#include "platform/hla/ModuleWriter.h"

#include "platform/hla/WriterRules.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QXmlStreamWriter>

namespace hla {

namespace {

constexpr const char* kNamespace = "http://standards.ieee.org/IEEE1516-2010";
constexpr const char* kOpaqueData = "HLAopaqueData";
constexpr const char* kReservedPrefix = "HLA";
constexpr const char* kNotApplicable = "NA";
constexpr int kIndent = 2;
constexpr int kBitsPerOctet = 8;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

const char* word(Transport transport) {
    return transport == Transport::Reliable ? "HLAreliable" : "HLAbestEffort";
}

const char* word(Order order) {
    return order == Order::Receive ? "Receive" : "TimeStamp";
}

class Writer {
public:
    Writer(const FederationDescription& description, Untyped untyped)
        : m_description(description),
          m_untyped(untyped == Untyped::NotApplicable ? kNotApplicable : kOpaqueData),
          m_xml(&m_text) {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(kIndent);
    }

    std::string write() {
        m_xml.writeStartDocument();
        m_xml.writeDefaultNamespace(QLatin1String(kNamespace));
        m_xml.writeStartElement(QLatin1String("objectModel"));
        identification();
        m_xml.writeStartElement(QLatin1String("objects"));
        objectRoot();
        m_xml.writeEndElement();
        m_xml.writeStartElement(QLatin1String("interactions"));
        interactionRoot();
        m_xml.writeEndElement();
        dataTypes();
        m_xml.writeEndElement();
        m_xml.writeEndDocument();
        return m_text.toStdString();
    }

private:
    void text(const char* element, const QString& value) {
        m_xml.writeTextElement(QLatin1String(element), value);
    }
    void text(const char* element, const char* value) { text(element, QLatin1String(value)); }
    void text(const char* element, const std::string& value) { text(element, q(value)); }

    void identification() {
        m_xml.writeStartElement(QLatin1String("modelIdentification"));
        text("name", m_description.federationName.empty() ? std::string("Federation")
                                                          : m_description.federationName);
        text("type", "FOM");
        text("version", "1.0");
        text("modificationDate", QDate::currentDate().toString(Qt::ISODate));
        text("securityClassification", "Unclassified");
        text("description",
             "Written from a federation description for an RTI of the IEEE "
             "1516-2010 interface");
        m_xml.writeEndElement();
    }

    // Other classes without a parent are placed beneath the root, as RTIs read them.
    void objectRoot() {
        m_xml.writeStartElement(QLatin1String("objectClass"));
        text("name", kObjectRoot2010);
        text("sharing", "Neither");
        for (std::uint32_t i = 0; i < m_description.objectClassCount(); ++i) {
            const auto handle = static_cast<ObjectClassHandle>(i);
            const ObjectClassSpec& spec = m_description.objectClass(handle);
            if (spec.parent) continue;
            if (spec.name == kObjectRoot) {
                objectMembers(spec, true);
            } else {
                objectClass(handle);
            }
        }
        m_xml.writeEndElement();
    }

    void objectClass(ObjectClassHandle handle) {
        const ObjectClassSpec& spec = m_description.objectClass(handle);
        if (writing::isManagerClass(spec.fullName)) return;
        m_xml.writeStartElement(QLatin1String("objectClass"));
        text("name", spec.name);
        text("sharing", "PublishSubscribe");
        objectMembers(spec, false);
        m_xml.writeEndElement();
    }

    void objectMembers(const ObjectClassSpec& spec, bool root) {
        for (AttributeHandle a : spec.declared) {
            const AttributeSpec& attribute = m_description.attribute(a);
            if (root && attribute.name == kPrivilegeToDelete) continue;  // the MIM brings it
            m_xml.writeStartElement(QLatin1String("attribute"));
            text("name", name2010(attribute.name));
            text("dataType", attribute.dataType.empty() ? m_untyped : attribute.dataType);
            text("updateType", "Conditional");
            text("updateCondition", kNotApplicable);
            text("ownership", "DivestAcquire");
            text("sharing", "PublishSubscribe");
            text("transportation", word(attribute.transport));
            text("order", word(attribute.order));
            m_xml.writeEndElement();
        }
        for (ObjectClassHandle child : spec.children) objectClass(child);
    }

    void interactionRoot() {
        m_xml.writeStartElement(QLatin1String("interactionClass"));
        text("name", kInteractionRoot2010);
        text("sharing", "Neither");
        text("transportation", word(writing::kRootTransport));
        text("order", word(writing::kRootOrder));
        for (std::uint32_t i = 0; i < m_description.interactionClassCount(); ++i) {
            const auto handle = static_cast<InteractionClassHandle>(i);
            const InteractionClassSpec& spec = m_description.interactionClass(handle);
            if (spec.parent) continue;
            if (spec.name == kInteractionRoot) {
                interactionMembers(spec);
            } else {
                interactionClass(handle);
            }
        }
        m_xml.writeEndElement();
    }

    void interactionClass(InteractionClassHandle handle) {
        const InteractionClassSpec& spec = m_description.interactionClass(handle);
        if (writing::isManagerClass(spec.fullName)) return;
        m_xml.writeStartElement(QLatin1String("interactionClass"));
        text("name", spec.name);
        text("sharing", "PublishSubscribe");
        text("transportation", word(spec.transport));
        text("order", word(spec.order));
        interactionMembers(spec);
        m_xml.writeEndElement();
    }

    void interactionMembers(const InteractionClassSpec& spec) {
        for (ParameterHandle p : spec.declared) {
            const ParameterSpec& parameter = m_description.parameter(p);
            m_xml.writeStartElement(QLatin1String("parameter"));
            text("name", parameter.name);
            text("dataType", parameter.dataType.empty() ? m_untyped : parameter.dataType);
            m_xml.writeEndElement();
        }
        for (InteractionClassHandle child : spec.children) interactionClass(child);
    }

    void dataTypes();
    void dataType(const DataType& type);

    const FederationDescription& m_description;
    const char* m_untyped;
    QByteArray m_text;
    QXmlStreamWriter m_xml;
};

const char* interpretation(DataType::Number number) {
    switch (number) {
        case DataType::Number::SignedInteger:
            return "signed integer";
        case DataType::Number::UnsignedInteger:
            return "unsigned integer";
        case DataType::Number::Float:
            return "IEEE 754 floating point number";
    }
    return "";
}

// The OMT's sections, in the order its schema gives them, with the element of each entry.
struct Section {
    DataType::Kind kind;
    const char* section;
    const char* entry;
};
constexpr Section kSections[] = {
    {DataType::Kind::Basic, "basicDataRepresentations", "basicData"},
    {DataType::Kind::Simple, "simpleDataTypes", "simpleData"},
    {DataType::Kind::Enumerated, "enumeratedDataTypes", "enumeratedData"},
    {DataType::Kind::Array, "arrayDataTypes", "arrayData"},
    {DataType::Kind::FixedRecord, "fixedRecordDataTypes", "fixedRecordData"},
    {DataType::Kind::VariantRecord, "variantRecordDataTypes", "variantRecordData"},
};

void Writer::dataTypes() {
    std::vector<const DataType*> own;
    for (const DataType* type : m_description.dataTypes.all()) {
        if (type->name.rfind(kReservedPrefix, 0) != 0) own.push_back(type);
    }
    if (own.empty()) return;
    m_xml.writeStartElement(QLatin1String("dataTypes"));
    for (const Section& section : kSections) {
        bool open = false;
        for (const DataType* type : own) {
            if (type->kind != section.kind) continue;
            if (!open) m_xml.writeStartElement(QLatin1String(section.section));
            open = true;
            m_xml.writeStartElement(QLatin1String(section.entry));
            dataType(*type);
            m_xml.writeEndElement();
        }
        if (open) m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
}

void Writer::dataType(const DataType& type) {
    text("name", type.name);
    switch (type.kind) {
        case DataType::Kind::Basic:
            text("size", QString::number(type.size * kBitsPerOctet));
            text("interpretation", interpretation(type.number));
            text("endian", type.endian == Endian::Big ? "Big" : "Little");
            text("encoding", QStringLiteral("%1-bit %2")
                                 .arg(type.size * kBitsPerOctet)
                                 .arg(QLatin1String(interpretation(type.number))));
            break;
        case DataType::Kind::Simple:
            text("representation", type.representation);
            break;
        case DataType::Kind::Enumerated:
            text("representation", type.representation);
            for (const DataType::Enumerator& enumerator : type.enumerators) {
                m_xml.writeStartElement(QLatin1String("enumerator"));
                text("name", enumerator.name);
                text("value", QString::number(enumerator.value));
                m_xml.writeEndElement();
            }
            break;
        case DataType::Kind::Array:
            text("dataType", type.elementType);
            text("cardinality",
                 type.cardinality ? QString::number(*type.cardinality) : QStringLiteral("Dynamic"));
            text("encoding", type.variableEncoding ? "HLAvariableArray" : "HLAfixedArray");
            break;
        case DataType::Kind::FixedRecord:
            text("encoding", "HLAfixedRecord");
            for (const DataType::Field& field : type.fields) {
                m_xml.writeStartElement(QLatin1String("field"));
                text("name", field.name);
                text("dataType", field.type);
                m_xml.writeEndElement();
            }
            break;
        case DataType::Kind::VariantRecord:
            text("discriminant", type.discriminantName);
            text("dataType", type.discriminantType);
            for (const DataType::Alternative& alternative : type.alternatives) {
                m_xml.writeStartElement(QLatin1String("alternative"));
                QStringList enumerators;
                for (const std::string& e : alternative.enumerators) enumerators << q(e);
                text("enumerator", enumerators.join(QLatin1Char(',')));
                text("name", alternative.name.empty() ? kNotApplicable : alternative.name);
                text("dataType", alternative.type.empty() ? kNotApplicable : alternative.type);
                m_xml.writeEndElement();
            }
            text("encoding", "HLAvariantRecord");
            break;
    }
}

}  // namespace

std::string writeFomModule(const FederationDescription& description, Untyped untyped) {
    return Writer(description, untyped).write();
}

}  // namespace hla
