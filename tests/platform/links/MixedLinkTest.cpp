// A federate of the HLA 1.3 interface and one of the IEEE 1516-2010 interface, each through its
// plug-in, in one federation of one RTI server: whichever creates it, from a FED file or from a
// 2010 module, they exchange interactions both ways.

#include "LinkTestSupport.h"
#include "platform/hla/FedReader.h"
#include "platform/hla/ModuleWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

using namespace linktest;
using links::kHla13Kind;
using links::kHla1516eKind;

namespace {

struct Mixing {
    const char* creator;  // the kind that opens first and creates the federation
    bool xmlModule;       // both bring Chat as a 2010 module instead of Chat.fed
};

std::string nameOf(const ::testing::TestParamInfo<Mixing>& info) {
    return std::string(info.param.creator) + "CreatesFrom" + (info.param.xmlModule ? "Xml" : "Fed");
}

class MixedLinks : public LinkTest, public ::testing::WithParamInterface<Mixing> {
protected:
    void SetUp() override {
        needs(kHla13Kind);
        needs(kHla1516eKind);
        if (IsSkipped() || HasFatalFailure()) return;
        if (GetParam().xmlModule) writeChatModule();
    }
    void TearDown() override {
        if (!m_module.empty()) ::unlink(m_module.c_str());
        if (!m_directory.empty()) ::rmdir(m_directory.c_str());
    }
    std::string module() const { return m_module.empty() ? chatFed() : m_module; }

private:
    void writeChatModule() {
        char directory[] = "/tmp/tandrel-mixed-XXXXXX";
        ASSERT_NE(::mkdtemp(directory), nullptr);
        m_directory = directory;
        m_module = m_directory + "/Chat.xml";
        std::ofstream(m_module) << hla::writeFomModule(hla::readFedFile(chatFed()));
    }
    std::string m_directory;
    std::string m_module;
};

}  // namespace

TEST_P(MixedLinks, ExchangeInteractionsBothWays) {
    const std::string federation = uniqueFederation();
    const bool thirteenFirst = std::string(GetParam().creator) == kHla13Kind;
    const char* firstKind = thirteenFirst ? kHla13Kind : kHla1516eKind;
    const char* secondKind = thirteenFirst ? kHla1516eKind : kHla13Kind;
    Federate first(firstKind, chatRequest(federation, "First", module()));
    Federate second(secondKind, chatRequest(federation, "Second", module()));
    Federate& thirteen = thirteenFirst ? first : second;
    Federate& twenty10 = thirteenFirst ? second : first;
    EXPECT_EQ(thirteen.link().runTimeName(), "HLA 1.3 run-time");
    EXPECT_EQ(twenty10.link().runTimeName(), "IEEE 1516-2010 run-time");

    const auto message = thirteen.interaction("InteractionRoot.Communication");
    const auto text = thirteen.parameter(message, "Message");
    for (Federate* f : {&thirteen, &twenty10}) {
        f->link().publishInteractionClass(message);
        f->link().subscribeInteractionClass(message);
    }
    EXPECT_TRUE(
        thirteen.sendUntil(twenty10, "receive InteractionRoot.Communication Message=from 1.3", [&] {
            thirteen.link().sendInteraction(message, {{text, bytes("from 1.3")}}, std::nullopt);
        }));
    EXPECT_TRUE(twenty10.sendUntil(
        thirteen, "receive InteractionRoot.Communication Message=from 2010", [&] {
            twenty10.link().sendInteraction(message, {{text, bytes("from 2010")}}, std::nullopt);
        }));
}

INSTANTIATE_TEST_SUITE_P(Creators, MixedLinks,
                         ::testing::Values(Mixing{kHla13Kind, false}, Mixing{kHla13Kind, true},
                                           Mixing{kHla1516eKind, false},
                                           Mixing{kHla1516eKind, true}),
                         nameOf);
