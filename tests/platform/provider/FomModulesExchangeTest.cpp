// A federation described by three IEEE 1516-2010 modules: a base module that names the
// scaffolding, and two extensions that place their classes under it. Its federates exchange
// values typed as the modules declare.

#include "HlaFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace hlatest;
using cao::Variant;

namespace {

QByteArray module(const QByteArray& body) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<objectModel xmlns="http://standards.ieee.org/IEEE1516-2010">
  <modelIdentification><name>Test</name><type>FOM</type><version>1</version></modelIdentification>
)" + body + "\n</objectModel>\n";
}

// The scaffolding: a class given by name only, for others to place subclasses under.
const QByteArray kBase = module(R"(
  <interactions><interactionClass><name>HLAinteractionRoot</name>
    <interactionClass><name>Track</name></interactionClass>
  </interactionClass></interactions>)");

const QByteArray kReports = module(R"(
  <interactions><interactionClass><name>HLAinteractionRoot</name>
    <interactionClass><name>Track</name>
      <interactionClass><name>Report</name>
        <transportation>HLAreliable</transportation><order>Receive</order>
        <parameter><name>Speed</name><dataType>Knots</dataType></parameter>
        <parameter><name>Count</name><dataType>HLAinteger32LE</dataType></parameter>
        <parameter><name>Flag</name><dataType>HLAboolean</dataType></parameter>
        <parameter><name>Callsign</name><dataType>HLAASCIIstring</dataType></parameter>
        <parameter><name>Kind</name><dataType>TrackKind</dataType></parameter>
      </interactionClass>
    </interactionClass>
  </interactionClass></interactions>
  <dataTypes>
    <simpleDataTypes><simpleData><name>Knots</name><representation>HLAfloat64BE</representation></simpleData></simpleDataTypes>
    <enumeratedDataTypes><enumeratedData><name>TrackKind</name><representation>HLAoctet</representation>
      <enumerator><name>Air</name><value>1</value></enumerator>
      <enumerator><name>Sea</name><value>2</value></enumerator>
    </enumeratedData></enumeratedDataTypes>
  </dataTypes>)");

const QByteArray kAlerts = module(R"(
  <interactions><interactionClass><name>HLAinteractionRoot</name>
    <interactionClass><name>Track</name>
      <interactionClass><name>Alert</name>
        <transportation>HLAreliable</transportation><order>Receive</order>
        <parameter><name>Level</name><dataType>HLAinteger16BE</dataType></parameter>
      </interactionClass>
    </interactionClass>
  </interactionClass></interactions>)");

const QString kReport = "InteractionRoot.Track.Report.";

class ThreeModules : public HlaTest {
protected:
    void SetUp() override {
        for (const auto& [name, text] :
             {std::pair{"Base.xml", kBase}, {"Reports.xml", kReports}, {"Alerts.xml", kAlerts}}) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(text);
        }
        options = optionsFor({"Base.xml", "Reports.xml", "Alerts.xml"});
    }
    // The modules, by name in the test's directory, as one URL.
    QString optionsFor(const QStringList& modules) const {
        QStringList paths;
        for (const QString& m : modules) paths << dir.filePath(m);
        return QStringLiteral(
                   "URL=%1, TimePoli=0, TimeAdv=0, CurTime=0, LookAhead=0.5, "
                   "AsyncDeli=0")
            .arg(paths.join(';'));
    }
    QTemporaryDir dir;
    QString options;
};

}  // namespace

TEST_F(ThreeModules, TwoFederatesExchangeValuesTypedAsTheModulesDeclare) {
    Side sender = open("Tracks.Sender", options);
    Side receiver = open("Tracks.Receiver", options);
    const struct {
        QString variable;
        Variant written;
        Variant received;
    } cases[] = {
        {kReport + "Speed#R8", Variant::fromR8(12.5), Variant::fromR8(12.5)},
        {kReport + "Count#I4", Variant::fromI4(-70000), Variant::fromI4(-70000)},
        // Text into an integer of the FOM converts as a variant does.
        {kReport + "Count#BSTR", Variant::fromString("42"), Variant::fromString("42")},
        {kReport + "Flag#BOOL", Variant::fromBool(true), Variant::fromBool(true)},
        {kReport + "Callsign", Variant::fromString("ALPHA1"), Variant::fromString("ALPHA1")},
        // An enumerator by name arrives as its name.
        {kReport + "Kind", Variant::fromString("Sea"), Variant::fromString("Sea")},
        {"InteractionRoot.Track.Alert.Level#I2", Variant::fromI2(-3), Variant::fromI2(-3)},
    };
    for (const auto& c : cases) {
        sender.add(c.variable);
        receiver.add(c.variable);
    }
    // One at a time: variables of one parameter all take what arrives for it.
    for (const auto& c : cases) {
        sender.put(c.variable, c.written);
        deliver();
        EXPECT_EQ(receiver.get(c.variable), c.received) << c.variable.toStdString();
    }
    EXPECT_TRUE(receiver.take(-1).empty());
}

TEST_F(ThreeModules, AValueTheModulesTypeCannotHoldSendsNothing) {
    Side sender = open("Tracks.Sender", options);
    Side receiver = open("Tracks.Receiver", options);
    for (const char* v : {"Callsign", "Kind", "Flag"}) {
        sender.add(kReport + v);
        receiver.add(kReport + v);
    }
    sender.add("InteractionRoot.Track.Alert.Level#I4");
    EXPECT_EQ(refusal([&] { sender.put(kReport + "Callsign", Variant::fromString("Zoë")); }),
              "Type mismatch");
    EXPECT_EQ(refusal([&] { sender.put(kReport + "Kind", Variant::fromString("Land")); }),
              "Type mismatch");
    EXPECT_EQ(refusal([&] {
                  sender.put("InteractionRoot.Track.Alert.Level#I4", Variant::fromI4(40000));
              }),
              "Overflow");
    deliver();
    EXPECT_TRUE(receiver.take(3).empty());
}

TEST_F(ThreeModules, AModuleMayNotAddParametersToAnotherModulesClass) {
    QFile file(dir.filePath("Intruder.xml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(module(R"(
  <interactions><interactionClass><name>HLAinteractionRoot</name>
    <interactionClass><name>Track</name>
      <interactionClass><name>Alert</name>
        <transportation>HLAreliable</transportation><order>Receive</order>
        <parameter><name>Level</name><dataType>HLAinteger16BE</dataType></parameter>
        <parameter><name>Colour</name><dataType>HLAASCIIstring</dataType></parameter>
      </interactionClass>
    </interactionClass>
  </interactionClass></interactions>)"));
    file.close();
    const QString refused = refusal([&] {
        open("Tracks.Sender",
             optionsFor({"Base.xml", "Reports.xml", "Alerts.xml", "Intruder.xml"}));
    });
    EXPECT_TRUE(refused.contains("InteractionRoot.Track.Alert")) << refused.toStdString();
    EXPECT_TRUE(refused.contains("Alerts.xml") && refused.contains("Intruder.xml"))
        << refused.toStdString();
}
