#include "platform/peer/Peer.h"

#include "cao/ProviderContract.h"
#include "cao/TypeRows.h"
#include "cao/text/VariantToText.h"
#include "messages/LogLine.h"

#include <cmath>

namespace peer {

namespace {

namespace message = cao::contract::message;

const QString kAdvanceTime = QLatin1String(cao::contract::variable::kAdvanceTime);
const QString kCurrentTime = QLatin1String(cao::contract::variable::kCurrentTime);
const QString kSyncPoint = QLatin1String(cao::contract::variable::kSyncPoint);

constexpr double kMillisecondsPerSecond = 1000;
constexpr int kAdvanceRetryMs = 100;
constexpr int kAdvanceRetries = 100;

QString describe(const cao::MessagePtr& message) {
    try {
        return QStringLiteral("message %1 from %2").arg(message->Number()).arg(message->Source());
    } catch (const cao::Error&) {
        return QStringLiteral("a message");
    }
}

}  // namespace

Peer::Peer(cao::EnginePtr engine, PeerOptions options, Writer out, Writer note)
    : m_engine(std::move(engine)),
      m_options(std::move(options)),
      m_out(std::move(out)),
      m_note(std::move(note)),
      m_sent(m_options.sends.size(), false) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_options.untilCount) {
            m_note(QStringLiteral("%1 of %2 values arrived within %3 s")
                       .arg(m_received)
                       .arg(*m_options.untilCount)
                       .arg(m_options.exitAfterSeconds));
            finish(kExitTimedOut);
        } else {
            finish(kExitDone);
        }
    });
}

Peer::~Peer() {
    try {
        close();
    } catch (const cao::Error& e) {
        m_note(QStringLiteral("closing failed: ") + e.description());
    }
}

void Peer::start() {
    m_workspace = m_engine->Workspaces()->Item(cao::Variant::fromI2(0));
    m_controller = m_workspace->AddController(m_options.controllerName,
                                              QLatin1String(cao::contract::kProviderId), QString(),
                                              m_options.controllerOptions);
    try {
        m_note(QStringLiteral("opened ") + m_options.controllerName);
        for (const VariableSpec& spec : m_options.variables) {
            m_variables[spec.name] = m_controller->Variables()->Add(
                spec.name, QStringLiteral("Option=%1").arg(spec.mask));
        }
        m_controller->SetOnMessage([this](const cao::MessagePtr& message) { onMessage(message); });
        if (m_options.delaySeconds <= 0) firstWrites();
    } catch (...) {
        close();
        throw;
    }
    m_deadline.start(
        static_cast<int>(std::lround(m_options.exitAfterSeconds * kMillisecondsPerSecond)));
    if (m_options.delaySeconds > 0) {
        const int delayMs =
            static_cast<int>(std::lround(m_options.delaySeconds * kMillisecondsPerSecond));
        QTimer::singleShot(delayMs, this, [this] {
            if (!m_controller || m_finished) return;
            try {
                firstWrites();
            } catch (const cao::Error& e) {
                m_note(e.description());
                finish(kExitFailed);
            }
        });
    }
}

void Peer::firstWrites() {
    for (std::size_t i = 0; i < m_options.sends.size(); ++i) {
        const SendSpec& send = m_options.sends[i];
        if (send.atTime) continue;
        write(send.name, cao::Variant::fromString(send.value));
        m_sent[i] = true;
    }
    for (const QString& label : m_options.registerSync) {
        write(kSyncPoint, cao::Variant::fromString(label));
    }
    if (m_options.advanceStep) {
        const double now = variable(kCurrentTime)->get_Value().r8();
        requestAdvance(now + *m_options.advanceStep);
    }
    m_note(QStringLiteral("ready"));
}

void Peer::close() {
    m_deadline.stop();
    if (!m_controller) return;
    const cao::ControllerPtr controller = std::move(m_controller);
    m_controller.reset();
    m_variables.clear();
    controller->SetOnMessage({});
    m_workspace->Controllers()->Remove(cao::Variant::fromI4(controller->Index()));
    m_note(QStringLiteral("closed ") + m_options.controllerName);
}

