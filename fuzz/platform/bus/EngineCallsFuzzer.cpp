// Method calls as any bus client could send them, straight into the engine's service: object
// paths real and made up (including the ones earlier calls answered), known methods and
// garbage, arguments of any D-Bus type and values with any type code. Every call must be
// answered with a reply or an error that says what went wrong; now and then the caller
// leaves the bus, so its engine objects close under it.
#include "cao/ProviderContract.h"
#include "platform/bus/protocol/Names.h"
#include "platform/bus/protocol/Wire.h"
#include "platform/bus/service/EngineService.h"
#include "platform/engine/Engine.h"
#include "platform/links/embedded/RunTimeHost.h"
#include "platform/provider/HlaProvider.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

const QString kCaller = QStringLiteral(":1.fuzz");
constexpr int kMaxCalls = 48;
constexpr int kMaxArguments = 5;
constexpr int kMaxDepth = 3;
constexpr int kMaxKnownPaths = 32;
// Just past the longest text the engine takes in one argument.
constexpr qsizetype kLongText = (qsizetype{1} << 20) + 1;

const std::array kInterfaces{bus::kManagerInterface,
                             bus::kEngineInterface,
                             bus::kWorkspaceInterface,
                             bus::kControllerInterface,
                             bus::kVariableInterface,
                             bus::kMessageInterface,
                             "org.freedesktop.DBus.Properties",
                             "io.tandrel.Engine1.Nothing"};

const std::array kMembers{"CreateEngine",
                          "CreateDetachedEngine",
                          "Status",
                          "WorkspaceCount",
                          "Workspace",
                          "Close",
                          "ControllerCount",
                          "Controller",
                          "AddController",
                          "RemoveController",
                          "Name",
                          "Index",
                          "VariableCount",
                          "AddVariable",
                          "Variable",
                          "RemoveVariable",
                          "Subscribe",
                          "GetValue",
                          "PutValue",
                          "Acknowledge",
                          "Messages",
                          "Get",
                          "",
                          "close"};

const std::array kTexts{
    "ChatRoom.A",
    "ChatRoom.B",
    cao::contract::kProviderId,
    "URL=file:///x/Chat.fed, TimePoli=0, TimeAdv=0, CurTime=0.0, LookAhead=0.5, AsyncDeli=0",
    "URL=file:///x/Chat.fed, TimePoli=3, TimeAdv=0, CurTime=0.0, LookAhead=0.5, AsyncDeli=1",
    "InteractionRoot.Communication.Message",
    "InteractionRoot.Communication.Message#I4",
    "ObjectRoot.Participant.Name",
    "@SyncPoint",
    "Option=0",
    "Option=1",
    "Option=99999999999",
    "",
    "w0",
    "c0"};

// Where the kinds of text start in kTexts.
constexpr unsigned kNameTexts = 0;
constexpr unsigned kProviderText = 2;
constexpr unsigned kOptionTexts = 3;
constexpr unsigned kVariableTexts = 5;
constexpr unsigned kOptionMaskTexts = 9;

// What one step of the input does: the caller leaves the bus, a well-formed call, or any call.
enum Action : unsigned { kOpenController, kAddVariable, kSubscribe, kPutValue, kLeave };
constexpr unsigned kWellFormedActions = kLeave;
constexpr unsigned kActions = 16;

// Type codes the engine knows, arrays of them, and a few it does not.
const std::array<quint16, 16> kTypeCodes{0, 1,  2,  3,  4,  5, 6,      7,
                                         8, 10, 11, 17, 12, 9, 0x2000, 0xffff};
