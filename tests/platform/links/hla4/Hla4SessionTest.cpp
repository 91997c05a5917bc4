// The hla4 link against a scripted server: the calls it makes and in what order, what it sends
// with them, the callbacks it takes and answers, and how it reads the server's refusals.

#include "FakeServer.h"
#include "Hla4TestSupport.h"

#include "platform/fedpro/protocol/Times.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace hla4test;

namespace {

std::string fileContent(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class Hla4Session : public ::testing::Test {
protected:
    links::LinkRequest request(const std::string& module = chatXml()) {
        links::LinkRequest r = chatRequest("ChatRoom", "Chat", module);
        r.bounds = quickBounds();
        return r;
    }
    std::unique_ptr<Hla4Federate> join(const std::string& module = chatXml()) {
        return std::make_unique<Hla4Federate>(request(module), quickSettings(server.address()));
    }
    // The link's refusal of a call.
    template <typename Call>
    static std::string refusalOf(Call call) {
        try {
            call();
        } catch (const std::exception& e) {
            return e.what();
        }
        ADD_FAILURE() << "the call was accepted";
        return {};
    }
    static wire::CallbackRequest interaction(const std::string& message) {
        wire::CallbackRequest callback;
        wire::ReceiveInteraction* receive = callback.mutable_receiveinteraction();
        receive->mutable_interactionclass()->set_data("HLAinteractionRoot.Communication");
        wire::ParameterHandleValue* value =
            receive->mutable_parametervalues()->add_parameterhandlevalue();
        value->mutable_parameterhandle()->set_data("HLAinteractionRoot.Communication/Message");
        value->set_value(message);
        return callback;
    }

    FakeServer server;
};

}  // namespace

TEST_F(Hla4Session, JoinsWithTheModulesContentAndLeavesInTheStandardsOrder) {
    auto chat = join();
    const Seen opened = server.seen();
    ASSERT_EQ(opened.calls,
              (std::vector<std::string>{"connectRequest",
                                        "createFederationExecutionWithModulesAndTimeRequest",
                                        "joinFederationExecutionRequest"}));
    const auto& create = opened.requests[1].createfederationexecutionwithmodulesandtimerequest();
    EXPECT_EQ(create.federationname(), "ChatRoom");
    EXPECT_EQ(create.logicaltimeimplementationname(), "HLAfloat64Time");
    ASSERT_EQ(create.fommodules().fommodule_size(), 1);
    EXPECT_EQ(create.fommodules().fommodule(0).file().name(), "Chat.xml");
    EXPECT_EQ(create.fommodules().fommodule(0).file().content(), fileContent(chatXml()));
    EXPECT_EQ(opened.requests[2].joinfederationexecutionrequest().federatetype(), "Chat");
    EXPECT_EQ(opened.requests[2].joinfederationexecutionrequest().federationname(), "ChatRoom");

    chat->leave();
    ASSERT_TRUE(server.waitFor([](const Seen& s) { return s.terminated == 1; }));
    const Seen left = server.seen();
    ASSERT_GE(left.calls.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(left.calls.end() - 3, left.calls.end()),
              (std::vector<std::string>{"resignFederationExecutionRequest",
                                        "destroyFederationExecutionRequest", "disconnectRequest"}));
    EXPECT_EQ(left.last("resignFederationExecutionRequest")
                  ->resignfederationexecutionrequest()
                  .resignaction(),
              wire::CANCEL_THEN_DELETE_THEN_DIVEST);
}

TEST_F(Hla4Session, AFedFileTravelsAsTheModuleWrittenFromIt) {
    auto chat = join(linktest::chatFed());
    const Seen seen = server.seen();
    const auto* create = seen.last("createFederationExecutionWithModulesAndTimeRequest");
    ASSERT_NE(create, nullptr);
    const auto& module = create->createfederationexecutionwithmodulesandtimerequest().fommodules();
    ASSERT_EQ(module.fommodule_size(), 1);
    EXPECT_EQ(module.fommodule(0).file().name(), "Chat.xml");
    EXPECT_NE(module.fommodule(0).file().content().find("<objectModel"), std::string::npos);
}

TEST_F(Hla4Session, AnExistingFederationIsJoinedWithTheModules) {
    server.setAnswer([](const wire::CallRequest& r) -> std::optional<wire::CallResponse> {
        if (r.has_createfederationexecutionwithmodulesandtimerequest()) {
            return refusal("FederationExecutionAlreadyExists", "ChatRoom exists");
        }
        return std::nullopt;
    });
    auto chat = join();
    const Seen seen = server.seen();
    const auto* joined = seen.last("joinFederationExecutionWithModulesRequest");
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(
        joined->joinfederationexecutionwithmodulesrequest().additionalfommodules().fommodule_size(),
        1);
    chat->leave();
    // Not created here, so still destroyed only if this was the last federate: asked all the
    // same, and the server decides.
    EXPECT_EQ(server.seen().count("destroyFederationExecutionRequest"), 1);
}

TEST_F(Hla4Session, HandlesAreLookedUpByTheir2010NamesOnceAndCallbacksTranslatedBack) {
    auto chat = join();
    const auto cls = chat->interaction("InteractionRoot.Communication");
    const auto message = chat->parameter(cls, "Message");
    chat->link().subscribeInteractionClass(cls);
    chat->link().publishInteractionClass(cls);
    chat->link().sendInteraction(cls, {{message, linktest::bytes("hello")}}, std::nullopt);
    chat->link().sendInteraction(cls, {{message, linktest::bytes("again")}}, std::nullopt);
    // Sends are not waited for: they stream.
    ASSERT_TRUE(
        server.waitFor([](const Seen& s) { return s.count("sendInteractionRequest") == 2; }));
    const Seen seen = server.seen();
    EXPECT_EQ(seen.count("getInteractionClassHandleRequest"), 1);
    EXPECT_EQ(seen.count("getParameterHandleRequest"), 1);
    const auto* sent = seen.last("sendInteractionRequest");
    ASSERT_NE(sent, nullptr);
    const auto& values = sent->sendinteractionrequest().parametervalues();
    ASSERT_EQ(values.parameterhandlevalue_size(), 1);
    EXPECT_EQ(values.parameterhandlevalue(0).parameterhandle().data(),
              "HLAinteractionRoot.Communication/Message");
    EXPECT_EQ(values.parameterhandlevalue(0).value(), "again");
    EXPECT_EQ(sent->sendinteractionrequest().interactionclass().data(),
              "HLAinteractionRoot.Communication");

    server.sendCallback(interaction("hi"));
    ASSERT_TRUE(chat->waitFor("receive InteractionRoot.Communication Message=hi"));
    ASSERT_TRUE(server.waitFor([](const Seen& s) { return s.callbackResponses.size() == 1; }));
    EXPECT_TRUE(server.seen().callbackResponses[0].has_callbacksucceeded());
}

TEST_F(Hla4Session, TimedDeliveriesCarryTheirTimeAndCallbacksOfNoUseAreTakenQuietly) {
    auto chat = join();
    const auto cls = chat->interaction("InteractionRoot.Communication");
    chat->link().subscribeInteractionClass(cls);
    wire::CallbackRequest timed;
    wire::ReceiveInteractionWithTime* receive = timed.mutable_receiveinteractionwithtime();
    *receive->mutable_interactionclass() = interaction("").receiveinteraction().interactionclass();
    receive->mutable_time()->set_data(fedpro::encodeFloat64Time(2.5));
    receive->set_receivedordertype(wire::TIMESTAMP);
    wire::CallbackRequest ignored;
    ignored.mutable_turninteractionson()->mutable_interactionclass()->set_data("x");
    server.sendCallback(ignored);
    server.sendCallback(timed);
    ASSERT_TRUE(chat->waitFor("receive InteractionRoot.Communication @2.5"));
    ASSERT_TRUE(server.waitFor([](const Seen& s) { return s.callbackResponses.size() == 2; }));
    EXPECT_TRUE(server.seen().callbackResponses[0].has_callbacksucceeded());
    EXPECT_EQ(chat->told().lines.size(), 1u);
}

TEST_F(Hla4Session, ACallbackThatCannotBeReadIsAnsweredAsFailedAndTheSessionGoesOn) {
    auto chat = join();
    server.sendCallback(wire::CallbackRequest());  // names no callback
    wire::CallbackRequest badTime;
    badTime.mutable_timeadvancegrant()->mutable_time()->set_data("abc");
    server.sendCallback(badTime);
    ASSERT_TRUE(server.waitFor([](const Seen& s) { return s.callbackResponses.size() == 2; }));
    for (const wire::CallbackResponse& response : server.seen().callbackResponses) {
        ASSERT_TRUE(response.has_callbackfailed());
        EXPECT_EQ(response.callbackfailed().exceptionname(), "FederateInternalError");
    }
    EXPECT_NE(server.seen().callbackResponses[1].callbackfailed().details().find("8 bytes"),
              std::string::npos)
        << server.seen().callbackResponses[1].callbackfailed().details();
    chat->link().registerSynchronizationPoint("still");  // the session goes on
}

TEST_F(Hla4Session, AServiceTheServerLacksIsNotSupportedWithTheServersText) {
    server.setAnswer([](const wire::CallRequest& r) -> std::optional<wire::CallResponse> {
        if (r.has_attributeownershipacquisitionrequest()) {
            return refusal("RTIinternalError",
                           "attributeOwnershipAcquisitionRequest is not supported here");
        }
        if (r.has_registerfederationsynchronizationpointrequest()) {
            return refusal("FederateNotExecutionMember", "not joined");
        }
        return std::nullopt;
    });
    auto chat = join();
    const auto cls = chat->objectClass("ObjectRoot.Participant");
    const auto name = chat->attribute(cls, "Name");
    chat->link().publishObjectClass(cls, {name});
    const auto object = chat->link().registerObjectInstance(cls, "");
    try {
        chat->link().attributeOwnershipAcquisition(object, {name});
        ADD_FAILURE() << "the acquisition was accepted";
    } catch (const links::NotSupported& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The HLA 4 run-time in use does not support requesting attribute ownership "
                  "(attributeOwnershipAcquisitionRequest is not supported here)");
    }
    EXPECT_EQ(refusalOf([&] { chat->link().registerSynchronizationPoint("s1"); }),
              "registering synchronization point s1: FederateNotExecutionMember: not joined");
}

