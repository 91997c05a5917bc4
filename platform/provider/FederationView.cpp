#include "platform/provider/FederationView.h"

#include "platform/hla/MomEncoding.h"

#include <cmath>

namespace provider {

namespace mom = hla::mom;

FederationView::FederationView(links::RunTimeLink& link, std::string federateName)
    : m_link(link), m_federateName(std::move(federateName)) {}

bool FederationView::watch() {
    if (m_watching) return true;
    const hla::FederationDescription& fom = m_link.description();
    m_class = fom.findObjectClass(mom::kFederateClass);
    if (!m_class) return false;
    const auto find = [&](const char* name) { return fom.findAttribute(*m_class, name); };
    const auto handle = find(mom::federate::kHandle);
    const auto name = find(mom::federate::kName);
    const auto regulating = find(mom::federate::kRegulating);
    const auto constrained = find(mom::federate::kConstrained);
    const auto timeState = find(mom::federate::kTimeState);
    const auto time = find(mom::federate::kLogicalTime);
    const auto lookahead = find(mom::federate::kLookahead);
    const auto galt = find(mom::federate::kGalt);
    if (!handle || !name || !regulating || !constrained || !timeState || !time || !lookahead ||
        !galt) {
        return false;
    }
    m_attributes =
        Attributes{*handle, *name, *regulating, *constrained, *timeState, *time, *lookahead, *galt};
    try {
        m_link.subscribeObjectClassAttributes(*m_class, {*handle, *name, *regulating, *constrained,
                                                         *timeState, *time, *lookahead, *galt});
    } catch (const std::exception&) {
        // A run-time that refuses its own management objects reports no federates; the wait
        // report says so.
        return false;
    }
    m_watching = true;
    m_since = std::chrono::steady_clock::now();
    return true;
}

bool FederationView::discovered(hla::ObjectInstanceHandle object, hla::ObjectClassHandle cls) {
    if (!m_class || !m_link.description().isSubclassOf(cls, *m_class)) return false;
    FederateRow row;
    row.object = object;
    m_rows.emplace(object, row);
    return true;
}

bool FederationView::reflected(hla::ObjectInstanceHandle object,
                               const hla::AttributeValues& values) {
    const auto it = m_rows.find(object);
    if (it == m_rows.end()) return false;
    FederateRow& row = it->second;
    // A value that does not decode keeps what was known: the run-time is not ours to trust.
    for (const auto& [attribute, bytes] : values) {
        if (attribute == m_attributes->handle) {
            if (auto v = mom::decodeHandle(bytes)) row.handle = std::move(*v);
        } else if (attribute == m_attributes->name) {
            if (const auto v = mom::decodeText(bytes)) row.name = *v;
        } else if (attribute == m_attributes->regulating) {
            if (const auto v = mom::decodeBoolean(bytes)) row.regulating = *v;
        } else if (attribute == m_attributes->constrained) {
            if (const auto v = mom::decodeBoolean(bytes)) row.constrained = *v;
        } else if (attribute == m_attributes->timeState) {
            if (const auto v = mom::decodeInteger(bytes)) row.advancing = *v == mom::kTimeAdvancing;
        } else if (attribute == m_attributes->time) {
            if (const auto v = mom::decodeTime(bytes)) row.time = *v;
        } else if (attribute == m_attributes->lookahead) {
            if (const auto v = mom::decodeTime(bytes)) row.lookahead = *v;
        } else if (attribute == m_attributes->galt) {
            const auto v = mom::decodeTime(bytes);
            row.galt = v && std::isfinite(*v) ? v : std::nullopt;
        }
    }
    row.reported = row.reported || !row.name.empty();
    return true;
}

bool FederationView::removed(hla::ObjectInstanceHandle object) {
    return m_rows.erase(object) != 0;
}

bool FederationView::askPointStatus(const std::string& label) {
    if (!watch()) return false;
    if (!m_points) {
        const hla::FederationDescription& fom = m_link.description();
        const auto request = fom.findInteractionClass(mom::kRequestSyncPointStatus);
        const auto report = fom.findInteractionClass(mom::kReportSyncPointStatus);
        if (!request || !report) return false;
        const auto requestName = fom.findParameter(*request, mom::kSyncPointName);
        const auto reportName = fom.findParameter(*report, mom::kSyncPointName);
        const auto reportFederates = fom.findParameter(*report, mom::kSyncPointFederates);
        if (!requestName || !reportName || !reportFederates) return false;
        try {
            m_link.subscribeInteractionClass(*report);
            m_link.publishInteractionClass(*request);
        } catch (const std::exception&) {
            return false;
        }
        m_points = PointStatus{*request, *report, *requestName, *reportName, *reportFederates};
    }
    try {
        m_link.sendInteraction(m_points->request, {{m_points->requestName, mom::encodeText(label)}},
                               std::nullopt);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool FederationView::received(hla::InteractionClassHandle cls, const hla::ParameterValues& values) {
    if (!m_points || cls != m_points->report) return false;
    const auto name = values.find(m_points->reportName);
    const auto federates = values.find(m_points->reportFederates);
    if (name == values.end() || federates == values.end()) return true;
    const auto label = mom::decodeText(name->second);
    auto list = mom::decodeSyncPointFederates(federates->second);
    if (label && list) m_pointStatus[*label] = std::move(*list);
    return true;
}

std::optional<std::vector<std::string>> FederationView::pointLaggards(
    const std::string& label) const {
    const auto it = m_pointStatus.find(label);
    if (it == m_pointStatus.end()) return std::nullopt;
    std::vector<std::string> names;
    for (const mom::SyncPointFederate& entry : it->second) {
        if (entry.status != mom::kMovingToSyncPoint) continue;
        std::string name;
        for (const auto& [object, row] : m_rows) {
            if (row.handle == entry.federate) name = row.name;
        }
        names.push_back(name);
    }
    return names;
}

std::vector<FederateRow> FederationView::federates() const {
    std::vector<FederateRow> rows;
    for (const auto& [object, row] : m_rows) {
        if (row.reported) rows.push_back(row);
    }
    return rows;
}

namespace {

bool sameFederate(const FederateRow& reported, const FederateRow& mine) {
    return reported.name == mine.name && reported.regulating == mine.regulating &&
           reported.constrained == mine.constrained && reported.time == mine.time &&
           reported.lookahead == mine.lookahead;
}

}  // namespace

std::optional<FederateRow> FederationView::own(const FederateRow& mine) const {
    std::optional<FederateRow> byName;
    for (const auto& [object, row] : m_rows) {
        if (!row.reported || row.name != m_federateName) continue;
        if (sameFederate(row, mine)) return row;
        if (!byName) byName = row;
    }
    return byName;
}

}  // namespace provider
