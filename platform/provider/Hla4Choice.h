#pragma once

#include "platform/engine/ClientContext.h"
#include "platform/links/hla4/Hla4Settings.h"

namespace provider {

// What CAO_HLA_RTI=hla4 takes from the client's provider variables: the server
// (CAO_HLA_RTI_ADDRESS), the session's bounds in seconds (CAO_HLA_HEARTBEAT, CAO_HLA_TIMEOUT,
// CAO_HLA_RESUME_WINDOW; defaults 10, 30 and 60), the certificates trusted for tls://
// (CAO_HLA_RTI_CA_FILE) and the server's password (CAO_HLA_RTI_PASSWORD_FILE), the files taken
// from the client's working directory. Throws cao::Error describing a value it refuses.
links::hla4::Hla4Settings hla4SettingsFor(const engine::ClientContext& client);

}  // namespace provider