TEST_F(Hla4Session, ANamedObjectIsReservedFirstAndRegisteredOnceTheServerSaysSo) {
    server.setAnswer([this](const wire::CallRequest& r) -> std::optional<wire::CallResponse> {
        if (r.has_reserveobjectinstancenamerequest()) {
            wire::CallbackRequest answer;
            const std::string& name = r.reserveobjectinstancenamerequest().objectinstancename();
            if (name == "taken") {
                answer.mutable_objectinstancenamereservationfailed()->set_objectinstancename(name);
            } else {
                answer.mutable_objectinstancenamereservationsucceeded()->set_objectinstancename(
                    name);
            }
            server.followWith(answer);  // after the call's response, as a server sends it
        }
        return std::nullopt;
    });
    auto chat = join();
    const auto cls = chat->objectClass("ObjectRoot.Participant");
    chat->link().publishObjectClass(cls, {chat->attribute(cls, "Name")});
    chat->link().registerObjectInstance(cls, "P1");
    const Seen seen = server.seen();
    const auto* registered = seen.last("registerObjectInstanceWithNameRequest");
    ASSERT_NE(registered, nullptr);
    EXPECT_EQ(registered->registerobjectinstancewithnamerequest().objectinstancename(), "P1");
    EXPECT_EQ(refusalOf([&] { chat->link().registerObjectInstance(cls, "taken"); }),
              "registering object taken: the name is reserved or in use by another federate");
}

