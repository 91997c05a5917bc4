#pragma once

// What the server's sessions share beyond the run-time: each federation's time type as it
// was created, the names of the federates that joined through the server, and the object
// instance names they reserved. Used on the server's thread only.

#include "platform/fedpro/server/WireValues.h"
#include "platform/hla/Types.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace fedpro::server {

class ServerRegistry {
public:
    // Federations this server did not create (a window's) use HLAfloat64Time.
    void federationCreated(const std::string& federation, TimeKind kind);
    void federationDestroyed(const std::string& federation);
    TimeKind timeKindOf(const std::string& federation) const;
    // Forgets the federations the run-time no longer has (one destroyed by a window).
    void prune(const std::function<bool(const std::string&)>& exists);

    // False when another federate of the federation has the name.
    bool claimName(const std::string& federation, const std::string& name,
                   hla::FederateHandle federate);
    std::optional<std::string> nameOf(hla::FederateHandle federate) const;
    std::optional<hla::FederateHandle> federateNamed(const std::string& federation,
                                                     const std::string& name) const;
    // Releases the federate's name and reservations.
    void federateLeft(hla::FederateHandle federate);

    // False when another federate of the federation holds the reservation.
    bool reserve(const std::string& federation, const std::string& name,
                 hla::FederateHandle federate);
    bool reservedBy(const std::string& federation, const std::string& name,
                    hla::FederateHandle federate) const;
    void release(const std::string& federation, const std::string& name,
                 hla::FederateHandle federate);
    std::size_t reservationCount(hla::FederateHandle federate) const;

private:
    struct Named {
        std::string federation;
        std::string name;
    };
    std::map<std::string, TimeKind> m_timeKinds;
    std::map<hla::FederateHandle, Named> m_names;
    std::map<std::string, std::map<std::string, hla::FederateHandle>> m_federates;
    std::map<std::string, std::map<std::string, hla::FederateHandle>> m_reservations;
    std::map<hla::FederateHandle, std::set<std::pair<std::string, std::string>>> m_reservedBy;
};

}  // namespace fedpro::server
