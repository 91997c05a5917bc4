#pragma once

// Federates of OpenRTI's own interfaces, with nothing of Tandrel between them and the RTI:
// what the provider's links are measured against in the same run. Each pair runs on two
// threads of this process, each federate with a connection of its own to the RTI, and
// polls the RTI after every send as the provider's RTI thread does.

#include <string>
#include <vector>

namespace bench {

// OpenRTI keeps one connection per address in a process, shared by every federate that joins
// through it: the second of a pair spells the same loopback address differently, so that its
// messages travel through the server, as those of federates in two processes do.
inline std::string secondConnection(const std::string& address) {
    const std::string loopback = "127.0.0.1";
    const auto at = address.find(loopback);
    if (at == std::string::npos) return address;
    return address.substr(0, at) + "127.1" + address.substr(at + loopback.size());
}

struct BareRate {
    double interactionsPerSecond = 0;
    std::string error;  // why there is no figure
};

struct BareRoundTrips {
    std::vector<double> roundTripsMs;
    std::string error;  // why there is no figure
};

struct BareIdle {
    double cpuShare = 0;  // of one core
    std::string error;    // why there is no figure
};

// Interactions one way as fast as the sender sends them, through the RTI at address
// (rti://host:port), in a federation of its own.
BareRate bareThroughputHla13(const std::string& address, const std::string& fedFile, int count);
BareRate bareThroughputHla1516e(const std::string& address, const std::string& fomModule,
                                int count);

// count interactions each answered by a second federate, gapMs of quiet before each.
BareRoundTrips bareRoundTripsHla13(const std::string& address, const std::string& fedFile,
                                   int count, int gapMs);
BareRoundTrips bareRoundTripsHla1516e(const std::string& address, const std::string& fomModule,
                                      int count, int gapMs);

// The CPU of this process while one joined federate waits in the RTI for callbacks.
BareIdle bareIdleHla13(const std::string& address, const std::string& fedFile, int measureMs);
BareIdle bareIdleHla1516e(const std::string& address, const std::string& fomModule, int measureMs);

}  // namespace bench
