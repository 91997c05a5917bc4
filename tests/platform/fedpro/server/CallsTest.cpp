// Calls as federates make them over the protocol: a chat between two sessions, an unserved
// call named in its refusal, FOM modules by bare name only, name reservations, and a
// federation of integer times.

#include "ServerFixture.h"
#include "ZipBuilder.h"

#include "platform/fedpro/protocol/Times.h"

namespace fedpro::testing {
namespace {

using CallsTest = ServerFixture;

std::string interactionClass(RawClient& client, const std::string& name) {
    pb::CallRequest request;
    request.mutable_getinteractionclasshandlerequest()->set_interactionclassname(name);
    const pb::CallResponse response = client.call(request);
    EXPECT_EQ(exceptionOf(response), "") << response.exceptiondata().details();
    return response.getinteractionclasshandleresponse().result().data();
}

TEST_F(CallsTest, TwoSessionsChatThroughTheRunTime) {
    auto alice = connected();
    auto bob = connected();
    const pb::CallResponse created = alice->call(createRequest("ChatRoom", "Chat.xml", chatXml()));
    ASSERT_TRUE(created.has_createfederationexecutionwithmodulesandtimeresponse())
        << created.exceptiondata().details();
    const pb::CallResponse joined = alice->call(joinRequest("ChatRoom", "Alice"));
    ASSERT_EQ(exceptionOf(joined), "") << joined.exceptiondata().details();
    const pb::JoinResult& result = joined.joinfederationexecutionwithnameresponse().result();
    EXPECT_EQ(result.federatehandle().data().size(), 4u);
    EXPECT_EQ(result.logicaltimeimplementationname(), "HLAfloat64Time");
    ASSERT_EQ(exceptionOf(bob->call(joinRequest("ChatRoom", "Bob"))), "");
    EXPECT_EQ(exceptionOf(bob->call(joinRequest("ChatRoom", "Bob"))),
              "FederateAlreadyExecutionMember");

    const std::string cls = interactionClass(*alice, "Communication");
    EXPECT_EQ(interactionClass(*bob, "HLAinteractionRoot.Communication"), cls);
    pb::CallRequest parameter;
    parameter.mutable_getparameterhandlerequest()->mutable_interactionclass()->set_data(cls);
    parameter.mutable_getparameterhandlerequest()->set_parametername("Message");
    const std::string message = alice->call(parameter).getparameterhandleresponse().result().data();

    pb::CallRequest publish;
    publish.mutable_publishinteractionclassrequest()->mutable_interactionclass()->set_data(cls);
    ASSERT_EQ(exceptionOf(alice->call(publish)), "");
    pb::CallRequest subscribe;
    subscribe.mutable_subscribeinteractionclassrequest()->mutable_interactionclass()->set_data(cls);
    ASSERT_EQ(exceptionOf(bob->call(subscribe)), "");

    pb::CallRequest send;
    auto* interaction = send.mutable_sendinteractionrequest();
    interaction->mutable_interactionclass()->set_data(cls);
    auto* value = interaction->mutable_parametervalues()->add_parameterhandlevalue();
    value->mutable_parameterhandle()->set_data(message);
    value->set_value("hello, Bob");
    interaction->set_usersuppliedtag("tag");
    ASSERT_EQ(exceptionOf(alice->call(send)), "");

    const pb::CallbackRequest callback = bob->callback();
    ASSERT_TRUE(callback.has_receiveinteraction()) << callback.DebugString();
    const pb::ReceiveInteraction& received = callback.receiveinteraction();
    EXPECT_EQ(received.interactionclass().data(), cls);
    ASSERT_EQ(received.parametervalues().parameterhandlevalue_size(), 1);
    EXPECT_EQ(received.parametervalues().parameterhandlevalue(0).value(), "hello, Bob");
    EXPECT_EQ(received.usersuppliedtag(), "tag");
    EXPECT_EQ(received.transportationtype().data(), handleBytes(1));

    pb::CallRequest resign;
    resign.mutable_resignfederationexecutionrequest()->set_resignaction(
        pb::CANCEL_THEN_DELETE_THEN_DIVEST);
    EXPECT_EQ(exceptionOf(alice->call(resign)), "");
    EXPECT_EQ(exceptionOf(bob->call(resign)), "");
    pb::CallRequest destroy;
    destroy.mutable_destroyfederationexecutionrequest()->set_federationname("ChatRoom");
    EXPECT_EQ(exceptionOf(alice->call(destroy)), "");
}

TEST_F(CallsTest, ObjectsAreRegisteredUnderReservedNamesAndDiscovered) {
    auto alice = connected();
    auto bob = connected();
    ASSERT_EQ(exceptionOf(alice->call(createRequest("Objects", "Chat.xml", chatXml()))), "");
    ASSERT_EQ(exceptionOf(alice->call(joinRequest("Objects", "Alice"))), "");
    ASSERT_EQ(exceptionOf(bob->call(joinRequest("Objects", "Bob"))), "");
    pb::CallRequest classHandle;
    classHandle.mutable_getobjectclasshandlerequest()->set_objectclassname("Participant");
    const std::string cls = alice->call(classHandle).getobjectclasshandleresponse().result().data();
    pb::CallRequest attribute;
    attribute.mutable_getattributehandlerequest()->mutable_objectclass()->set_data(cls);
    attribute.mutable_getattributehandlerequest()->set_attributename("Name");
    const std::string name = alice->call(attribute).getattributehandleresponse().result().data();

    pb::CallRequest publish;
    publish.mutable_publishobjectclassattributesrequest()->mutable_objectclass()->set_data(cls);
    publish.mutable_publishobjectclassattributesrequest()
        ->mutable_attributes()
        ->add_attributehandle()
        ->set_data(name);
    ASSERT_EQ(exceptionOf(alice->call(publish)), "");
    pb::CallRequest subscribe;
    subscribe.mutable_subscribeobjectclassattributesrequest()->mutable_objectclass()->set_data(cls);
    *subscribe.mutable_subscribeobjectclassattributesrequest()->mutable_attributes() =
        publish.publishobjectclassattributesrequest().attributes();
    ASSERT_EQ(exceptionOf(bob->call(subscribe)), "");

    pb::CallRequest registerNamed;
    registerNamed.mutable_registerobjectinstancewithnamerequest()->mutable_objectclass()->set_data(
        cls);
    registerNamed.mutable_registerobjectinstancewithnamerequest()->set_objectinstancename("Alice");
    EXPECT_EQ(exceptionOf(alice->call(registerNamed)), "ObjectInstanceNameNotReserved");

    pb::CallRequest reserve;
    reserve.mutable_reserveobjectinstancenamerequest()->set_objectinstancename("Alice");
    ASSERT_EQ(exceptionOf(alice->call(reserve)), "");
    EXPECT_TRUE(alice->callback().has_objectinstancenamereservationsucceeded());
    ASSERT_EQ(exceptionOf(bob->call(reserve)), "");
    EXPECT_TRUE(bob->callback().has_objectinstancenamereservationfailed());
    reserve.mutable_reserveobjectinstancenamerequest()->set_objectinstancename("HLAmine");
    EXPECT_EQ(exceptionOf(bob->call(reserve)), "IllegalName");

    const pb::CallResponse registered = alice->call(registerNamed);
    ASSERT_EQ(exceptionOf(registered), "") << registered.exceptiondata().details();
    const std::string object = registered.registerobjectinstancewithnameresponse().result().data();
    const pb::CallbackRequest discovered = bob->callback();
    ASSERT_TRUE(discovered.has_discoverobjectinstance()) << discovered.DebugString();
    EXPECT_EQ(discovered.discoverobjectinstance().objectinstancename(), "Alice");
    EXPECT_EQ(discovered.discoverobjectinstance().objectinstance().data(), object);

    // Asked for its values, by instance and by class, the owner is told to provide them.
    pb::CallRequest byInstance;
    auto* instance = byInstance.mutable_requestinstanceattributevalueupdaterequest();
    instance->mutable_objectinstance()->set_data(object);
    *instance->mutable_attributes() = publish.publishobjectclassattributesrequest().attributes();
    instance->set_usersuppliedtag("again");
    ASSERT_EQ(exceptionOf(bob->call(byInstance)), "");
    pb::CallRequest byClass;
    auto* ofClass = byClass.mutable_requestclassattributevalueupdaterequest();
    ofClass->mutable_objectclass()->set_data(cls);
    *ofClass->mutable_attributes() = instance->attributes();
    ASSERT_EQ(exceptionOf(bob->call(byClass)), "");
    for (const char* tag : {"again", ""}) {
        const pb::CallbackRequest provide = alice->callback();
        ASSERT_TRUE(provide.has_provideattributevalueupdate()) << provide.DebugString();
        EXPECT_EQ(provide.provideattributevalueupdate().objectinstance().data(), object);
        ASSERT_EQ(provide.provideattributevalueupdate().attributes().attributehandle_size(), 1);
        EXPECT_EQ(provide.provideattributevalueupdate().attributes().attributehandle(0).data(),
                  name);
        EXPECT_EQ(provide.provideattributevalueupdate().usersuppliedtag(), tag);
    }
}

TEST_F(CallsTest, AnUnservedCallIsNamedInItsRefusal) {
    auto client = connected();
    pb::CallRequest save;
    save.mutable_requestfederationsaverequest();
    const pb::CallResponse response = client->call(save);
    EXPECT_EQ(exceptionOf(response), "RTIinternalError");
    EXPECT_EQ(response.exceptiondata().details(),
              "requestFederationSaveRequest is not supported by the Tandrel engine's server");
}

TEST_F(CallsTest, BareModuleNamesAreLookedForOnlyInTheEngineDirectories) {
    auto client = connected();
    pb::CallRequest byName;
    auto* create = byName.mutable_createfederationexecutionrequest();
    create->set_federationname("ByName");
    create->mutable_fommodule()->set_url("file:///somewhere/else/Chat.xml");
    EXPECT_EQ(exceptionOf(client->call(byName)), "");

    create->set_federationname("Elsewhere");
    create->mutable_fommodule()->set_url("/etc/passwd");
    const pb::CallResponse refused = client->call(byName);
    EXPECT_EQ(exceptionOf(refused), "CouldNotOpenFOM");
    // It names what the client asked for, never where the engine looked.
    EXPECT_NE(refused.exceptiondata().details().find("passwd"), std::string::npos);
    EXPECT_EQ(refused.exceptiondata().details().find(TANDREL_SOURCE_DATA_DIR), std::string::npos);

    // An IEEE 1516-2010 client hears the 2010 names.
    auto old = connected("API.version=IEEE 1516-2010\n");
    const pb::CallResponse broken =
        old->call(createRequest("Broken", "Broken.xml", "<objectModel"));
    EXPECT_EQ(exceptionOf(broken), "ErrorReadingFDD");
}

TEST_F(CallsTest, CompressedModulesAreUnpackedWithinTheirBound) {
    auto client = connected();
    pb::CallRequest zipped;
    auto* create = zipped.mutable_createfederationexecutionrequest();
    create->set_federationname("Zipped");
    create->mutable_fommodule()->set_compressedmodule(zipOf("Chat.xml", chatXml()));
    const pb::CallResponse created = client->call(zipped);
    EXPECT_EQ(exceptionOf(created), "") << created.exceptiondata().details();

    create->set_federationname("Bomb");
    create->mutable_fommodule()->set_compressedmodule(
        zipOf("Bomb.xml", std::string((std::size_t{16} << 20) + 1, ' ')));
    const pb::CallResponse refused = client->call(zipped);
    EXPECT_EQ(exceptionOf(refused), "ErrorReadingFOM");
    EXPECT_NE(refused.exceptiondata().details().find("16 MiB"), std::string::npos);

    create->mutable_fommodule()->set_compressedmodule("PK not a zip at all");
    EXPECT_EQ(exceptionOf(client->call(zipped)), "ErrorReadingFOM");
}

TEST_F(CallsTest, IntegerTimesTravelExactlyAndBeyond2To53AreRefused) {
    auto client = connected();
    ASSERT_EQ(exceptionOf(client->call(
                  createRequest("Counting", "Chat.xml", chatXml(), "HLAinteger64Time"))),
              "");
    const pb::CallResponse joined = client->call(joinRequest("Counting", "Counter"));
    ASSERT_EQ(
        joined.joinfederationexecutionwithnameresponse().result().logicaltimeimplementationname(),
        "HLAinteger64Time");

    pb::CallRequest regulate;
    regulate.mutable_enabletimeregulationrequest()->mutable_lookahead()->set_data(
        encodeInteger64Time(1));
    ASSERT_EQ(exceptionOf(client->call(regulate)), "");
    const pb::CallbackRequest enabled = client->callback();
    ASSERT_TRUE(enabled.has_timeregulationenabled()) << enabled.DebugString();
    EXPECT_EQ(decodeInteger64Time(enabled.timeregulationenabled().time().data()), 0);

    pb::CallRequest advance;
    advance.mutable_timeadvancerequestrequest()->mutable_time()->set_data(
        encodeInteger64Time((std::int64_t{1} << 53) + 1));
    const pb::CallResponse refused = client->call(advance);
    EXPECT_EQ(exceptionOf(refused), "InvalidLogicalTime");
    EXPECT_NE(refused.exceptiondata().details().find("2^53"), std::string::npos);

    advance.mutable_timeadvancerequestrequest()->mutable_time()->set_data(
        encodeInteger64Time(std::int64_t{1} << 52));
    ASSERT_EQ(exceptionOf(client->call(advance)), "");
    const pb::CallbackRequest granted = client->callback();
    ASSERT_TRUE(granted.has_timeadvancegrant()) << granted.DebugString();
    EXPECT_EQ(decodeInteger64Time(granted.timeadvancegrant().time().data()), std::int64_t{1} << 52);
}

}  // namespace
}  // namespace fedpro::testing
