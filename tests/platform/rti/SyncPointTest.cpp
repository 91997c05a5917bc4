#include "Scenario.h"

#include "platform/hla/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace rti;
using namespace rti::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(RtiSyncPoints, AnnouncedToAllAndSynchronisedOnlyWhenEveryoneAchieved) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    const auto c = s.join("C");
    s.rt.registerFederationSynchronizationPoint(a, "ReadyToRun", "tag");
    EXPECT_THAT(s.drain(a), ElementsAre("registered ReadyToRun", "announce ReadyToRun"));
    EXPECT_THAT(s.drain(b), ElementsAre("announce ReadyToRun"));
    EXPECT_THAT(s.drain(c), ElementsAre("announce ReadyToRun"));
    s.rt.synchronizationPointAchieved(a, "ReadyToRun");
    s.rt.synchronizationPointAchieved(b, "ReadyToRun");
    for (auto f : {a, b, c}) EXPECT_THAT(s.drain(f), IsEmpty());
    s.rt.synchronizationPointAchieved(c, "ReadyToRun");
    for (auto f : {a, b, c}) EXPECT_THAT(s.drain(f), ElementsAre("synchronized ReadyToRun"));
    // The label is free again.
    s.rt.registerFederationSynchronizationPoint(b, "ReadyToRun");
    EXPECT_THAT(s.drain(b), ElementsAre("registered ReadyToRun", "announce ReadyToRun"));
}

TEST(RtiSyncPoints, LateJoinersAreAnnouncedAndMustAchieveToo) {
    Scenario s;
    const auto a = s.join("A");
    s.rt.registerFederationSynchronizationPoint(a, "P1");
    s.rt.registerFederationSynchronizationPoint(a, "P2");
    s.rt.synchronizationPointAchieved(a, "P1");
    s.drain(a);
    // P1 was synchronised already, with a alone; P2 is still open.
    const auto late = s.join("Late");
    EXPECT_THAT(s.drain(late), ElementsAre("announce P2"));
    s.rt.synchronizationPointAchieved(a, "P2");
    EXPECT_THAT(s.drain(a), IsEmpty());
    s.rt.synchronizationPointAchieved(late, "P2");
    EXPECT_THAT(s.drain(a), ElementsAre("synchronized P2"));
    EXPECT_THAT(s.drain(late), ElementsAre("synchronized P2"));
}

TEST(RtiSyncPoints, DuplicateAndEmptyLabelsAreRefused) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.rt.registerFederationSynchronizationPoint(a, "Once");
    s.drain(a);
    s.drain(b);
    s.rt.registerFederationSynchronizationPoint(b, "Once");
    s.rt.registerFederationSynchronizationPoint(b, "");
    EXPECT_THAT(s.drain(b),
                ElementsAre("refused Once: the label \"Once\" is already registered and not yet "
                            "synchronised",
                            "refused : the label is empty"));
    EXPECT_THAT(s.drain(a), IsEmpty());
}

TEST(RtiSyncPoints, ResigningCountsAsAchieved) {
    Scenario s;
    const auto a = s.join("A");
    const auto b = s.join("B");
    s.rt.registerFederationSynchronizationPoint(a, "Go");
    s.rt.synchronizationPointAchieved(a, "Go");
    s.drain(a);
    s.rt.resignFederationExecution(b);
    EXPECT_THAT(s.drain(a), ElementsAre("synchronized Go"));
}

TEST(RtiSyncPoints, AchievingWhatWasNotAnnouncedIsRefused) {
    Scenario s;
    const auto a = s.join("A");
    EXPECT_THROW(s.rt.synchronizationPointAchieved(a, "Never"), Error);
    s.rt.registerFederationSynchronizationPoint(a, "Twice");
    const auto b = s.join("B");
    s.rt.synchronizationPointAchieved(b, "Twice");
    try {
        s.rt.synchronizationPointAchieved(b, "Twice");
        FAIL() << "achieved twice";
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::SynchronizationPointLabelNotAnnounced);
        EXPECT_STREQ(e.what(), "the synchronisation point \"Twice\" was already achieved");
    }
}
