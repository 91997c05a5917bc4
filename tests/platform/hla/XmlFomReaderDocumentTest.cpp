// The document as a whole: encodings read, and each text refused with its path, line, column
// and reason (not XML, hostile, too deep, names missing or clashing, values unknown, too
// large, not a file).

#include "XmlFomReaderFixture.h"
#include "platform/hla/FedError.h"
#include "platform/hla/XmlFomReader.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdio>
#include <fstream>
#include <string>

using namespace hla;
using namespace xmlfomtest;

namespace {

struct Broken {
    const char* what;
    std::string text;
    int line;
    int column;
    const char* message;
};

class XmlFomReaderRefuses : public ::testing::TestWithParam<Broken> {};

std::string nested(int levels, const std::string& open, const std::string& close) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += open;
    for (int i = 0; i < levels; ++i) text += close;
    return text;
}

const std::string kRoot = "<objects><objectClass><name>HLAobjectRoot</name>\n";
const std::string kRootEnd = "</objectClass></objects></objectModel>";

}  // namespace

// HLA 4's OMT: its namespace, the 2010 elements it keeps, and what it adds (a dimension's
// input data types) passed over.
TEST(XmlFomReader, ReadsAModuleOfThe2025Omt) {
    const std::string module =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2025\">"
        "<modelIdentification><name>Chat 2025</name><type>FOM</type></modelIdentification>"
        "<interactions><interactionClass><name>HLAinteractionRoot</name>"
        "<interactionClass><name>Communication</name><sharing>PublishSubscribe</sharing>"
        "<parameter><name>Message</name><dataType>HLAunicodeString</dataType></parameter>"
        "</interactionClass></interactionClass></interactions>"
        "<dimensions><dimension><name>Room</name>"
        "<inputDataTypes><dataType>HLAinteger32BE</dataType></inputDataTypes>"
        "<upperBound>16</upperBound><outputDataSemantics>a room</outputDataSemantics>"
        "</dimension></dimensions></objectModel>";
    const FederationDescription read = parseFomModule(module, "Chat2025.xml");
    const auto cls = read.findInteractionClass("InteractionRoot.Communication");
    ASSERT_TRUE(cls);
    EXPECT_TRUE(read.findParameter(*cls, "Message"));
}

TEST(XmlFomReader, ReadsOtherEncodings) {
    const std::string module =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
        "<objectModel><objects><objectClass><name>HLAobjectRoot</name>"
        "<objectClass><name>Caf\xC3\xA9</name></objectClass>"
        "</objectClass></objects></objectModel>";
    const QString text = QString::fromUtf8(module.data(), static_cast<qsizetype>(module.size()));
    std::string utf16 = "\xFF\xFE";
    for (QChar c : text) {
        utf16 += static_cast<char>(c.unicode() & 0xFF);
        utf16 += static_cast<char>(c.unicode() >> 8);
    }
    EXPECT_TRUE(parseFomModule(utf16, "utf16.xml").findObjectClass("ObjectRoot.Caf\xC3\xA9"));

    const std::string latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<objectModel><objects><objectClass>"
        "<name>HLAobjectRoot</name><objectClass><name>Caf\xE9</name></objectClass></objectClass>"
        "</objects></objectModel>";
    EXPECT_TRUE(parseFomModule(latin1, "latin1.xml").findObjectClass("ObjectRoot.Caf\xC3\xA9"));
    // Declared UTF-16, saved as UTF-8 (as some tools do): the octets decide.
    EXPECT_TRUE(
        parseFomModule(module, "mislabelled.xml").findObjectClass("ObjectRoot.Caf\xC3\xA9"));
}

TEST_P(XmlFomReaderRefuses, WithPathLineColumnAndReason) {
    const Broken& b = GetParam();
    const FedError e = readError(b.text);
    EXPECT_EQ(e.path(), "broken.xml");
    EXPECT_EQ(e.line(), b.line) << e.what();
    EXPECT_EQ(e.column(), b.column) << e.what();
    EXPECT_NE(std::string(e.what()).find(b.message), std::string::npos) << e.what();
}

