#include "platform/hla/XmlFomReader.h"

#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FedSyntax.h"
#include "platform/hla/TextFile.h"

#include <QByteArrayView>
#include <QString>
#include <QStringConverter>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <vector>

namespace hla {

namespace {

constexpr const char* kNamespace2010 = "http://standards.ieee.org/IEEE1516-2010";
// Deep enough for 64 class levels with their members, the sections around them and the
// elements of other namespaces a tool may hang on them.
constexpr int kMaxElementDepth = 128;
constexpr int kMaxClassDepth = fed::kMaxNesting;
// The widest basic representation read: 1024 bits.
constexpr long kMaxBasicBits = 1024;

struct Pos {
    int line = 0;
    int column = 0;
};

struct Value {
    std::string text;
    Pos pos;
};

// An element's values: its XML attributes (1516-2000) and its children that hold only text
// (2010), by name, in document order.
struct Values {
    std::vector<std::pair<std::string, Value>> items;

    const Value* find(std::string_view name) const {
        for (const auto& [key, value] : items) {
            if (key == name) return &value;
        }
        return nullptr;
    }
    std::vector<const Value*> all(std::string_view name) const {
        std::vector<const Value*> found;
        for (const auto& [key, value] : items) {
            if (key == name) found.push_back(&value);
        }
        return found;
    }
};

// A class, member, data type or transportation as the document gives it, before its meaning
// is read.
struct Part {
    Pos pos;
    Values values;
};

struct XmlClass {
    Pos pos;
    Values values;
    std::vector<Part> members;
    std::vector<XmlClass> children;
};

struct XmlType {
    DataType::Kind kind = DataType::Kind::Basic;
    Pos pos;
    Values values;
    std::vector<Part> parts;  // enumerators, fields or alternatives
};

bool sameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::string item = trimmed(std::string_view(text).substr(start, comma - start));
        if (!item.empty()) items.push_back(std::move(item));
        start = comma + 1;
    }
    return items;
}

std::optional<std::uint64_t> parseUnsigned(std::string_view text) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative || (!text.empty() && text.front() == '+')) text.remove_prefix(1);
    const auto magnitude = parseUnsigned(text);
    if (!magnitude) return std::nullopt;
    const auto value = static_cast<std::int64_t>(*magnitude);
    return negative ? -value : value;
}

// How a basic representation's octets read, from what its name and description say: the
// standard's own say "float", "unsigned", "octet" or "two's complement"; a single octet is
// unsigned unless it says it is signed.
DataType::Number numberOf(const std::string& name, const Values& values, int octets) {
    std::string text = lower(name);
    for (const char* key : {"interpretation", "encoding"}) {
        if (const Value* value = values.find(key)) text += " " + lower(value->text);
    }
    const auto mentions = [&](const char* word) { return text.find(word) != std::string::npos; };
    if (mentions("float") || mentions("754") || mentions("double-precision") ||
        mentions("single-precision")) {
        return DataType::Number::Float;
    }
    if (mentions("unsigned")) return DataType::Number::UnsignedInteger;
    bool saysSigned = false;
    for (std::size_t at = text.find("signed"); at != std::string::npos;
         at = text.find("signed", at + 1)) {
        if (at < 2 || text.compare(at - 2, 2, "un") != 0) saysSigned = true;
    }
    if (octets == 1) {
        return saysSigned ? DataType::Number::SignedInteger : DataType::Number::UnsignedInteger;
    }
    if (lower(name).find("octet") != std::string::npos) return DataType::Number::UnsignedInteger;
    return DataType::Number::SignedInteger;
}

// The first byte of text that is not UTF-8, if any.
std::optional<std::size_t> invalidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char c = bytes[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return i;
        }
        if (i + length > size) return i;
        if (bytes[i + 1] < low || bytes[i + 1] > high) return i;
        for (std::size_t k = 2; k < length; ++k) {
            if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF) return i;
        }
        i += length;
    }
    return std::nullopt;
}

