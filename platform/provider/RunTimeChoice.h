#pragma once

#include "platform/engine/ClientContext.h"
#include "platform/links/RunTimeLink.h"
#include "platform/links/embedded/RunTimeHost.h"
#include "platform/links/hla4/Hla4Settings.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>

namespace provider {

// Which run-time a controller joins through, from the client's provider variables:
// CAO_HLA_RTI = "embedded" (the default), "hla13", "hla1516e" or "hla4"; CAO_HLA_RTI_ADDRESS =
// where the RTI is, e.g. rti://127.0.0.1:14321, or for hla4 the Federate Protocol server, e.g.
// tcp://127.0.0.1:15164; CAO_HLA_RTI_LIBRARY = the directory of the RTI's libraries, or one of
// them, when they are not where Tandrel was built against; for hla4 the session's variables
// (Hla4Choice.h).
struct RunTimeChoice {
    enum class Kind { Embedded, Hla13, Hla1516e, Hla4 };
    Kind kind = Kind::Embedded;
    std::string address;
    // Where the RTI's libraries are: their directory or one of them; empty for where they
    // were found when Tandrel was built.
    std::string libraryHint;
    // For hla4: the server, what it is trusted by and shown, the session's bounds.
    links::hla4::Hla4Settings hla4;
};

// Whether the link of an RTI of the kind is there to load.
bool runTimeBuilt(RunTimeChoice::Kind kind);

// Whether the controllers a client opens in this context may join a run-time in other
// processes, and so wait on a network. Never throws: a value that will be refused counts.
bool joinsOverNetwork(const engine::ClientContext& client);

// Throws cao::Error describing an unknown value, an RTI whose link this installation lacks, or
// an RTI without an address. A variable the client does not have means its default.
RunTimeChoice runTimeChoiceFor(const engine::ClientContext& client);

// Joins federate to federation through the chosen run-time, creating the execution from the
// description (read from the module files) unless it exists; a federate that joins brings its
// modules too. Throws std::exception describing why not.
std::unique_ptr<links::RunTimeLink> joinRunTime(
    const RunTimeChoice& choice, std::shared_ptr<links::RunTimeHost> host,
    const std::string& federation, const std::string& federate, const QStringList& modules,
    hla::FederationDescription description, hla::LogicalTime initialTime);

}  // namespace provider
