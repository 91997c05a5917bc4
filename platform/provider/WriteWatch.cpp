#include "platform/provider/WriteWatch.h"

#include "cao/ProviderContract.h"
#include "platform/provider/Text.h"

#include <QStringList>

#include <algorithm>

namespace provider {

namespace {

// Classes whose last names are at most this many edits apart are close enough to be named.
constexpr std::size_t kCloseEdits = 2;

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string lastName(const std::string& fullName) {
    const auto dot = fullName.rfind('.');
    return dot == std::string::npos ? fullName : fullName.substr(dot + 1);
}

// The class and every class above it, nearest first.
template <typename Handle, typename Lookup>
std::vector<Handle> chainOf(Handle cls, Lookup info) {
    std::vector<Handle> chain;
    for (std::optional<Handle> c = cls; c; c = info(*c).parent) chain.push_back(*c);
    return chain;
}

// Classes a writer of cls may have meant others to subscribe: its siblings, those below it and
// those whose names are close, but not those above it (a subscriber of one hears it).
template <typename Handle, typename Lookup>
std::vector<Handle> closeTo(Handle cls, std::size_t count, Lookup info,
                            const std::vector<Handle>& chain) {
    std::vector<Handle> close;
    const auto& written = info(cls);
    for (std::size_t i = 0; i < count; ++i) {
        const auto candidate = static_cast<Handle>(i);
        if (std::find(chain.begin(), chain.end(), candidate) != chain.end()) continue;
        const auto& other = info(candidate);
        bool below = false;
        for (auto c = other.parent; c && !below; c = info(*c).parent) below = *c == cls;
        const bool sibling = other.parent == written.parent;
        if (below || sibling ||
            editDistance(lastName(other.fullName), lastName(written.fullName)) <= kCloseEdits) {
            close.push_back(candidate);
        }
    }
    return close;
}

}  // namespace

void WriteWatch::check(std::chrono::steady_clock::time_point now) {
    std::vector<WrittenClass> due;
    for (const auto& [written, first] : m_federate.writes()) {
        if (m_settled.count(written) != 0) continue;
        if (now - first.since >= m_bound) due.push_back(written);
    }
    if (due.empty()) return;
    if (!m_asked) {
        Asked asked = ask(now);
        if (asked == Asked::NotYet && now - m_federate.view().watchingSince() >= kAnswerGrace) {
            asked = Asked::Cannot;
        }
        if (asked == Asked::Cannot) {
            // Nobody's subscriptions can be told; saying nothing is better than a guess.
            for (const WrittenClass& written : due) m_settled.insert(written);
        }
        if (asked != Asked::Yes) return;
    }
    const auto& reported = m_federate.subscriptions().federates();
    const bool complete = std::all_of(m_others.begin(), m_others.end(), [&](const auto& other) {
        const auto it = reported.find(other.first);
        return it != reported.end() && it->second.complete();
    });
    if (!complete && now - *m_asked < kAnswerGrace) return;
    for (const WrittenClass& written : due) {
        m_settled.insert(written);
        const auto report = unheard(written);
        if (!report) continue;
        const auto first = m_federate.writes().find(written);
        m_federate.unheard(*report);
        m_federate.raise(cao::contract::message::WaitReport, cao::Variant::fromString(*report),
                         first->second.variable);
    }
    m_asked.reset();
}

WriteWatch::Asked WriteWatch::ask(std::chrono::steady_clock::time_point now) {
    FederationView& view = m_federate.view();
    if (!view.watch()) return Asked::Cannot;
    const std::optional<FederateRow> own = view.own(m_federate.ownState());
    if (!own) return Asked::NotYet;  // until the run-time reports this federate, or for good
    m_others.clear();
    for (const FederateRow& row : view.federates()) {
        if (row.object != own->object && !row.handle.empty()) {
            m_others.emplace_back(row.handle, row.name);
        }
    }
    // The others' objects may be reported a moment after this federate's own.
    if (m_others.empty() && now - view.watchingSince() < kAnswerGrace) return Asked::NotYet;
    std::vector<hla::Bytes> handles;
    for (const auto& other : m_others) handles.push_back(other.first);
    if (!m_others.empty() && !m_federate.subscriptions().ask(handles)) return Asked::Cannot;
    m_asked = now;
    return Asked::Yes;
}

const SubscriptionView::Subscribed* WriteWatch::subscribed(const hla::Bytes& federate) const {
    const auto& reported = m_federate.subscriptions().federates();
    const auto it = reported.find(federate);
    return it == reported.end() ? nullptr : &it->second;
}

QString WriteWatch::federateName(const std::string& name) const {
    return text(m_federate.federationName()) + QLatin1Char('.') + text(name);
}

template <typename Handle, typename Subscribes>
void WriteWatch::nameSubscribers(const std::vector<Handle>& classes, Subscribes subscribes,
                                 const std::string& (*nameOf)(const hla::FederationDescription&,
                                                              Handle),
                                 Verdict& verdict) {
    links::RunTimeLink& link = m_federate.link();
    for (Handle c : classes) {
        const auto octets = link.momHandle(c);
        if (!octets) continue;
        for (const auto& [federate, name] : m_others) {
            const auto* s = subscribed(federate);
            if (s && subscribes(*s, *octets)) {
                verdict.instead << QStringLiteral("%1 subscribes %2")
                                       .arg(federateName(name),
                                            text(nameOf(m_federate.description(), c)));
            }
        }
    }
}

namespace {

const std::string& interactionName(const hla::FederationDescription& fom,
                                   hla::InteractionClassHandle c) {
    return fom.interactionClass(c).fullName;
}

const std::string& objectName(const hla::FederationDescription& fom, hla::ObjectClassHandle c) {
    return fom.objectClass(c).fullName;
}

}  // namespace

std::optional<WriteWatch::Verdict> WriteWatch::interactionVerdict(hla::InteractionClassHandle cls) {
    const hla::FederationDescription& fom = m_federate.description();
    const auto info = [&](hla::InteractionClassHandle c) -> const auto& {
        return fom.interactionClass(c);
    };
    Verdict verdict;
    verdict.what = QStringLiteral("interaction %1").arg(text(info(cls).fullName));
    verdict.where = QStringLiteral("it or a class above it");
    const auto chain = chainOf(cls, info);
    for (hla::InteractionClassHandle c : chain) {
        const auto octets = m_federate.link().momHandle(c);
        if (!octets) return std::nullopt;
        for (const auto& [federate, name] : m_others) {
            const auto* s = subscribed(federate);
            verdict.told = verdict.told && s != nullptr && s->complete();
            verdict.heard = verdict.heard || (s && s->interactionClasses.count(*octets) != 0);
        }
    }
    nameSubscribers(
        closeTo(cls, fom.interactionClassCount(), info, chain),
        [](const SubscriptionView::Subscribed& s, const hla::Bytes& octets) {
            return s.interactionClasses.count(octets) != 0;
        },
        &interactionName, verdict);
    return verdict;
}

std::optional<WriteWatch::Verdict> WriteWatch::attributeVerdict(hla::ObjectClassHandle cls,
                                                                hla::AttributeHandle attribute) {
    const hla::FederationDescription& fom = m_federate.description();
    links::RunTimeLink& link = m_federate.link();
    const auto info = [&](hla::ObjectClassHandle c) -> const auto& {
        return fom.objectClass(c);
    };
    const QString attributeName = text(fom.attribute(attribute).name);
    const QString clsName = text(info(cls).fullName);
    Verdict verdict;
    verdict.what = QStringLiteral("attribute %1 of %2").arg(attributeName, clsName);
    verdict.where = QStringLiteral("it at %1 or a class above it").arg(clsName);
    const auto chain = chainOf(cls, info);
    for (hla::ObjectClassHandle c : chain) {
        // Above the class that declares it, no one can subscribe the attribute.
        const auto available = fom.availableAttributes(c);
        if (std::find(available.begin(), available.end(), attribute) == available.end()) break;
        const auto octets = link.momHandle(c);
        const auto attributeOctets = link.momHandle(c, attribute);
        if (!octets || !attributeOctets) return std::nullopt;
        for (const auto& [federate, name] : m_others) {
            const auto* s = subscribed(federate);
            verdict.told = verdict.told && s != nullptr && s->complete();
            if (s == nullptr) continue;
            const auto it = s->objectClasses.find(*octets);
            if (it == s->objectClasses.end()) continue;
            if (it->second.count(*attributeOctets) != 0) {
                verdict.heard = true;
            } else {
                verdict.instead << QStringLiteral("%1 subscribes %2 without %3")
                                       .arg(federateName(name), text(info(c).fullName),
                                            attributeName);
            }
        }
    }
    nameSubscribers(
        closeTo(cls, fom.objectClassCount(), info, chain),
        [](const SubscriptionView::Subscribed& s, const hla::Bytes& octets) {
            return s.objectClasses.count(octets) != 0;
        },
        &objectName, verdict);
    return verdict;
}

std::optional<QString> WriteWatch::unheard(const WrittenClass& written) {
    std::optional<Verdict> verdict = written.interaction
                                         ? interactionVerdict(*written.interaction)
                                         : attributeVerdict(written.objectClass, written.attribute);
    // Classes the run-time's reports cannot be matched to are not judged.
    if (!verdict || verdict->heard) return std::nullopt;
    QString report = verdict->what + QStringLiteral(" is heard by no other federate: ");
    if (m_others.empty()) {
        return report + QStringLiteral("no other federate of %1 has joined")
                            .arg(text(m_federate.federationName()));
    }
    // A federate that did not answer in time may hear it: say nothing rather than guess.
    if (!verdict->told) return std::nullopt;
    QStringList names;
    for (const auto& [federate, name] : m_others) names << federateName(name);
    report += QStringLiteral("none of %1 subscribes %2")
                  .arg(names.join(QStringLiteral(", ")), verdict->where);
    QStringList& instead = verdict->instead;
    if (instead.size() > static_cast<qsizetype>(kMaxNamed)) {
        const qsizetype more = instead.size() - static_cast<qsizetype>(kMaxNamed);
        instead = instead.mid(0, static_cast<qsizetype>(kMaxNamed));
        instead << QStringLiteral("%1 more").arg(more);
    }
    if (!instead.isEmpty()) report += QStringLiteral("; ") + instead.join(QStringLiteral("; "));
    return report;
}

}  // namespace provider
