#pragma once

#include "platform/links/RunTimeLink.h"
#include "platform/links/embedded/RunTimeHost.h"

#include <QString>

#include <memory>
#include <string>

namespace provider {

// Which run-time a controller joins through, from the provider's environment:
// CAO_HLA_RTI = "embedded" (the default) or "hla13"; CAO_HLA_RTI_ADDRESS = where the 1.3 RTI
// is, e.g. rti://127.0.0.1:14321.
struct RunTimeChoice {
    enum class Kind { Embedded, Hla13 };
    Kind kind = Kind::Embedded;
    std::string address;
    // Where the RTI's libraries are: their directory or one of them; empty for where they
    // were found when Tandrel was built.
    std::string libraryHint;
};

inline constexpr const char* kRunTimeVariable = "CAO_HLA_RTI";
inline constexpr const char* kAddressVariable = "CAO_HLA_RTI_ADDRESS";

// Whether the 1.3 run-time's plug-in is there to load.
bool hla13RunTimeBuilt();

// Throws cao::Error describing an unknown value, a choice of hla13 in a build without it, or
// hla13 without an address.
RunTimeChoice runTimeChoiceFromEnvironment();

// Joins federate to federation through the chosen run-time, creating the execution from the
// description (read from fedPath) unless it exists. Throws std::exception describing why not.
std::unique_ptr<links::RunTimeLink> joinRunTime(const RunTimeChoice& choice,
                                                std::shared_ptr<links::RunTimeHost> host,
                                                const std::string& federation,
                                                const std::string& federate, const QString& fedPath,
                                                hla::FederationDescription description,
                                                hla::LogicalTime initialTime);

}  // namespace provider
