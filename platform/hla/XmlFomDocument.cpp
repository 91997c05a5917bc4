#include "platform/hla/XmlFomDocument.h"

#include "platform/hla/FedSyntax.h"
#include "platform/hla/XmlFomEncoding.h"

#include <QString>
#include <QXmlStreamReader>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

namespace hla::xmlfom {

namespace {

constexpr const char* kNamespace2010 = "http://standards.ieee.org/IEEE1516-2010";
// HLA 4's OMT keeps the 2010 elements read here; what it adds is passed over like any element
// the reader does not know.
constexpr const char* kNamespace2025 = "http://standards.ieee.org/IEEE1516-2025";
// Deep enough for 64 class levels with their members, the sections around them and the
// elements of other namespaces a tool may hang on them.
constexpr int kMaxElementDepth = 128;
constexpr int kMaxClassDepth = fed::kMaxNesting;

std::vector<qsizetype> lineStarts(const QString& text) {
    std::vector<qsizetype> starts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) {
            starts.push_back(i + 1);
        }
    }
    return starts;
}

class DocumentReader {
public:
    // Throws FedError naming module when the octets are not text of an encoding read.
    DocumentReader(std::string_view bytes, std::string module);

    // Reads the whole document once; throws FedError naming the module at the first problem.
    Sections read();

private:
    Pos posAt(qsizetype offset) const;
    Pos tagStart() const;
    [[noreturn]] void fail(Pos pos, const std::string& message) const;

    QXmlStreamReader::TokenType next();
    bool ours() const;
    void skip();
    template <typename Child>
    Values element(Child child);
    Values leafValues();
    Leaf readLeaf();
    void textValue(Values& values, const std::string& name);

    void document();
    template <typename Read>
    void section(const char* item, Read read);
    XmlClass cls(bool object, int level);
    void dataTypes();

    std::string m_module;
    QString m_text;
    std::vector<qsizetype> m_lineStarts;
    QXmlStreamReader m_xml;
    int m_depth = 0;
    Sections m_sections;
};

DocumentReader::DocumentReader(std::string_view bytes, std::string module)
    : m_module(std::move(module)),
      m_text(decodeModule(bytes, m_module)),
      m_lineStarts(lineStarts(m_text)),
      m_xml(m_text) {}

Sections DocumentReader::read() {
    document();
    return std::move(m_sections);
}

// --- Positions ------------------------------------------------------------------------------

Pos DocumentReader::posAt(qsizetype offset) const {
    offset = std::clamp<qsizetype>(offset, 0, m_text.size());
    const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
    const auto line = static_cast<int>(next - m_lineStarts.begin());
    return {line, static_cast<int>(offset - *(next - 1)) + 1};
}

// Where the start tag the reader stands at begins: the last "<" before its end ("<" can
// stand in no attribute value).
Pos DocumentReader::tagStart() const {
    qsizetype at = m_xml.characterOffset() - 1;
    while (at > 0 && m_text[at] != u'<') --at;
    return posAt(at);
}

void DocumentReader::fail(Pos pos, const std::string& message) const {
    xmlfom::fail(m_module, pos, message);
}

// --- Tokens ---------------------------------------------------------------------------------

QXmlStreamReader::TokenType DocumentReader::next() {
    const auto token = m_xml.readNext();
    switch (token) {
        case QXmlStreamReader::Invalid:
            // Where the reader stopped: the last character it took.
            fail(posAt(m_xml.characterOffset() - 1),
                 "the module is not well-formed XML: " + m_xml.errorString().toStdString());
        case QXmlStreamReader::DTD:
            fail(posAt(m_text.lastIndexOf(u"<!DOCTYPE", m_xml.characterOffset())),
                 "the module has a document type declaration (<!DOCTYPE ...>); FOM modules "
                 "are read without one, so that no entity is ever expanded");
        case QXmlStreamReader::EntityReference:
            fail(posAt(m_xml.characterOffset() - m_xml.name().size() - 2),
                 "the entity reference &" + m_xml.name().toString().toStdString() +
                     "; is not allowed; only &amp; &lt; &gt; &quot; &apos; and character "
                     "references are");
        case QXmlStreamReader::StartElement:
            if (++m_depth > kMaxElementDepth) {
                fail(tagStart(), "elements are nested deeper than " +
                                     std::to_string(kMaxElementDepth) + " levels");
            }
            break;
        case QXmlStreamReader::EndElement:
            --m_depth;
            break;
        default:
            break;
    }
    return token;
}

// Whether an element is the OMT's: in the namespace of its 2010 or 2025 edition, or in none.
bool DocumentReader::ours() const {
    const auto uri = m_xml.namespaceUri();
    return uri.isEmpty() || uri == QLatin1String(kNamespace2010) ||
           uri == QLatin1String(kNamespace2025);
}

// Passes over the element the reader stands at, with everything in it.
void DocumentReader::skip() {
    for (int open = 1; open > 0;) {
        const auto token = next();
        if (token == QXmlStreamReader::StartElement) ++open;
        if (token == QXmlStreamReader::EndElement) --open;
    }
}

