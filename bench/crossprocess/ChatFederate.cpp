#include "bench/crossprocess/ChatFederate.h"

#include "bench/support/BenchSupport.h"
#include "cao/ProviderContract.h"

#include <QElapsedTimer>

namespace bench {

namespace {

const QString kProvider = QLatin1String(cao::contract::kProviderId);
const QString kOptions = QStringLiteral(
    "URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed, TimePoli=0, TimeAdv=0, "
    "CurTime=0.0, LookAhead=0.5, AsyncDeli=0");
// The message number of a received value.
constexpr int kReceivedMessage = 3;
constexpr int kPrimeEveryMs = 200;

}  // namespace

ChatFederate::ChatFederate(const cao::EnginePtr& engine, const QString& name) {
    m_workspace = engine->Workspaces()->Item(cao::Variant::fromI2(0));
    m_controller = m_workspace->AddController(name, kProvider, QString(), kOptions);
    m_controller->Variables()->Add(kChatMessage, QStringLiteral("Option=0"));
    m_controller->SetOnMessage([r = m_received](const cao::MessagePtr& m) {
        if (m->Number() == kReceivedMessage) r->push_back(m->Value().string());
    });
}

ChatFederate::~ChatFederate() {
    m_controller->SetOnMessage({});
    m_workspace->Controllers()->Remove(cao::Variant::fromI4(m_controller->Index()));
}

void ChatFederate::send(const QString& text) {
    m_controller->Variables()
        ->Item(cao::Variant::fromString(kChatMessage))
        ->put_Value(cao::Variant::fromString(text));
}

bool ChatFederate::primeUntil(const std::function<bool()>& arrived) {
    int primed = 0;
    QElapsedTimer sinceWrite;
    return pumpUntil([&] {
        if (arrived()) return true;
        if (!sinceWrite.isValid() || sinceWrite.elapsed() > kPrimeEveryMs) {
            send(QStringLiteral("prime %1").arg(++primed));
            sinceWrite.restart();
        }
        return false;
    });
}

}  // namespace bench
