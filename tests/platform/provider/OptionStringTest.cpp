#include "cao/Error.h"
#include "platform/provider/OptionString.h"
#include "platform/provider/VariableName.h"

#include <gtest/gtest.h>

using provider::ControllerOptions;
using provider::parseControllerOptions;

TEST(HlaOptionString, TheWindowsDefaultsGiveTheDefaults) {
    const ControllerOptions o = parseControllerOptions(
        "URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed, TimePoli=0, TimeAdv=0, "
        "CurTime=0.0, LookAhead=0.5, AsyncDeli=0");
    EXPECT_EQ(o.url, "file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed");
    EXPECT_EQ(o.timePolicy, 0);
    EXPECT_EQ(o.timeAdvance, 0);
    EXPECT_EQ(o.currentTime, 0.0);
    EXPECT_EQ(o.lookahead, 0.5);
    EXPECT_FALSE(o.asynchronousDelivery);
}

TEST(HlaOptionString, KeysIgnoreCaseAndBlanksAndMissingOnesTakeDefaults) {
    const ControllerOptions o =
        parseControllerOptions("  url = a.fed ,timepoli=3,  LOOKAHEAD=2 , asyncdeli= 1");
    EXPECT_EQ(o.url, "a.fed");
    EXPECT_EQ(o.timePolicy, 3);
    EXPECT_EQ(o.timeAdvance, 0);
    EXPECT_EQ(o.currentTime, 0.0);
    EXPECT_EQ(o.lookahead, 2.0);
    EXPECT_TRUE(o.asynchronousDelivery);
}

TEST(HlaOptionString, AValueRunsToTheNextCommaBeforeAKnownKey) {
    const ControllerOptions o =
        parseControllerOptions("URL=/tmp/a,b.fed, CurTime=1,5, LookAhead=2,5e1");
    EXPECT_EQ(o.url, "/tmp/a,b.fed");
    EXPECT_EQ(o.currentTime, 1.5);
    EXPECT_EQ(o.lookahead, 25.0);
}

TEST(HlaOptionString, TimesTakeEitherDecimalMarkAndAnExponent) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"0", 0},    {"1e3", 1000}, {"-2.5", -2.5}, {"3,25", 3.25},
                 {".5", 0.5}, {"7.", 7},     {"+1E-2", 0.01}};
    for (const auto& c : cases) {
        double value = -99;
        EXPECT_TRUE(provider::parseTimeText(c.text, value)) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
    for (const char* bad :
         {"", " ", "abc", "1e", "1.2.3", "1,2,3", "inf", "nan", "1e999", "0x10"}) {
        double value = 0;
        EXPECT_FALSE(provider::parseTimeText(bad, value)) << bad;
    }
}

TEST(HlaVariableName, NamesAreTakenApart) {
    const provider::VariableName interaction =
        provider::parseVariableName("InteractionRoot.Communication.Message#i4");
    EXPECT_EQ(interaction.kind, provider::VariableKind::Interaction);
    EXPECT_EQ(interaction.classPath, "InteractionRoot.Communication");
    EXPECT_EQ(interaction.member, "Message");
    EXPECT_EQ(interaction.dataType, cao::VT_I4);

    const provider::VariableName attribute =
        provider::parseVariableName("ObjectRoot.myClass.myAttr!A.B");
    EXPECT_EQ(attribute.kind, provider::VariableKind::Attribute);
    EXPECT_EQ(attribute.classPath, "ObjectRoot.myClass");
    EXPECT_EQ(attribute.member, "myAttr");
    EXPECT_EQ(attribute.objectName, "A.B");
    EXPECT_EQ(attribute.dataType, cao::VT_BSTR);

    EXPECT_EQ(provider::parseVariableName("@LBTS").kind, provider::VariableKind::System);
    EXPECT_EQ(provider::parseVariableName("@LBTS").system, "@LBTS");
}
