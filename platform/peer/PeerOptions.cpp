#include "platform/peer/PeerOptions.h"

#include <cmath>
#include <functional>
#include <map>

namespace peer {

namespace {

class ArgumentError {
public:
    explicit ArgumentError(QString text) : m_text(std::move(text)) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

double parseTime(const QString& option, const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        throw ArgumentError(QStringLiteral("%1: \"%2\" is not a number").arg(option, text));
    }
    return value;
}

int parseCount(const QString& option, const QString& text, int lowest) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < lowest) {
        throw ArgumentError(QStringLiteral("%1: \"%2\" is not a whole number of at least %3")
                                .arg(option, text)
                                .arg(lowest));
    }
    return value;
}

// NAME=VALUE; the value may be empty and may hold "=".
SendSpec parseAssignment(const QString& option, const QString& text) {
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0) {
        throw ArgumentError(
            QStringLiteral("%1: \"%2\" is not of the form NAME=VALUE").arg(option, text));
    }
    return {text.left(eq), text.mid(eq + 1), std::nullopt};
}

VariableSpec parseVariable(const QString& option, const QString& text) {
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq == 0 || text.isEmpty()) {
        throw ArgumentError(QStringLiteral("%1: a variable name is missing").arg(option));
    }
    if (eq < 0) return {text, 0};
    return {text.left(eq), parseCount(option, text.mid(eq + 1), 0)};
}

// TIME:NAME=VALUE
SendSpec parseTimedSend(const QString& option, const QString& text) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0) {
        throw ArgumentError(
            QStringLiteral("%1: \"%2\" is not of the form TIME:NAME=VALUE").arg(option, text));
    }
    SendSpec send = parseAssignment(option, text.mid(colon + 1));
    send.atTime = parseTime(option, text.left(colon));
    return send;
}

using Handler = std::function<void(PeerOptions&, const QString& option, const QString& value)>;

const std::map<QString, Handler>& valueOptions() {
    static const std::map<QString, Handler> handlers = {
        {QStringLiteral("--name"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             if (!v.contains(QLatin1Char('.'))) {
                 throw ArgumentError(
                     QStringLiteral("%1: \"%2\" is not of the form Federation.Federate")
                         .arg(opt, v));
             }
             o.controllerName = v;
         }},
        {QStringLiteral("--options"),
         [](PeerOptions& o, const QString&, const QString& v) { o.controllerOptions = v; }},
        {QStringLiteral("--var"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             o.variables.push_back(parseVariable(opt, v));
         }},
        {QStringLiteral("--send"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             o.sends.push_back(parseAssignment(opt, v));
         }},
        {QStringLiteral("--send-at"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             o.sends.push_back(parseTimedSend(opt, v));
         }},
        {QStringLiteral("--register-sync"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             if (v.isEmpty())
                 throw ArgumentError(QStringLiteral("%1: the label is empty").arg(opt));
             o.registerSync << v;
         }},
        {QStringLiteral("--advance"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             const double step = parseTime(opt, v);
             if (step <= 0) {
                 throw ArgumentError(QStringLiteral("%1: the step must be above 0").arg(opt));
             }
             o.advanceStep = step;
         }},
        {QStringLiteral("--count"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             o.advanceCount = parseCount(opt, v, 1);
         }},
        {QStringLiteral("--exit-after"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             const double seconds = parseTime(opt, v);
             if (seconds <= 0 || seconds > kMaxExitAfterSeconds) {
                 throw ArgumentError(
                     QStringLiteral("%1: the time must lie above 0 and at most %2 s")
                         .arg(opt)
                         .arg(kMaxExitAfterSeconds));
             }
             o.exitAfterSeconds = seconds;
         }},
        {QStringLiteral("--delay"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             const double seconds = parseTime(opt, v);
             if (seconds < 0 || seconds > kMaxExitAfterSeconds) {
                 throw ArgumentError(QStringLiteral("%1: the time must lie from 0 to %2 s")
                                         .arg(opt)
                                         .arg(kMaxExitAfterSeconds));
             }
             o.delaySeconds = seconds;
         }},
        {QStringLiteral("--until-count"),
         [](PeerOptions& o, const QString& opt, const QString& v) {
             o.untilCount = parseCount(opt, v, 1);
         }},
    };
    return handlers;
}

void checkCombination(const PeerOptions& o, bool countGiven) {
    if (countGiven && !o.advanceStep)
        throw ArgumentError(QStringLiteral("--count needs --advance"));
    for (const SendSpec& send : o.sends) {
        if (send.atTime && !o.advanceStep) {
            throw ArgumentError(
                QStringLiteral("--send-at needs --advance: without advancing no time is granted"));
        }
    }
}

}  // namespace