INSTANTIATE_TEST_SUITE_P(
    Modules, XmlFomReaderRefuses,
    ::testing::Values(
        // Not XML, or not an object model.
        Broken{"empty", "", 1, 1, "not well-formed XML"},
        Broken{"truncated", kOpen + "<objects><objectClass><name>HLAobj", 3, 34,
               "not well-formed XML: Premature end of document"},
        Broken{"unclosed tag", kOpen + "<objects>\n</objectModel>", 4, 14,
               "not well-formed XML: Opening and ending tag mismatch"},
        Broken{"text after the end", kOpen + "</objectModel>\n<objects/>", 4, 10,
               "not well-formed XML: Extra content at end of document"},
        Broken{"not UTF-8", kOpen + "<objects>\n  <x>\xC3\x28</x>", 4, 6, "not valid UTF-8"},
        Broken{"unknown encoding", "<?xml version=\"1.0\" encoding=\"EBCDIC-XYZ\"?><objectModel/>",
               1, 1, "encoding \"ebcdic-xyz\" is not supported"},
        Broken{"wrong root element", "<?xml version=\"1.0\"?>\n  <html/>", 2, 3,
               "its root element is <html>, not <objectModel>"},
        Broken{"wrong namespace", "<objectModel xmlns=\"http://example.com/fom\"/>", 1, 1,
               "namespace \"http://example.com/fom\" is neither IEEE 1516-2010's"},
        // Hostile.
        Broken{"document type declaration",
               "<?xml version=\"1.0\"?>\n<!DOCTYPE objectModel [<!ENTITY a \"aaaa\">]>\n"
               "<objectModel><objects>&a;</objects></objectModel>",
               2, 1, "document type declaration"},
        Broken{"external entity",
               "<!DOCTYPE objectModel SYSTEM \"file:///etc/passwd\"><objectModel/>", 1, 1,
               "document type declaration"},
        Broken{"undeclared entity", kOpen + kRoot + "<objectClass><name>&secret;</name>", 4, 27,
               "Entity 'secret' not declared"},
        Broken{"class nesting",
               kOpen + "<objects>" + nested(65, "<objectClass><name>C</name>\n", "</objectClass>") +
                   "</objects></objectModel>",
               67, 1, "object classes are nested deeper than 64 levels"},
        Broken{"interaction class nesting",
               kOpen + "<interactions>" +
                   nested(65, "<interactionClass><name>C</name>\n", "</interactionClass>") +
                   "</interactions></objectModel>",
               67, 1, "interaction classes are nested deeper than 64 levels"},
        Broken{"element nesting", kOpen + nested(128, "<notes>", "</notes>") + "</objectModel>", 3,
               890, "elements are nested deeper than 128 levels"},
        // Missing and clashing names.
        Broken{"class without a name",
               kOpen + kRoot + "  <objectClass><sharing>Neither</sharing></objectClass>" + kRootEnd,
               4, 3, "an object class in ObjectRoot has no name"},
        Broken{"root without a name", kOpen + "<objects>\n<objectClass/></objects></objectModel>",
               4, 1, "an object class has no name"},
        Broken{"attribute without a name",
               kOpen + kRoot +
                   "<objectClass><name>A</name>\n  <attribute><name> </name></attribute>" +
                   "</objectClass>" + kRootEnd,
               5, 3, "an attribute of object class ObjectRoot.A has no name"},
        Broken{"parameter without a name",
               kOpen + "<interactions><interactionClass><name>HLAinteractionRoot</name>\n"
                       "  <parameter dataType=\"HLAboolean\"/></interactionClass></interactions>"
                       "</objectModel>",
               4, 3, "a parameter of interaction class InteractionRoot has no name"},
        Broken{"duplicate class",
               kOpen + kRoot + "<objectClass><name>A</name></objectClass>\n" +
                   "<objectClass><name>A</name></objectClass>" + kRootEnd,
               5, 14, "object class ObjectRoot.A is declared twice"},
        Broken{"duplicate root",
               kOpen + "<objects><objectClass><name>HLAobjectRoot</name></objectClass>\n"
                       "<objectClass><name>ObjectRoot</name></objectClass></objects></objectModel>",
               4, 14, "object class ObjectRoot is declared twice"},
        Broken{"inherited attribute declared again",
               kOpen + kRoot + "<attribute><name>x</name></attribute>\n" +
                   "<objectClass><name>A</name><attribute><name>x</name></attribute>" +
                   "</objectClass>" + kRootEnd,
               5, 39, "attribute x is declared twice in object class ObjectRoot.A"},
        Broken{"dot in name",
               kOpen + kRoot + "<objectClass><name>A.B</name></objectClass>" + kRootEnd, 4, 14,
               "\"A.B\" must not contain \".\""},
        // Values.
        Broken{"unknown order",
               kOpen + kRoot + "<attribute><name>x</name>\n  <order>Sometimes</order></attribute>" +
                   kRootEnd,
               5, 3, "unknown order \"Sometimes\"; expected Receive or TimeStamp"},
        Broken{"unknown transportation",
               kOpen + "<interactions><interactionClass name=\"HLAinteractionRoot\"\n"
                       "  transportation=\"HLAcarrierPigeon\"/></interactions></objectModel>",
               3, 15, "unknown transportation \"HLAcarrierPigeon\""},
        Broken{"predefined type changed",
               kOpen + "<dataTypes><simpleDataTypes>\n<simpleData><name>HLAbyte</name>"
                       "<representation>HLAinteger32BE</representation></simpleData>"
                       "</simpleDataTypes></dataTypes></objectModel>",
               4, 1,
               "data type HLAbyte is defined differently in the predefined data types and in "
               "\"broken.xml\""}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            if (c == ' ' || c == '-') c = '_';
        }
        return name;
    });

TEST(XmlFomReader, RefusesOversizeTextWithoutReadingIt) {
    std::string text = kOpen + "</objectModel>";
    text.resize(16u * 1024u * 1024u + 1u, ' ');
    const FedError e = readError(text);
    EXPECT_EQ(e.line(), 0);
    EXPECT_EQ(e.path(), "broken.xml");
    EXPECT_NE(std::string(e.what()).find("larger than 16 MiB"), std::string::npos) << e.what();
}

TEST(XmlFomReader, FileErrorsNameThePath) {
    const std::string path = ::testing::TempDir() + "/hla_broken.xml";
    std::ofstream(path) << kOpen << "<objects>\n  <objectClass>\n";
    try {
        readFomModuleFile(path);
        FAIL() << "read a truncated module";
    } catch (const FedError& e) {
        EXPECT_EQ(e.path(), path);
        EXPECT_EQ(e.line(), 4);  // where the text ends
        EXPECT_EQ(std::string(e.what()).rfind(path + ": line 4, column ", 0), 0u) << e.what();
    }
    std::remove(path.c_str());
    try {
        readFomModuleFile(path);
        FAIL() << "read a missing file";
    } catch (const FedError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(path + ": cannot be read", 0), 0u) << e.what();
    }
}
