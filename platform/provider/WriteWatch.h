#pragma once

#include "platform/provider/Federate.h"
#include "platform/provider/WrittenClass.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>
#include <set>
#include <vector>

namespace provider {

// Raises message 6, once a class, when a class this federate writes is subscribed by no other
// federate, at the class or above it, for longer than the bound after the first write; it
// names what the others subscribe instead where a name is close. Where the run-time does not
// report its federates' subscriptions nothing is said: it cannot be told.
class WriteWatch {
public:
    // How long the run-time gets to answer the request for the others' subscriptions.
    static constexpr std::chrono::milliseconds kAnswerGrace{2000};
    // How many of the classes subscribed instead a report names.
    static constexpr std::size_t kMaxNamed = 5;

    WriteWatch(Federate& federate, std::chrono::milliseconds bound)
        : m_federate(federate), m_bound(bound) {}

    void check(std::chrono::steady_clock::time_point now);

private:
    enum class Asked { Yes, NotYet, Cannot };
    // Asks the others for their subscriptions: not yet while the run-time has not reported
    // this federate; cannot when it does not tell subscriptions.
    Asked ask(std::chrono::steady_clock::time_point now);
    // What the others' reports say of a class written: whether one hears it, whether all
    // have answered, and what they subscribe near it.
    struct Verdict {
        QString what, where;
        QStringList instead;
        bool heard = false;
        bool told = true;
    };
    // The report of a write nobody hears, or none when someone does or it cannot be told.
    std::optional<QString> unheard(const WrittenClass& written);
    // None where the run-time's reports cannot be matched to the class.
    std::optional<Verdict> interactionVerdict(hla::InteractionClassHandle cls);
    std::optional<Verdict> attributeVerdict(hla::ObjectClassHandle cls,
                                            hla::AttributeHandle attribute);
    template <typename Handle, typename Subscribes>
    void nameSubscribers(const std::vector<Handle>& classes, Subscribes subscribes,
                         const std::string& (*nameOf)(const hla::FederationDescription&, Handle),
                         Verdict& verdict);
    const SubscriptionView::Subscribed* subscribed(const hla::Bytes& federate) const;
    QString federateName(const std::string& name) const;

    Federate& m_federate;
    std::chrono::milliseconds m_bound;
    std::set<WrittenClass> m_settled;
    std::optional<std::chrono::steady_clock::time_point> m_asked;
    std::vector<std::pair<hla::Bytes, std::string>> m_others;  // handle octets, name
};

}  // namespace provider