void Peer::onMessage(const cao::MessagePtr& message) {
    if (!m_controller || !message) return;
    int32_t number = 0;
    try {
        number = message->Number();
    } catch (const cao::Error& e) {
        m_note(QStringLiteral("a message without a number: ") + e.description());
    }
    printLine(message, number);
    try {
        if (number == message::PointAnnounced && m_options.answerSync) {
            message->Acknowledge();
            m_note(QStringLiteral("acknowledged ") + cao::variantToText(message->Value()));
        } else if (number == message::InteractionReceived ||
                   number == message::AttributeReflected) {
            ++m_received;
            if (m_options.echo) echo(message);
            if (m_options.untilCount && m_received >= *m_options.untilCount) finish(kExitDone);
        } else if (number == message::AdvanceGranted && m_options.advanceStep) {
            granted(message->Value().r8());
        }
    } catch (const cao::Error& e) {
        m_note(QStringLiteral("handling %1 failed: %2").arg(describe(message), e.description()));
    }
}

void Peer::printLine(const cao::MessagePtr& message, int32_t number) {
    cao::Variant value;
    try {
        value = message->Value();
    } catch (const cao::Error& e) {
        m_note(QStringLiteral("a message without a value: ") + e.description());
    }
    try {
        // Where the window would show a box, the peer writes a note.
        const int16_t typeIndex = cao::VarTypeToIndex(value, m_note);
        m_out(messages::logLine(number, value, typeIndex, message->Time(), message->Source()));
    } catch (const cao::Error& e) {
        m_note(QStringLiteral("no log line for %1: %2").arg(describe(message), e.description()));
    }
}

void Peer::echo(const cao::MessagePtr& message) {
    write(message->Source(), message->Value());
}

void Peer::granted(double time) {
    ++m_grants;
    for (std::size_t i = 0; i < m_options.sends.size(); ++i) {
        const SendSpec& send = m_options.sends[i];
        if (m_sent[i] || !send.atTime || *send.atTime > time) continue;
        m_sent[i] = true;
        write(send.name, cao::Variant::fromString(send.value));
    }
    if (m_grants < m_options.advanceCount) requestAdvance(time + *m_options.advanceStep);
}

void Peer::requestAdvance(double time) {
    try {
        variable(kAdvanceTime)->put_Value(cao::Variant::fromR8(time));
        m_note(QStringLiteral("advance requested to %1").arg(time));
    } catch (const cao::Error& e) {
        // Right after opening, an RTI may still be enabling regulation or constraint: the
        // first request is tried again for a while before the peer gives up.
        if (m_grants == 0 && m_advanceRetries < kAdvanceRetries) {
            ++m_advanceRetries;
            QTimer::singleShot(kAdvanceRetryMs, this, [this, time] {
                if (m_controller && !m_finished) requestAdvance(time);
            });
            return;
        }
        m_note(QStringLiteral("the advance to %1 failed: %2").arg(time).arg(e.description()));
        finish(kExitFailed);
    }
}

cao::VariablePtr Peer::variable(const QString& name) {
    if (const auto known = m_variables.find(name); known != m_variables.end()) {
        return known->second;
    }
    const cao::VariablesPtr vars = m_controller->Variables();
    cao::VariablePtr found;
    try {
        found = vars->Item(cao::Variant::fromString(name));
    } catch (const cao::Error&) {
        found = vars->Add(name, QStringLiteral("Option=0"));
    }
    m_variables[name] = found;
    return found;
}

void Peer::write(const QString& name, const cao::Variant& value) {
    variable(name)->put_Value(value);
    m_note(QStringLiteral("wrote to ") + name);
}

void Peer::finish(int exitStatus) {
    if (m_finished) return;
    m_finished = true;
    m_deadline.stop();
    // Never close from inside the engine's delivery: the owner closes on the next turn.
    QMetaObject::invokeMethod(
        this, [this, exitStatus] { emit finished(exitStatus); }, Qt::QueuedConnection);
}

}  // namespace peer