// Reads the element the reader stands at: child(name) reads a child it knows whole and
// returns true; every other child of ours with only text becomes a value, and the rest is
// passed over.
template <typename Child>
Values DocumentReader::element(Child child) {
    Values values;
    const Pos start = tagStart();
    for (const QXmlStreamAttribute& attribute : m_xml.attributes()) {
        if (!attribute.namespaceUri().isEmpty()) continue;  // xsi:schemaLocation and the like
        values.items.emplace_back(
            attribute.name().toString().toStdString(),
            Value{trimmed(attribute.value().toString().toStdString()), start});
    }
    while (true) {
        const auto token = next();
        if (token == QXmlStreamReader::EndElement) return values;
        if (token != QXmlStreamReader::StartElement) continue;  // text, comments, PIs
        if (!ours()) {
            skip();
            continue;
        }
        const std::string name = m_xml.name().toString().toStdString();
        if (child(name)) continue;
        textValue(values, name);
    }
}

Values DocumentReader::leafValues() {
    return element([](const std::string&) { return false; });
}

// A member, transportation, enumerator, field or alternative: an element of values only.
Leaf DocumentReader::readLeaf() {
    Leaf result;
    result.pos = tagStart();
    result.values = leafValues();
    return result;
}

void DocumentReader::textValue(Values& values, const std::string& name) {
    const Pos pos = tagStart();
    QString text;
    bool onlyText = true;
    while (true) {
        const auto token = next();
        if (token == QXmlStreamReader::EndElement) break;
        if (token == QXmlStreamReader::Characters) text += m_xml.text();
        if (token == QXmlStreamReader::StartElement) {
            onlyText = false;
            skip();
        }
    }
    if (onlyText) values.items.emplace_back(name, Value{trimmed(text.toStdString()), pos});
}

// --- Sections -------------------------------------------------------------------------------

void DocumentReader::document() {
    for (auto token = next(); token != QXmlStreamReader::StartElement; token = next()) {
        if (token == QXmlStreamReader::EndDocument) fail(posAt(0), "the module has no elements");
    }
    const Pos root = tagStart();
    if (m_xml.name() != QLatin1String("objectModel")) {
        fail(root, "the document is not an IEEE 1516 object model: its root element is <" +
                       m_xml.name().toString().toStdString() + ">, not <objectModel>");
    }
    if (!ours()) {
        fail(root, "the object model's namespace \"" +
                       m_xml.namespaceUri().toString().toStdString() +
                       "\" is neither IEEE 1516-2010's (" + kNamespace2010 +
                       ") nor IEEE 1516-2025's (" + kNamespace2025 + ")");
    }
    element([&](const std::string& name) {
        if (name == "objects") {
            section("objectClass", [&] { m_sections.objects.push_back(cls(true, 1)); });
        } else if (name == "interactions") {
            section("interactionClass", [&] { m_sections.interactions.push_back(cls(false, 1)); });
        } else if (name == "transportations") {
            section("transportation", [&] { m_sections.transportations.push_back(readLeaf()); });
        } else if (name == "dataTypes") {
            dataTypes();
        } else {
            return false;
        }
        return true;
    });
    while (next() != QXmlStreamReader::EndDocument) {
    }
}

template <typename Read>
void DocumentReader::section(const char* item, Read read) {
    element([&](const std::string& name) {
        if (name != item) return false;
        read();
        return true;
    });
}

XmlClass DocumentReader::cls(bool object, int level) {
    XmlClass result;
    result.pos = tagStart();
    if (level > kMaxClassDepth) {
        fail(result.pos, std::string(object ? "object" : "interaction") +
                             " classes are nested deeper than " + std::to_string(kMaxClassDepth) +
                             " levels");
    }
    const char* member = object ? "attribute" : "parameter";
    const char* subclass = object ? "objectClass" : "interactionClass";
    result.values = element([&](const std::string& name) {
        if (name == subclass) {
            result.children.push_back(cls(object, level + 1));
        } else if (name == member) {
            result.members.push_back(readLeaf());
        } else {
            return false;
        }
        return true;
    });
    return result;
}

void DocumentReader::dataTypes() {
    using Kind = DataType::Kind;
    struct Table {
        const char* table;
        const char* item;
        Kind kind;
        const char* entry;
    };
    static constexpr Table kTables[] = {
        {"basicDataRepresentations", "basicData", Kind::Basic, nullptr},
        {"simpleDataTypes", "simpleData", Kind::Simple, nullptr},
        {"enumeratedDataTypes", "enumeratedData", Kind::Enumerated, "enumerator"},
        {"arrayDataTypes", "arrayData", Kind::Array, nullptr},
        {"fixedRecordDataTypes", "fixedRecordData", Kind::FixedRecord, "field"},
        {"variantRecordDataTypes", "variantRecordData", Kind::VariantRecord, "alternative"},
    };
    element([&](const std::string& name) {
        const auto table = std::find_if(std::begin(kTables), std::end(kTables),
                                        [&](const Table& t) { return name == t.table; });
        if (table == std::end(kTables)) return false;
        section(table->item, [&] {
            XmlType type;
            type.kind = table->kind;
            type.pos = tagStart();
            type.values = element([&](const std::string& child) {
                if (!table->entry || child != table->entry) return false;
                type.items.push_back(readLeaf());
                return true;
            });
            m_sections.types.push_back(std::move(type));
        });
        return true;
    });
}

}  // namespace

Sections readDocument(std::string_view bytes, const std::string& module) {
    return DocumentReader(bytes, module).read();
}

}  // namespace hla::xmlfom
