// The command line of tandrel-peer: what each argument sets, and a clear error for each
// argument it cannot take.

#include "platform/peer/PeerOptions.h"
#include "support/MessageRecorder.h"

#include <gtest/gtest.h>

using peer::parseArguments;

namespace {

QStringList split(const char* text) {
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(PeerOptions, NothingGivenTakesTheWindowsDefaults) {
    const auto parsed = parseArguments({});
    ASSERT_TRUE(parsed.error.isEmpty());
    EXPECT_EQ(parsed.options.controllerName, "ChatRoom.Peer");
    EXPECT_TRUE(parsed.options.controllerOptions.startsWith("URL=file:///D:/"));
    EXPECT_TRUE(parsed.options.variables.empty());
    EXPECT_FALSE(parsed.options.advanceStep.has_value());
    EXPECT_EQ(parsed.options.exitAfterSeconds, 60);
}

TEST(PeerOptions, EveryArgumentSetsItsField) {
    const auto parsed = parseArguments({"--name",
                                        "Fed.Bob",
                                        "--options=URL=Chat.fed, TimePoli=3",
                                        "--var",
                                        "A.B.C",
                                        "--var=X.Y!o#I4=18",
                                        "--send",
                                        "A.B.C=x=y",
                                        "--send-at",
                                        "4.5:Q.R=",
                                        "--echo",
                                        "--answer-sync",
                                        "--register-sync",
                                        "Go",
                                        "--advance",
                                        "0.5",
                                        "--count",
                                        "7",
                                        "--exit-after",
                                        "2.5",
                                        "--until-count",
                                        "3",
                                        "--delay",
                                        "0.25"});
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    const peer::PeerOptions& o = parsed.options;
    EXPECT_EQ(o.controllerName, "Fed.Bob");
    EXPECT_EQ(o.controllerOptions, "URL=Chat.fed, TimePoli=3");
    ASSERT_EQ(o.variables.size(), 2u);
    EXPECT_EQ(o.variables[0].name, "A.B.C");
    EXPECT_EQ(o.variables[0].mask, 0);
    EXPECT_EQ(o.variables[1].name, "X.Y!o#I4");
    EXPECT_EQ(o.variables[1].mask, 18);
    ASSERT_EQ(o.sends.size(), 2u);
    EXPECT_EQ(o.sends[0].name, "A.B.C");
    EXPECT_EQ(o.sends[0].value, "x=y");
    EXPECT_FALSE(o.sends[0].atTime.has_value());
    EXPECT_EQ(o.sends[1].name, "Q.R");
    EXPECT_EQ(o.sends[1].value, "");
    EXPECT_EQ(o.sends[1].atTime, 4.5);
    EXPECT_TRUE(o.echo);
    EXPECT_TRUE(o.answerSync);
    EXPECT_EQ(o.registerSync, QStringList{"Go"});
    EXPECT_EQ(o.advanceStep, 0.5);
    EXPECT_EQ(o.advanceCount, 7);
    EXPECT_EQ(o.delaySeconds, 0.25);
    EXPECT_EQ(o.exitAfterSeconds, 2.5);
    EXPECT_EQ(o.untilCount, 3);
}

TEST(PeerOptions, HelpIsRecognisedAmongOtherArguments) {
    EXPECT_TRUE(parseArguments(split("--echo --help")).helpRequested);
    EXPECT_TRUE(parseArguments(split("-h")).helpRequested);
    for (const char* option : {"--name", "--options", "--var", "--send", "--send-at", "--echo",
                               "--answer-sync", "--register-sync", "--advance", "--count",
                               "--exit-after", "--until-count", "--delay", "--help"}) {
        EXPECT_TRUE(peer::usageText().contains(QLatin1String(option))) << option;
    }
}

struct BadArguments {
    const char* args;
    const char* error;
};

class PeerBadArguments : public ::testing::TestWithParam<BadArguments> {};

TEST_P(PeerBadArguments, AreRefusedWithADescription) {
    const auto parsed = parseArguments(split(GetParam().args));
    EXPECT_TRUE(parsed.error.contains(QLatin1String(GetParam().error)))
        << "got: " << parsed.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, PeerBadArguments,
    ::testing::Values(BadArguments{"--frobnicate", "unknown argument \"--frobnicate\""},
                      BadArguments{"positional", "unknown argument \"positional\""},
                      BadArguments{"--name", "--name needs a value"},
                      BadArguments{"--name NoDot", "is not of the form Federation.Federate"},
                      BadArguments{"--var", "--var needs a value"},
                      BadArguments{"--var =3", "a variable name is missing"},
                      BadArguments{"--var A.B=x", "\"x\" is not a whole number"},
                      BadArguments{"--var A.B=-1", "of at least 0"},
                      BadArguments{"--send A.B", "is not of the form NAME=VALUE"},
                      BadArguments{"--send =v", "is not of the form NAME=VALUE"},
                      BadArguments{"--advance 1 --send-at A.B=v", "TIME:NAME=VALUE"},
                      BadArguments{"--advance 1 --send-at t:A.B=v", "\"t\" is not a number"},
                      BadArguments{"--send-at 4:A.B=v", "--send-at needs --advance"},
                      BadArguments{"--advance 0", "the step must be above 0"},
                      BadArguments{"--advance inf", "is not a number"},
                      BadArguments{"--count 3", "--count needs --advance"},
                      BadArguments{"--advance 1 --count 0", "of at least 1"},
                      BadArguments{"--exit-after 0", "the time must lie above 0"},
                      BadArguments{"--exit-after 1e9", "the time must lie above 0"},
                      BadArguments{"--delay -1", "the time must lie from 0"},
                      BadArguments{"--until-count two", "is not a whole number"},
                      BadArguments{"--register-sync=", "the label is empty"},
                      BadArguments{"--echo=1", "--echo takes no value"}));

}  // namespace