ParsedArguments parseArguments(const QStringList& args) {
    ParsedArguments result;
    bool countGiven = false;
    try {
        for (qsizetype i = 0; i < args.size(); ++i) {
            QString option = args[i];
            std::optional<QString> value;
            if (const qsizetype eq = option.indexOf(QLatin1Char('='));
                option.startsWith(QLatin1String("--")) && eq > 0) {
                value = option.mid(eq + 1);
                option = option.left(eq);
            }
            if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
                result.helpRequested = true;
                continue;
            }
            if (option == QLatin1String("--echo") || option == QLatin1String("--answer-sync")) {
                if (value) throw ArgumentError(QStringLiteral("%1 takes no value").arg(option));
                (option == QLatin1String("--echo") ? result.options.echo
                                                   : result.options.answerSync) = true;
                continue;
            }
            const auto handler = valueOptions().find(option);
            if (handler == valueOptions().end()) {
                throw ArgumentError(QStringLiteral("unknown argument \"%1\"").arg(args[i]));
            }
            if (!value) {
                if (i + 1 >= args.size()) {
                    throw ArgumentError(QStringLiteral("%1 needs a value").arg(option));
                }
                value = args[++i];
            }
            countGiven = countGiven || option == QLatin1String("--count");
            handler->second(result.options, option, *value);
        }
        checkCombination(result.options, countGiven);
    } catch (const ArgumentError& e) {
        result.error = e.text();
    }
    return result;
}

QString usageText() {
    return QStringLiteral(
        "Usage: tandrel-peer [OPTION]...\n"
        "Opens a controller of the HLA provider in its own process, as the Tandrel window does,\n"
        "and prints every message it raises as the window's log line on stdout. Notes on what\n"
        "it does go to stderr, starting with \"tandrel-peer:\"; \"tandrel-peer: ready\" follows\n"
        "the opening, the registrations and the first writes.\n"
        "\n"
        "  --name FEDERATION.FEDERATE  controller name (default ChatRoom.Peer)\n"
        "  --options TEXT              controller option string (default: the window's,\n"
        "                              \"URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed,\n"
        "                              TimePoli=0, TimeAdv=0, CurTime=0.0, LookAhead=0.5,\n"
        "                              AsyncDeli=0\")\n"
        "  --var NAME[=MASK]           register a variable with option mask MASK (default 0);\n"
        "                              repeatable\n"
        "  --send NAME=VALUE           write VALUE (text, converted to the variable's type)\n"
        "                              once open; an unregistered NAME is registered with\n"
        "                              mask 0 first; repeatable, written in order\n"
        "  --send-at TIME:NAME=VALUE   the same once the federate has been granted TIME\n"
        "                              (needs --advance)\n"
        "  --echo                      write every received parameter or attribute value\n"
        "                              (messages 3 and 4) back to its variable\n"
        "  --answer-sync               acknowledge every synchronisation-point announcement\n"
        "  --register-sync LABEL       register a synchronisation point once open\n"
        "  --advance STEP              request time advances of STEP, each after the last\n"
        "                              grant (through @ADVANCE_TIME)\n"
        "  --count N                   how many advances (default 1; needs --advance)\n"
        "  --delay SECONDS             make the first writes, registration and advance this\n"
        "                              long after opening (default 0): through an RTI server\n"
        "                              a write made at once may reach nobody, as the others'\n"
        "                              subscriptions have not arrived yet\n"
        "  --exit-after SECONDS        end after this long at the latest (default 60)\n"
        "  --until-count N             end once N values (messages 3 and 4) have arrived\n"
        "  -h, --help                  show this text and end\n"
        "\n"
        "Environment: CAO_HLA_RTI (embedded, hla13, hla1516e or hla4), CAO_HLA_RTI_ADDRESS\n"
        "(e.g. rti://127.0.0.1:14321, or tcp://127.0.0.1:15164 for hla4), CAO_HLA_RTI_LIBRARY\n"
        "and CAO_HLA_FED_PATH choose the run-time\n"
        "as for the window; TANDREL_ENGINE, TANDREL_ENGINE_SERVICE and TANDREL_ENGINE_PROGRAM\n"
        "the engine, as for the window too. See tandrel-peer(1).\n"
        "\n"
        "Exit status: 0 done (count reached, time up without --until-count, or SIGINT/SIGTERM),\n"
        "1 the controller failed, 2 bad arguments, 3 time up before --until-count was reached.\n");
}

}  // namespace peer