TEST_F(Hla4Session, AnIntegerFederationsTimesTravelAsWholeNumbers) {
    server.setAnswer([](const wire::CallRequest& r) -> std::optional<wire::CallResponse> {
        if (r.has_joinfederationexecutionrequest()) {
            wire::CallResponse response;
            response.mutable_joinfederationexecutionresponse()
                ->mutable_result()
                ->set_logicaltimeimplementationname("HLAinteger64Time");
            return response;
        }
        return std::nullopt;
    });
    auto chat = join();
    chat->link().timeAdvanceRequest(3);
    const Seen seen = server.seen();
    const auto* advance = seen.last("timeAdvanceRequestRequest");
    ASSERT_NE(advance, nullptr);
    EXPECT_EQ(advance->timeadvancerequestrequest().time().data(), fedpro::encodeInteger64Time(3));
    EXPECT_NE(refusalOf([&] {
                  chat->link().timeAdvanceRequest(2.5);
              }).find("HLAinteger64Time: 2.5 is not a whole number"),
              std::string::npos);
}

TEST_F(Hla4Session, ASendTheServerRefusesLaterIsReportedByTheNextCall) {
    server.setAnswer([](const wire::CallRequest& r) -> std::optional<wire::CallResponse> {
        if (r.has_sendinteractionrequest()) return refusal("InteractionClassNotPublished", "no");
        return std::nullopt;
    });
    auto chat = join();
    const auto cls = chat->interaction("InteractionRoot.Communication");
    chat->link().sendInteraction(cls, {}, std::nullopt);  // returns before the answer
    ASSERT_TRUE(
        server.waitFor([](const Seen& s) { return s.count("sendInteractionRequest") == 1; }));
    // The refusal is on its way back; the next call reports it, once.
    std::string reported;
    for (int i = 0; i < 100 && reported.empty(); ++i) {
        reported = refusalOf([&] {
            chat->link().registerSynchronizationPoint("p" + std::to_string(i));
            throw std::runtime_error("");
        });
    }
    EXPECT_EQ(reported,
              "the server refused an earlier call: sending: InteractionClassNotPublished: no");
    chat->link().registerSynchronizationPoint("after");
}