constexpr quint16 kArrayFlag = 0x2000;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_at >= m_size; }
    unsigned byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    unsigned pick(std::size_t count) { return byte() % unsigned(count); }
    qint64 number() {
        qint64 value = 0;
        for (int i = 0; i < 8; ++i) value = (value << 8) | byte();
        return value;
    }
    QString text() {
        const unsigned length = byte() % 24;
        QByteArray bytes;
        for (unsigned i = 0; i < length && !empty(); ++i) bytes.append(char(byte()));
        return QString::fromUtf8(bytes);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

struct Session {
    QStringList known{QLatin1String(bus::kRootPath)};
};

QString pathFor(Input& in, const Session& session) {
    const QString base = session.known.at(int(in.pick(std::size_t(session.known.size()))));
    switch (in.pick(10)) {
        case 0:
            return QStringLiteral("/");
        case 1:
            return QLatin1String(bus::kRootPath) + QStringLiteral("/e%1").arg(in.byte() % 4);
        case 2:
            return base + QStringLiteral("/w0");
        case 3:
            return base + QStringLiteral("/c%1").arg(in.byte() % 4);
        case 4:
            return base + QStringLiteral("/v%1").arg(in.byte() % 4);
        case 5:
            return base + QStringLiteral("/m%1").arg(in.byte() % 4);
        case 6:
            return base + QLatin1Char('/') + in.text();
        case 7:
            return in.text();
        default:
            return base;
    }
}

QString textFor(Input& in) {
    switch (in.pick(8)) {
        case 0:
            return in.text();
        case 1:
            return QString(in.byte() % 2 ? kLongText : kLongText - 1, QLatin1Char('x'));
        default:
            return QString::fromUtf8(kTexts[in.pick(kTexts.size())]);
    }
}

QVariant payloadFor(Input& in, int depth);

bus::WireValue wireFor(Input& in, int depth) {
    bus::WireValue wire;
    const unsigned choice = in.pick(4);
    wire.type = choice == 0   ? quint16(in.number())
                : choice == 1 ? quint16(kTypeCodes[in.pick(kTypeCodes.size())] | kArrayFlag)
                              : kTypeCodes[in.pick(kTypeCodes.size())];
    wire.value = QDBusVariant(payloadFor(in, depth + 1));
    return wire;
}

QVariant payloadFor(Input& in, int depth) {
    switch (in.pick(depth >= kMaxDepth ? 10 : 13)) {
        case 0:
            return bool(in.byte() & 1);
        case 1:
            return QVariant::fromValue<uchar>(uchar(in.byte()));
        case 2:
            return QVariant::fromValue<short>(short(in.number()));
        case 3:
            return int(in.number());
        case 4:
            return QVariant::fromValue<qlonglong>(in.number());
        case 5:
            return double(in.number()) / double(1 + in.byte());
        case 6:
            return textFor(in);
        case 7:
            return QVariant::fromValue(QDBusObjectPath(QStringLiteral("/x")));
        case 8:
            return QVariant::fromValue<uint>(uint(in.number()));
        case 9:
            return QStringList{in.text(), in.text()};
        case 10:
            return QVariant::fromValue(wireFor(in, depth));
        default: {
            QList<bus::WireValue> elements;
            const unsigned count = in.byte() % 6;
            for (unsigned i = 0; i < count; ++i) elements.append(wireFor(in, depth));
            return QVariant::fromValue(elements);
        }
    }
}

QVariant argumentFor(Input& in) {
    switch (in.pick(6)) {
        case 0:
            return textFor(in);
        case 1:
            return bool(in.byte() & 1);
        case 2:
            return int(in.number());
        case 3:
            return payloadFor(in, 0);
        default:
            return QVariant::fromValue(wireFor(in, 0));
    }
}

// A call as a client that knows the engine makes it: the deep paths are reached only
// through controllers that opened.
QDBusMessage wellFormedCall(Input& in, const Session& session, unsigned action) {
    const QString base = session.known.at(int(in.pick(std::size_t(session.known.size()))));
    const auto text = [&](unsigned first, unsigned count) {
        return QString::fromUtf8(kTexts[first + in.pick(count)]);
    };
    QDBusMessage call;
    switch (action) {
        case kOpenController:
            call = QDBusMessage::createMethodCall(kCaller, base + QStringLiteral("/w0"),
                                                  QLatin1String(bus::kWorkspaceInterface),
                                                  QStringLiteral("AddController"));
            call.setArguments(
                {text(kNameTexts, 2), text(kProviderText, 1), QString(), text(kOptionTexts, 2)});
            break;
        case kAddVariable:
            call = QDBusMessage::createMethodCall(kCaller, base,
                                                  QLatin1String(bus::kControllerInterface),
                                                  QStringLiteral("AddVariable"));
            call.setArguments({text(kVariableTexts, 4), text(kOptionMaskTexts, 3)});
            break;
        case kSubscribe:
            call = QDBusMessage::createMethodCall(kCaller, base,
                                                  QLatin1String(bus::kControllerInterface),
                                                  QStringLiteral("Subscribe"));
            call.setArguments({bool(in.byte() & 1)});
            break;
        default:
            call = QDBusMessage::createMethodCall(
                kCaller, base, QLatin1String(bus::kVariableInterface), QStringLiteral("PutValue"));
            call.setArguments({QVariant::fromValue(wireFor(in, 0))});
            break;
    }
    return call;
}

QDBusMessage anyCall(Input& in, const Session& session) {
    const QString path = pathFor(in, session);
    const unsigned interfaceChoice = in.pick(kInterfaces.size() + 2);
    const QString interface = interfaceChoice < kInterfaces.size()
                                  ? QString::fromLatin1(kInterfaces[interfaceChoice])
                              : interfaceChoice == kInterfaces.size() ? QString()
                                                                      : in.text();
    const unsigned memberChoice = in.pick(kMembers.size() + 1);
    const QString member =
        memberChoice < kMembers.size() ? QString::fromLatin1(kMembers[memberChoice]) : in.text();
    QDBusMessage call = QDBusMessage::createMethodCall(kCaller, path, interface, member);
    QVariantList arguments;
    const unsigned count = in.pick(kMaxArguments);
    for (unsigned i = 0; i < count; ++i) arguments.append(argumentFor(in));
    call.setArguments(arguments);
    return call;
}

void requireAnswer(const QDBusMessage& call, const QDBusMessage& answer) {
    if (answer.type() == QDBusMessage::ReplyMessage) return;
    if (answer.type() == QDBusMessage::ErrorMessage && !answer.errorName().isEmpty() &&
        !answer.errorMessage().isEmpty()) {
        return;
    }
    qFatal("%s on %s was answered with neither a reply nor a described error",
           qUtf8Printable(call.member()), qUtf8Printable(call.path()));
}

void remember(Session& session, const QDBusMessage& answer) {
    for (const QVariant& argument : answer.arguments()) {
        if (argument.metaType() != QMetaType::fromType<QDBusObjectPath>()) continue;
        const QString path = argument.value<QDBusObjectPath>().path();
        if (session.known.size() < kMaxKnownPaths && !session.known.contains(path)) {
            session.known.append(path);
        }
    }
}

std::shared_ptr<links::RunTimeHost> host() {
    static auto shared = std::make_shared<links::RunTimeHost>();
    return shared;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    bus::registerWireTypes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Device and kernel files could block or never end; they are no federation descriptions.
    const QByteArray raw(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const char* tree : {"/dev", "/proc", "/sys"}) {
        if (raw.contains(tree)) return 0;
    }
    Input in(data, size);
    Session session;
    bus::service::EngineService service(
        [](const engine::ClientContext& client) {
            engine::ProviderRegistry providers;
            provider::registerProvider(providers, host());
            return std::make_shared<engine::Engine>(std::move(providers), client);
        },
        [](const QDBusMessage&) {}, bus::service::EngineService::noClient);
    for (int calls = 0; calls < kMaxCalls && !in.empty(); ++calls) {
        const unsigned action = in.pick(kActions);
        if (action == kLeave) {
            service.clientGone(kCaller);
            continue;
        }
        const QDBusMessage call = action < kWellFormedActions ? wellFormedCall(in, session, action)
                                                              : anyCall(in, session);
        const QDBusMessage answer = service.answer(call);
        requireAnswer(call, answer);
        remember(session, answer);
        QCoreApplication::processEvents();
    }
    service.clientGone(kCaller);
    QCoreApplication::processEvents();
    return 0;
}
