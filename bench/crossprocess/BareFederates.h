#pragma once

// Two federates of OpenRTI's own interfaces, with nothing of Tandrel between them and the RTI:
// what the provider's links are measured against in the same run. Each sends interactions of
// the chat room's Communication class from one thread of this process to another, polling
// the RTI after every send as the provider's RTI thread does.

#include <string>

namespace bench {

struct BareRate {
    double interactionsPerSecond = 0;
    std::string error;  // why there is no figure
};

// Through the RTI at address (rti://host:port), in a federation of its own.
BareRate bareThroughputHla13(const std::string& address, const std::string& fedFile, int count);
BareRate bareThroughputHla1516e(const std::string& address, const std::string& fomModule,
                                int count);

}  // namespace bench
