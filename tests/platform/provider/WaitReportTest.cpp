// The texts that say what holds a time advance, from the federates the run-time reports.

#include "platform/provider/WaitReport.h"

#include <gtest/gtest.h>

using provider::AdvanceWait;
using provider::FederateRow;
using provider::timeAdvanceWait;

namespace {

FederateRow row(const char* name, bool regulating, bool advancing, double time,
                std::optional<double> galt = std::nullopt) {
    FederateRow r;
    r.name = name;
    r.regulating = regulating;
    r.constrained = true;
    r.advancing = advancing;
    r.time = time;
    r.lookahead = 1;
    r.galt = galt;
    r.reported = true;
    return r;
}

AdvanceWait waitOf(double requested) {
    return AdvanceWait{QStringLiteral("F"), row("Me", true, true, 0, 1), requested};
}

}  // namespace

TEST(WaitReport, TwoFederatesWaitingOnEachOtherAreNamedAsACycleAndTheKeyIgnoresTimes) {
    const std::vector<FederateRow> others{row("B", true, true, 0, 4)};  // GALT: my promise
    const provider::WaitText report = timeAdvanceWait(waitOf(3), others);
    EXPECT_EQ(report.text.toStdString(),
              "time advance to 3 waits for F.B: regulating, advancing from 0 to a time the "
              "run-time does not report, lookahead 1, waits for F.Me (a cycle)");
    // The same blockers at other times are the same report.
    const std::vector<FederateRow> later{row("B", true, true, 2, 6)};
    AdvanceWait wait = waitOf(5);
    wait.self.time = 2;
    wait.self.galt = 3;
    EXPECT_EQ(timeAdvanceWait(wait, later).key, report.key);
}

TEST(WaitReport, OnlyRegulatorsWhosePromiseReachesTheRequestHoldIt) {
    const std::vector<FederateRow> others{row("Far", true, false, 5), row("Quiet", false, false, 0),
                                          row("Near", true, false, 1)};
    const QString text = timeAdvanceWait(waitOf(3), others).text;
    EXPECT_TRUE(text.contains("F.Near: regulating, granted at 1")) << text.toStdString();
    EXPECT_FALSE(text.contains("Far"));
    EXPECT_FALSE(text.contains("Quiet"));
}

TEST(WaitReport, WithoutReportsOfOthersItSaysWhatThisFederateKnows) {
    const QString text = timeAdvanceWait(waitOf(3), std::nullopt).text;
    EXPECT_EQ(text.toStdString(),
              "time advance to 3 waits: GALT 1, this federate regulating and constrained "
              "at 0, lookahead 1; the run-time in use does not report its other federates");
}