// The encoding the XML declaration names, if it names one.
std::string declaredEncoding(std::string_view text) {
    if (text.substr(0, 5) != "<?xml") return {};
    const std::string_view declaration = text.substr(0, text.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) return {};
    at += 8;
    while (at < declaration.size() &&
           (declaration[at] == ' ' || declaration[at] == '=' || declaration[at] == '\t')) {
        ++at;
    }
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return {};
    const char quote = declaration[at];
    const std::size_t end = declaration.find(quote, at + 1);
    if (end == std::string_view::npos) return {};
    return std::string(declaration.substr(at + 1, end - at - 1));
}

class Reader {
public:
    Reader(std::string_view bytes, std::string module)
        : m_module(std::move(module)),
          m_text(decode(bytes, m_module)),
          m_lineStarts(lineStarts(m_text)),
          m_xml(m_text) {}

    FederationDescription read() {
        document();
        return build();
    }

private:
    // --- Text and positions -------------------------------------------------------------

    static std::vector<qsizetype> lineStarts(const QString& text) {
        std::vector<qsizetype> starts{0};
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) {
                starts.push_back(i + 1);
            }
        }
        return starts;
    }

    [[noreturn]] static void fail(const std::string& module, Pos pos, const std::string& message) {
        throw FedError(pos.line, pos.column, message, module);
    }

    static QString decode(std::string_view bytes, const std::string& module) {
        const auto starts = [&](std::string_view prefix) {
            return bytes.substr(0, prefix.size()) == prefix;
        };
        using namespace std::string_view_literals;
        std::optional<QStringConverter::Encoding> encoding;
        std::size_t skip = 0;
        if (starts("\xEF\xBB\xBF"sv)) {
            skip = 3;
        } else if (starts("\xFF\xFE\0\0"sv)) {
            encoding = QStringConverter::Utf32LE;
            skip = 4;
        } else if (starts("\0\0\xFE\xFF"sv)) {
            encoding = QStringConverter::Utf32BE;
            skip = 4;
        } else if (starts("\xFF\xFE"sv)) {
            encoding = QStringConverter::Utf16LE;
            skip = 2;
        } else if (starts("\xFE\xFF"sv)) {
            encoding = QStringConverter::Utf16BE;
            skip = 2;
        } else if (starts("<\0"sv)) {
            encoding = QStringConverter::Utf16LE;
        } else if (starts("\0<"sv)) {
            encoding = QStringConverter::Utf16BE;
        } else {
            // The declaration names the encoding of a text whose first characters take one
            // octet each; one naming UTF-16 or UTF-32 here was written by a tool that saved
            // the text otherwise, so the octets decide.
            const std::string declared = lower(declaredEncoding(bytes));
            if (!declared.empty() && declared != "utf-8" && declared != "utf8" &&
                declared != "us-ascii" && declared != "ascii" && declared.rfind("utf-16", 0) != 0 &&
                declared.rfind("utf-32", 0) != 0) {
                encoding = QStringConverter::encodingForName(declared.c_str());
                if (!encoding || *encoding == QStringConverter::System) {
                    fail(module, {1, 1},
                         "the module's encoding \"" + declared +
                             "\" is not supported; save it as UTF-8");
                }
            }
        }
        bytes.remove_prefix(skip);
        if (!encoding || *encoding == QStringConverter::Utf8) {
            if (const auto bad = invalidUtf8(bytes)) {
                int line = 1;
                int column = 1;
                for (std::size_t i = 0; i < *bad; ++i) {
                    if (bytes[i] == '\n') {
                        ++line;
                        column = 1;
                    } else if ((static_cast<unsigned char>(bytes[i]) & 0xC0) != 0x80) {
                        ++column;
                    }
                }
                fail(module, {line, column}, "the module is not valid UTF-8");
            }
            return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        }
        QStringDecoder decoder(*encoding);
        QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        if (decoder.hasError()) {
            fail(module, {1, 1},
                 std::string("the module is not valid ") +
                     QStringConverter::nameForEncoding(*encoding));
        }
        return text;
    }

    Pos posAt(qsizetype offset) const {
        offset = std::clamp<qsizetype>(offset, 0, m_text.size());
        const auto next = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
        const auto line = static_cast<int>(next - m_lineStarts.begin());
        return {line, static_cast<int>(offset - *(next - 1)) + 1};
    }

    // Where the start tag the reader stands at begins: the last "<" before its end ("<" can
    // stand in no attribute value).
    Pos tagStart() const {
        qsizetype at = m_xml.characterOffset() - 1;
        while (at > 0 && m_text[at] != u'<') --at;
        return posAt(at);
    }

    [[noreturn]] void fail(Pos pos, const std::string& message) const {
        fail(m_module, pos, message);
    }

    // Gives a clash found by the description the position of the name that caused it.
    template <typename Action>
    auto guarded(Pos pos, Action action) const -> decltype(action()) {
        try {
            return action();
        } catch (const Error& e) {
            fail(pos, e.what());
        }
    }

    // --- Tokens -------------------------------------------------------------------------

    QXmlStreamReader::TokenType next() {
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

    // Whether an element is the OMT's: in its namespace, or in none.
    bool ours() const {
        const auto uri = m_xml.namespaceUri();
        return uri.isEmpty() || uri == QLatin1String(kNamespace2010);
    }

    // Passes over the element the reader stands at, with everything in it.
    void skip() {
        for (int open = 1; open > 0;) {
            const auto token = next();
            if (token == QXmlStreamReader::StartElement) ++open;
            if (token == QXmlStreamReader::EndElement) --open;
        }
    }

    // Reads the element the reader stands at: child(name) reads a child it knows whole and
    // returns true; every other child of ours with only text becomes a value, and the rest
    // is passed over.
    template <typename Child>
    Values element(Child child) {
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

    Values leaf() {
        return element([](const std::string&) { return false; });
    }

    void textValue(Values& values, const std::string& name) {
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

    // --- The document -------------------------------------------------------------------

    void document() {
        for (auto token = next(); token != QXmlStreamReader::StartElement; token = next()) {
            if (token == QXmlStreamReader::EndDocument) {
                fail(posAt(0), "the module has no elements");
            }
        }
        const Pos root = tagStart();
        if (m_xml.name() != QLatin1String("objectModel")) {
            fail(root, "the document is not an IEEE 1516 object model: its root element is <" +
                           m_xml.name().toString().toStdString() + ">, not <objectModel>");
        }
        if (!ours()) {
            fail(root, "the object model's namespace \"" +
                           m_xml.namespaceUri().toString().toStdString() +
                           "\" is not IEEE 1516-2010's (" + kNamespace2010 + ")");
        }
        element([&](const std::string& name) {
            if (name == "objects") {
                section("objectClass", [&] { m_objects.push_back(cls(true, 1)); });
            } else if (name == "interactions") {
                section("interactionClass", [&] { m_interactions.push_back(cls(false, 1)); });
            } else if (name == "transportations") {
                section("transportation", [&] {
                    Part part;
                    part.pos = tagStart();
                    part.values = leaf();
                    m_transportations.push_back(std::move(part));
                });
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
    void section(const char* item, Read read) {
        element([&](const std::string& name) {
            if (name != item) return false;
            read();
            return true;
        });
    }

    XmlClass cls(bool object, int level) {
        XmlClass result;
        result.pos = tagStart();
        if (level > kMaxClassDepth) {
            fail(result.pos, std::string(object ? "object" : "interaction") +
                                 " classes are nested deeper than " +
                                 std::to_string(kMaxClassDepth) + " levels");
        }
        const char* member = object ? "attribute" : "parameter";
        const char* subclass = object ? "objectClass" : "interactionClass";
        result.values = element([&](const std::string& name) {
            if (name == subclass) {
                result.children.push_back(cls(object, level + 1));
            } else if (name == member) {
                Part part;
                part.pos = tagStart();
                part.values = leaf();
                result.members.push_back(std::move(part));
            } else {
                return false;
            }
            return true;
        });
        return result;
    }

    void dataTypes() {
        using Kind = DataType::Kind;
        struct Table {
            const char* table;
            const char* item;
            Kind kind;
            const char* part;
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
                    if (!table->part || child != table->part) return false;
                    Part part;
                    part.pos = tagStart();
                    part.values = leaf();
                    type.parts.push_back(std::move(part));
                    return true;
                });
                m_types.push_back(std::move(type));
            });
            return true;
        });
    }

    // --- Meaning ------------------------------------------------------------------------

    // "NA" is the OMT's "not applicable".
    static const Value* stated(const Values& values, std::string_view key) {
        const Value* value = values.find(key);
        if (!value || value->text.empty() || value->text == "NA") return nullptr;
        return value;
    }

    const Value& required(const Values& values, Pos at, std::string_view key,
                          const std::string& what) const {
        const Value* value = stated(values, key);
        if (!value) fail(at, what + " has no " + std::string(key));
        return *value;
    }

    const Value& nameOf(const Values& values, Pos at, const std::string& what) const {
        const Value& value = required(values, at, "name", what);
        if (value.text.find('.') != std::string::npos) {
            fail(value.pos, what + " \"" + value.text + "\" must not contain \".\"");
        }
        return value;
    }

    std::optional<Transport> transportation(const Values& values) const {
        const Value* value = stated(values, "transportation");
        if (!value) return std::nullopt;
        if (sameLetters(value->text, "HLAreliable")) return Transport::Reliable;
        if (sameLetters(value->text, "HLAbestEffort")) return Transport::BestEffort;
        const auto declared =
            std::find_if(m_transportations.begin(), m_transportations.end(), [&](const Part& t) {
                const Value* n = stated(t.values, "name");
                return n && n->text == value->text;
            });
        if (declared == m_transportations.end()) {
            fail(value->pos, "unknown transportation \"" + value->text +
                                 "\"; expected HLAreliable, HLAbestEffort or one the module "
                                 "declares in its transportations");
        }
        const Value* reliable = stated(declared->values, "reliable");
        if (!reliable) {
            fail(value->pos, "transportation \"" + value->text +
                                 "\" is declared without saying whether it is reliable "
                                 "(<reliable>Yes</reliable> or No)");
        }
        if (sameLetters(reliable->text, "Yes")) return Transport::Reliable;
        if (sameLetters(reliable->text, "No")) return Transport::BestEffort;
        fail(reliable->pos, "reliable \"" + reliable->text + "\" of transportation \"" +
                                value->text + "\" is neither Yes nor No");
    }

    std::optional<Order> order(const Values& values) const {
        const Value* value = stated(values, "order");
        if (!value) return std::nullopt;
        if (sameLetters(value->text, "Receive")) return Order::Receive;
        if (sameLetters(value->text, "TimeStamp")) return Order::Timestamp;
        fail(value->pos, "unknown order \"" + value->text + "\"; expected Receive or TimeStamp");
    }

    static std::string typeReference(const Values& values, std::string_view key = "dataType") {
        const Value* value = stated(values, key);
        return value ? value->text : std::string();
    }

    FederationDescription build() {
        FederationDescription description;
        description.modules.push_back(m_module);
        for (const Part& transportation : m_transportations) {
            nameOf(transportation.values, transportation.pos, "a transportation");
        }
        for (const XmlType& type : m_types) {
            DataType converted = dataType(type);
            guarded(type.pos, [&] { description.dataTypes.add(std::move(converted)); });
        }
        objectClasses(description);
        interactionClasses(description);
        return description;
    }

    // The roots first, then the classes given without them, beneath them.
    static bool isRoot(const XmlClass& c, const char* root) {
        const Value* n = stated(c.values, "name");
        return n && name13(n->text) == root;
    }

    void objectClasses(FederationDescription& description) const {
        std::optional<ObjectClassHandle> root;
        for (const XmlClass& c : m_objects) {
            if (isRoot(c, kObjectRoot)) root = objectClass(description, c, std::nullopt);
        }
        for (const XmlClass& c : m_objects) {
            if (isRoot(c, kObjectRoot)) continue;
            nameOf(c.values, c.pos, "an object class");
            if (!root) {
                root = description.addObjectClass(std::nullopt, kObjectRoot);
                description.setModule(*root, m_module);
            }
            objectClass(description, c, root);
        }
    }

    ObjectClassHandle objectClass(FederationDescription& description, const XmlClass& c,
                                  std::optional<ObjectClassHandle> parent) const {
        const std::string where =
            parent ? "an object class in " + description.objectClass(*parent).fullName
                   : "an object class";
        const Value& n = nameOf(c.values, c.pos, where);
        const std::string className = parent ? n.text : name13(n.text);
        const auto handle =
            guarded(n.pos, [&] { return description.addObjectClass(parent, className); });
        description.setModule(handle, m_module);
        const std::string fullName = description.objectClass(handle).fullName;
        std::map<std::string, std::string> written;  // each attribute's name as written
        for (const Part& member : c.members) {
            const Value& memberName =
                nameOf(member.values, member.pos, "an attribute of object class " + fullName);
            AttributeSpec spec;
            spec.name = name13(memberName.text);
            spec.dataType = typeReference(member.values);
            const auto transport = transportation(member.values);
            const auto ordered = order(member.values);
            spec.transportDeclared = transport.has_value();
            spec.orderDeclared = ordered.has_value();
            spec.transport = transport.value_or(Transport::Reliable);
            spec.order = ordered.value_or(Order::Receive);
            // The delete privilege under both its names (1516-2000 documents for 1.3
            // federates state both): one attribute, when the two agree.
            const auto twin = written.find(spec.name);
            if (twin != written.end() && twin->second != memberName.text) {
                const AttributeSpec& first =
                    description.attribute(*description.findAttribute(handle, spec.name));
                if (first.dataType == spec.dataType &&
                    first.transportDeclared == spec.transportDeclared &&
                    first.orderDeclared == spec.orderDeclared &&
                    first.transport == spec.transport && first.order == spec.order) {
                    continue;
                }
            }
            guarded(memberName.pos, [&] { return description.addAttribute(handle, spec); });
            written.emplace(spec.name, memberName.text);
        }
        for (const XmlClass& child : c.children) objectClass(description, child, handle);
        return handle;
    }

    void interactionClasses(FederationDescription& description) const {
        std::optional<InteractionClassHandle> root;
        for (const XmlClass& c : m_interactions) {
            if (isRoot(c, kInteractionRoot)) {
                root = interactionClass(description, c, std::nullopt);
            }
        }
        for (const XmlClass& c : m_interactions) {
            if (isRoot(c, kInteractionRoot)) continue;
            nameOf(c.values, c.pos, "an interaction class");
            if (!root) {
                InteractionClassSpec spec;
                spec.name = kInteractionRoot;
                spec.module = m_module;
                spec.scaffolding = true;
                spec.transportDeclared = false;
                spec.orderDeclared = false;
                root = description.addInteractionClass(std::nullopt, spec);
            }
            interactionClass(description, c, root);
        }
    }

    InteractionClassHandle interactionClass(FederationDescription& description, const XmlClass& c,
                                            std::optional<InteractionClassHandle> parent) const {
        const std::string where =
            parent ? "an interaction class in " + description.interactionClass(*parent).fullName
                   : "an interaction class";
        const Value& n = nameOf(c.values, c.pos, where);
        InteractionClassSpec spec;
        spec.name = parent ? n.text : name13(n.text);
        const auto transport = transportation(c.values);
        const auto ordered = order(c.values);
        spec.transportDeclared = transport.has_value();
        spec.orderDeclared = ordered.has_value();
        spec.transport = transport.value_or(Transport::Reliable);
        spec.order = ordered.value_or(Order::Receive);
        spec.module = m_module;
        spec.scaffolding = c.members.empty() && !transport && !ordered;
        const auto handle =
            guarded(n.pos, [&] { return description.addInteractionClass(parent, spec); });
        const std::string fullName = description.interactionClass(handle).fullName;
        for (const Part& member : c.members) {
            const Value& memberName =
                nameOf(member.values, member.pos, "a parameter of interaction class " + fullName);
            ParameterSpec parameter;
            parameter.name = memberName.text;
            parameter.dataType = typeReference(member.values);
            guarded(memberName.pos, [&] { return description.addParameter(handle, parameter); });
        }
        for (const XmlClass& child : c.children) interactionClass(description, child, handle);
        return handle;
    }

    // --- Data types ---------------------------------------------------------------------
    //
    // A data type needs a name; what else it gets wrong is kept as its problem (the first
    // one), so that a module written carelessly can be read and only values of that type
    // cannot be encoded.

    static const char* kindName(DataType::Kind kind) {
        switch (kind) {
            case DataType::Kind::Basic:
                return "basic data representation";
            case DataType::Kind::Simple:
                return "simple data type";
            case DataType::Kind::Enumerated:
                return "enumerated data type";
            case DataType::Kind::Array:
                return "array data type";
            case DataType::Kind::FixedRecord:
                return "fixed record data type";
            case DataType::Kind::VariantRecord:
                return "variant record data type";
        }
        return "data type";
    }

    static void problem(DataType& type, const std::string& description) {
        if (type.problem.empty()) type.problem = description;
    }

    // The value, or empty with the problem noted.
    static std::string wanted(DataType& type, const Values& values, std::string_view key,
                              const std::string& what) {
        const Value* value = stated(values, key);
        if (!value) {
            problem(type, what + " has no " + std::string(key));
            return {};
        }
        return value->text;
    }

    DataType dataType(const XmlType& t) const {
        DataType type;
        type.kind = t.kind;
        type.module = m_module;
        type.name = required(t.values, t.pos, "name", std::string("a ") + kindName(t.kind)).text;
        switch (t.kind) {
            case DataType::Kind::Basic:
                basic(type, t.values);
                break;
            case DataType::Kind::Simple:
                type.representation = wanted(type, t.values, "representation", "it");
                break;
            case DataType::Kind::Enumerated:
                type.representation = wanted(type, t.values, "representation", "it");
                enumerators(type, t.parts);
                break;
            case DataType::Kind::Array:
                array(type, t.values);
                break;
            case DataType::Kind::FixedRecord:
                type.encoding = encoding(t.values, "HLAfixedRecord");
                for (const Part& part : t.parts) {
                    DataType::Field field;
                    field.name = wanted(type, part.values, "name", "a field");
                    field.type = wanted(type, part.values, "dataType",
                                        "field " + (field.name.empty() ? "?" : field.name));
                    type.fields.push_back(std::move(field));
                }
                break;
            case DataType::Kind::VariantRecord:
                variant(type, t.parts, t.values);
                break;
        }
        return type;
    }

    static std::string encoding(const Values& values, const char* standard) {
        const Value* value = stated(values, "encoding");
        return value ? value->text : standard;
    }

    static void basic(DataType& type, const Values& values) {
        type.endian = Endian::Big;
        if (const Value* endian = stated(values, "endian")) {
            if (sameLetters(endian->text, "Little")) {
                type.endian = Endian::Little;
            } else if (!sameLetters(endian->text, "Big")) {
                problem(type, "endian \"" + endian->text + "\" is neither Big nor Little");
            }
        }
        const std::string size = wanted(type, values, "size", "it");
        if (size.empty()) return;
        const auto bits = parseUnsigned(size);
        if (!bits || *bits == 0 || *bits % 8 != 0 || *bits > kMaxBasicBits) {
            problem(type, "size \"" + size + "\" is not a whole number of octets from 8 to " +
                              std::to_string(kMaxBasicBits) + " bits");
            return;
        }
        type.size = static_cast<int>(*bits / 8);
        if (type.size == 1) type.endian = Endian::Big;  // one octet has no order
        type.number = numberOf(type.name, values, type.size);
    }

    static void enumerators(DataType& type, const std::vector<Part>& parts) {
        for (const Part& part : parts) {
            const std::string name = wanted(type, part.values, "name", "an enumerator");
            bool any = false;
            for (const char* key : {"value", "values"}) {
                for (const Value* value : part.values.all(key)) {
                    for (const std::string& item : splitList(value->text)) {
                        type.enumerators.push_back({name, enumeratorValue(type, name, item)});
                        any = true;
                    }
                }
            }
            if (!any) problem(type, "enumerator " + name + " has no value");
        }
    }

    // An integer, or a single character for an enumeration of characters (1516-2000
    // documents write values="H" for an HLAASCIIchar representation).
    static std::int64_t enumeratorValue(DataType& type, const std::string& enumerator,
                                        const std::string& item) {
        if (const auto number = parseInteger(item)) return *number;
        const QString text = QString::fromStdString(item);
        if (text.size() == 1 || (text.size() == 2 && text[0].isHighSurrogate())) {
            return static_cast<std::int64_t>(text.toUcs4().front());
        }
        problem(type, "value \"" + item + "\" of enumerator " + enumerator + " is not an integer");
        return 0;
    }

    static void array(DataType& type, const Values& values) {
        type.elementType = wanted(type, values, "dataType", "it");
        if (const Value* cardinality = stated(values, "cardinality")) {
            type.cardinality = parseCardinality(type, cardinality->text);
        }
        type.encoding = encoding(values, type.cardinality ? "HLAfixedArray" : "HLAvariableArray");
        type.variableEncoding = type.encoding != "HLAfixedArray";
    }

    // "Dynamic", a number, a range "[1..10]", or one of these for each dimension; a count
    // only when every dimension is a number.
    static std::optional<std::uint32_t> parseCardinality(DataType& type, const std::string& text) {
        std::optional<std::uint64_t> count = 1;
        const auto refuse = [&](const std::string& why) {
            problem(type, "cardinality \"" + text + "\" " + why);
            return std::nullopt;
        };
        const std::vector<std::string> dimensions = splitList(text);
        if (dimensions.empty()) return refuse("is empty");
        for (const std::string& dimension : dimensions) {
            if (sameLetters(dimension, "Dynamic")) {
                count.reset();
                continue;
            }
            if (const auto number = parseUnsigned(dimension)) {
                if (count) {
                    if (*number != 0 &&
                        *count > std::numeric_limits<std::uint32_t>::max() / *number) {
                        return refuse("is more elements than an array can hold");
                    }
                    *count *= *number;
                }
                continue;
            }
            const std::size_t dots = dimension.find("..");
            if (dimension.size() > 2 && dimension.front() == '[' && dimension.back() == ']' &&
                dots != std::string::npos &&
                parseUnsigned(trimmed(dimension.substr(1, dots - 1))) &&
                parseUnsigned(trimmed(dimension.substr(dots + 2, dimension.size() - dots - 3)))) {
                count.reset();
                continue;
            }
            return refuse("is not Dynamic, a number or a range [m..n]");
        }
        if (!count) return std::nullopt;
        return static_cast<std::uint32_t>(*count);
    }

    static void variant(DataType& type, const std::vector<Part>& parts, const Values& values) {
        type.discriminantName = wanted(type, values, "discriminant", "it");
        type.discriminantType = wanted(type, values, "dataType", "it");
        type.encoding = encoding(values, "HLAvariantRecord");
        for (const Part& part : parts) {
            DataType::Alternative alternative;
            alternative.enumerators =
                splitList(wanted(type, part.values, "enumerator", "an alternative"));
            const std::string which =
                alternative.enumerators.empty() ? "?" : alternative.enumerators.front();
            // An alternative without a field leaves both out, or says so.
            const Value* fieldName = stated(part.values, "name");
            if (fieldName && fieldName->text != "HLAnoFieldName")
                alternative.name = fieldName->text;
            const Value* fieldType = stated(part.values, "dataType");
            if (fieldType && fieldType->text != "HLAnoDataType") alternative.type = fieldType->text;
            if (alternative.name.empty() != alternative.type.empty()) {
                problem(type, "the alternative " + which + " gives a field " +
                                  (alternative.name.empty() ? "data type without a name"
                                                            : "name without a data type"));
            }
            type.alternatives.push_back(std::move(alternative));
        }
    }

    std::string m_module;
    QString m_text;
    std::vector<qsizetype> m_lineStarts;
    QXmlStreamReader m_xml;
    int m_depth = 0;
    std::vector<XmlClass> m_objects;
    std::vector<XmlClass> m_interactions;
    std::vector<Part> m_transportations;
    std::vector<XmlType> m_types;
};

}  // namespace

FederationDescription parseFomModule(std::string_view text, const std::string& module) {
    if (text.size() > fed::kMaxTextSize) {
        throw FedError(0, 0, "the module is larger than 16 MiB", module);
    }
    return Reader(text, module).read();
}

FederationDescription readFomModuleFile(const std::string& path) {
    return parseFomModule(readTextFile(path, fed::kMaxTextSize, "module"), path);
}

}  // namespace hla
