#include "platform/links/hla1516e/Hla1516eConnection.h"

#include <RTI/RTIambassadorFactory.h>

#include <cstdio>

namespace links {

namespace {

// The time a 1.3 RTI gives every federation, so that 1.3 federates can share it.
constexpr const wchar_t* kTimeImplementation = L"HLAfloat64Time";
// Callbacks taken from the RTI in one poll at most, so that a flood does not hold the thread.
constexpr int kCallbacksPerPoll = 256;

std::unique_ptr<rti1516e::RTIambassador> makeAmbassador() {
    try {
        rti1516e::RTIambassadorFactory factory;
        // Whichever smart pointer the RTI's headers were configured with.
        auto made = factory.createRTIambassador();
        return std::unique_ptr<rti1516e::RTIambassador>(made.release());
    } catch (const rti1516e::Exception& e) {
        throw std::runtime_error("the RTI could not make an ambassador: " + describe(e));
    }
}

std::vector<std::wstring> wideAll(const std::vector<std::string>& texts) {
    std::vector<std::wstring> result;
    result.reserve(texts.size());
    for (const std::string& text : texts) result.push_back(wide(text));
    return result;
}

}  // namespace

Hla1516eConnection::Hla1516eConnection(const LinkRequest& request)
    : m_address(request.address),
      m_federation(request.federation),
      m_federate(request.federate),
      m_bounds(request.bounds),
      m_description(request.description),
      m_ambassador(makeAmbassador()),
      m_handles(*m_ambassador, m_description),
      m_callbacks(m_handles) {}

Hla1516eConnection::~Hla1516eConnection() {
    try {
        resign();
    } catch (const std::exception& e) {
        // The RTI ends the membership of a federate whose connection drops.
        std::fprintf(stderr, "tandrel: leaving federation execution %s at %s: %s\n",
                     m_federation.c_str(), m_address.c_str(), e.what());
    }
    disconnect();
    m_ambassador.reset();  // before the callbacks it was told about
}

void Hla1516eConnection::connect(const StepReport& step) {
    step("connecting to " + m_address);
    try {
        m_ambassador->connect(m_callbacks, rti1516e::HLA_EVOKED, wide(m_address));
    } catch (const rti1516e::Exception& e) {
        throw std::runtime_error("the RTI at " + m_address + " could not be reached (" +
                                 describe(e) + ")");
    }
    m_connected = true;
}

void Hla1516eConnection::join(const std::vector<std::string>& modules, const StepReport& step) {
    const std::vector<std::wstring> fom = wideAll(modules);
    step("creating federation execution " + m_federation + " at " + m_address);
    bool created = false;
    try {
        m_ambassador->createFederationExecution(wide(m_federation), fom, kTimeImplementation);
        created = true;
    } catch (const rti1516e::FederationExecutionAlreadyExists&) {
        // Joined below, bringing the modules along.
    } catch (const rti1516e::Exception&) {
        rethrowRti("the RTI at " + m_address + " refused to create federation execution " +
                   m_federation);
    }
    step("joining federation execution " + m_federation + " at " + m_address);
    try {
        joinWith(created ? std::vector<std::wstring>{} : fom);
    } catch (const std::runtime_error&) {
        if (created) {
            try {
                m_ambassador->destroyFederationExecution(wide(m_federation));
            } catch (const rti1516e::Exception&) {
                // Someone joined meanwhile: the execution is theirs now.
            }
        }
        throw;
    }
}

void Hla1516eConnection::joinWith(const std::vector<std::wstring>& modules) {
    const std::string refused = "the RTI refused to join federation execution " + m_federation;
    try {
        m_ambassador->joinFederationExecution(wide(m_federate), wide(m_federation), modules);
    } catch (const rti1516e::InconsistentFDD&) {
        if (modules.empty()) rethrowRti(refused);
        // A federation that a 1.3 federate created from a FED file whose interaction root is
        // receive-ordered takes no 2010 module (WriterRules.h). The federate joins with the
        // classes the federation has; one it needs and the federation lacks is named when
        // it is first used.
        try {
            m_ambassador->joinFederationExecution(wide(m_federate), wide(m_federation),
                                                  std::vector<std::wstring>{});
        } catch (const rti1516e::Exception&) {
            rethrowRti(refused);
        }
    } catch (const rti1516e::Exception&) {
        rethrowRti(refused);
    }
    m_joined = true;
}

void Hla1516eConnection::resign() {
    if (m_joined) {
        if (!m_callbacks.lost()) {
            try {
                m_ambassador->resignFederationExecution(rti1516e::CANCEL_THEN_DELETE_THEN_DIVEST);
            } catch (const rti1516e::FederateNotExecutionMember&) {
                // The RTI has let the federate go already.
            } catch (const rti1516e::Exception&) {
                // A connection that is gone leaves nothing to resign from; anything else stands.
                poll();
                if (!m_callbacks.lost()) rethrowRti("resigning from " + m_federation);
            }
        }
        m_joined = false;
        if (!m_callbacks.lost()) {
            try {
                m_ambassador->destroyFederationExecution(wide(m_federation));
            } catch (const rti1516e::Exception&) {
                // Others are still joined, or the execution is gone already.
            }
        }
    }
    disconnect();
}

void Hla1516eConnection::disconnect() {
    if (!m_connected) return;
    // Not evoked again even when the RTI refuses: evoking an ambassador that is not
    // connected may bring the process down.
    m_connected = false;
    try {
        m_ambassador->disconnect();
    } catch (const rti1516e::Exception& e) {
        std::fprintf(stderr, "tandrel: disconnecting from the RTI at %s: %s\n", m_address.c_str(),
                     describe(e).c_str());
    }
}

void Hla1516eConnection::poll() {
    if (!m_connected || m_callbacks.lost()) return;
    try {
        // evokeCallback answers whether more callbacks wait.
        for (int i = 0; i < kCallbacksPerPoll && m_ambassador->evokeCallback(0.0); ++i) {
        }
    } catch (const rti1516e::Exception& e) {
        m_callbacks.lose(describe(e));
    }
}

void Hla1516eConnection::evokeFor(double seconds) {
    if (!m_connected || m_callbacks.lost()) return;
    try {
        m_ambassador->evokeCallback(seconds);
    } catch (const rti1516e::Exception& e) {
        m_callbacks.lose(describe(e));
    }
}

void Hla1516eConnection::failIfLost(const std::string& what) const {
    if (m_callbacks.lost()) {
        throw std::runtime_error(what + ": the connection to the RTI at " + m_address +
                                 " was lost; close the controller and open it again");
    }
}

}  // namespace links
