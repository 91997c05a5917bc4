#pragma once

// The callbacks a Federate Protocol server sends, each taken as it arrives and kept, in order,
// until it is handed on (TranslatedCallbacks.h). What the session waits for itself (a name
// reservation, the grant of its initial time) it notes instead; callbacks the provider has no
// use for are taken and passed over, as a federate ambassador that ignores them would.

#include "platform/links/RunTimeLink.h"
#include "platform/links/TranslatedCallbacks.h"
#include "platform/links/hla4/Hla4Handles.h"
#include "platform/links/hla4/TimeCodec.h"

#include <map>
#include <optional>
#include <string>

namespace links::hla4 {

class Hla4Callbacks : public TranslatedCallbacks<Hla4Handles> {
public:
    // time: the session's, which joining sets.
    Hla4Callbacks(Hla4Handles& handles, const TimeCodec& time)
        : TranslatedCallbacks(handles), m_time(time) {}

    // Takes one callback: nullopt when it was taken, or why it could not be.
    std::optional<std::string> take(const wire::CallbackRequest& request);

    // The session was lost; its reason has been queued.
    bool lost() const { return m_lost; }
    void lose(const std::string& reason);

    // The answer to reserving an object instance name: pending until it has come.
    enum class Reservation { Pending, Succeeded, Failed };
    void expectReservation(const std::string& name) { m_reservations[name] = Reservation::Pending; }
    Reservation reservation(const std::string& name) const;
    void forgetReservation(const std::string& name) { m_reservations.erase(name); }

private:
    // Receive-order deliveries carry no time, even when their sender stamped them.
    template <class Delivery>
    std::optional<double> timeOf(const Delivery& delivery) const;
    void reserved(const std::string& name, Reservation answer);

    const TimeCodec& m_time;
    std::map<std::string, Reservation> m_reservations;
    bool m_lost = false;
};

}  // namespace links::hla4
