#include "platform/provider/WaitReport.h"

#include "platform/provider/Text.h"

#include <QStringList>

#include <algorithm>

namespace provider {

namespace {

// Deeper chains are cut short: the root is rarely further than a few federates away, and the
// message must stay readable.
constexpr int kMaxChain = 8;

struct Pool {
    const AdvanceWait& wait;
    std::vector<FederateRow> rows;  // this federate first, then the others

    double promise(const FederateRow& row, bool self) const {
        return (self ? wait.requested : row.time) + row.lookahead;
    }
    QString name(const FederateRow& row) const {
        return wait.federation + QLatin1Char('.') + text(row.name);
    }
};

// The regulating federates other than index whose promise reaches no further than bound.
std::vector<std::size_t> holding(const Pool& pool, std::size_t index, double bound) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < pool.rows.size(); ++i) {
        if (i == index || !pool.rows[i].regulating) continue;
        if (pool.promise(pool.rows[i], i == 0) <= bound) found.push_back(i);
    }
    return found;
}

// What holds an advancing federate: the regulators of its GALT, or of the smallest promise
// when the run-time does not report it.
std::vector<std::size_t> holdingAdvance(const Pool& pool, std::size_t index) {
    const FederateRow& row = pool.rows[index];
    if (row.galt) return holding(pool, index, *row.galt);
    double least = hla::kInfiniteTime;
    for (std::size_t i = 0; i < pool.rows.size(); ++i) {
        if (i != index && pool.rows[i].regulating) {
            least = std::min(least, pool.promise(pool.rows[i], i == 0));
        }
    }
    return holding(pool, index, least);
}

void describe(const Pool& pool, std::size_t index, std::vector<std::size_t>& path, WaitText& out) {
    const FederateRow& row = pool.rows[index];
    out.text += pool.name(row);
    out.key += pool.name(row);
    if (std::find(path.begin(), path.end(), index) != path.end()) {
        out.text += QStringLiteral(" (a cycle)");
        out.key += QStringLiteral("(cycle)");
        return;
    }
    const QString lookahead = QStringLiteral(", lookahead %1").arg(timeText(row.lookahead));
    if (!row.advancing) {
        out.text += QStringLiteral(": regulating, granted at %1%2, not asking to advance")
                        .arg(timeText(row.time), lookahead);
        out.key += QStringLiteral(":granted");
        return;
    }
    out.text += QStringLiteral(
                    ": regulating, advancing from %1 to a time the run-time does "
                    "not report%2")
                    .arg(timeText(row.time), lookahead);
    out.key += QStringLiteral(":advancing");
    if (static_cast<int>(path.size()) >= kMaxChain) return;
    const std::vector<std::size_t> holders = holdingAdvance(pool, index);
    if (holders.empty()) return;
    path.push_back(index);
    out.text += QStringLiteral(", waits for ");
    out.key += QStringLiteral(">");
    for (std::size_t i = 0; i < holders.size(); ++i) {
        if (i > 0) {
            out.text += QStringLiteral(" and ");
            out.key += QStringLiteral("&");
        }
        describe(pool, holders[i], path, out);
    }
    path.pop_back();
}

QString ownState(const FederateRow& self) {
    return QStringLiteral("this federate %1 and %2 at %3, lookahead %4")
        .arg(self.regulating ? QStringLiteral("regulating") : QStringLiteral("not regulating"),
             self.constrained ? QStringLiteral("constrained") : QStringLiteral("not constrained"),
             timeText(self.time), timeText(self.lookahead));
}

}  // namespace

WaitText timeAdvanceWait(const AdvanceWait& wait,
                         const std::optional<std::vector<FederateRow>>& others) {
    const QString head = QStringLiteral("time advance to %1 waits").arg(timeText(wait.requested));
    if (!others) {
        const QString galt = wait.self.galt
                                 ? QStringLiteral("GALT %1").arg(timeText(*wait.self.galt))
                                 : QStringLiteral("no GALT");
        return {QStringLiteral("%1: %2, %3; the run-time in use does not report its other "
                               "federates")
                    .arg(head, galt, ownState(wait.self)),
                QStringLiteral("unreported")};
    }
    Pool pool{wait, {wait.self}};
    pool.rows.insert(pool.rows.end(), others->begin(), others->end());
    const std::vector<std::size_t> holders = holding(pool, 0, wait.requested);
    if (holders.empty()) {
        return {QStringLiteral("%1, though no regulating federate the run-time reports holds it "
                               "back (its reports may lag); %2")
                    .arg(head, ownState(wait.self)),
                QStringLiteral("none")};
    }
    WaitText out{head + QStringLiteral(" for "), QString()};
    std::vector<std::size_t> path{0};
    for (std::size_t i = 0; i < holders.size(); ++i) {
        if (i > 0) {
            out.text += QStringLiteral("; ");
            out.key += QStringLiteral(";");
        }
        describe(pool, holders[i], path, out);
    }
    return out;
}

QString pointWait(const QString& federation, const std::string& label,
                  const std::optional<std::vector<std::string>>& laggards) {
    const QString head = QStringLiteral("synchronization point \"%1\" waits").arg(text(label));
    if (!laggards) {
        return head + QStringLiteral(
                          "; the run-time in use does not report which federates "
                          "have not achieved it");
    }
    QStringList names;
    for (const std::string& name : *laggards) {
        names << (name.empty() ? QStringLiteral("a federate the run-time does not name")
                               : federation + QLatin1Char('.') + text(name));
    }
    return QStringLiteral("%1 for %2 (announced, not achieved)")
        .arg(head, names.join(QStringLiteral(", ")));
}

QString federateLines(const QString& federation, const std::vector<FederateRow>& federates,
                      const std::optional<double>& ownRequest,
                      const std::optional<FederateRow>& own) {
    QStringList lines;
    for (const FederateRow& row : federates) {
        const bool isOwn = own && own->object == row.object;
        QString state;
        if (!row.advancing) {
            state = QStringLiteral("granted at %1").arg(timeText(row.time));
        } else if (isOwn && ownRequest) {
            state = QStringLiteral("advancing from %1 to %2")
                        .arg(timeText(row.time), timeText(*ownRequest));
        } else {
            state = QStringLiteral("advancing from %1").arg(timeText(row.time));
        }
        lines << QStringLiteral("%1.%2: %3, %4, %5, lookahead %6")
                     .arg(federation, text(row.name),
                          row.regulating ? QStringLiteral("regulating")
                                         : QStringLiteral("not regulating"),
                          row.constrained ? QStringLiteral("constrained")
                                          : QStringLiteral("not constrained"),
                          state, timeText(row.lookahead));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace provider
