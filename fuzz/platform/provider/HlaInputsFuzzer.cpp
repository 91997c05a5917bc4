// Arbitrary option strings and variable names against the HLA provider on a fresh engine:
// every call either succeeds or throws cao::Error with a description, never anything else.
//
// Input: the first line is the option string (the defaults stand in when it is refused), every
// further line a variable name; the first byte of a name line, when it is a digit, picks its option
// mask. Each registered variable is written with its own name and read back.
#include "cao/Cao.h"
#include "cao/ProviderContract.h"
#include "platform/engine/Engine.h"
#include "platform/provider/HlaProvider.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QString kDefaults = QStringLiteral(
    "URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed, TimePoli=3, TimeAdv=0, "
    "CurTime=0.0, LookAhead=0.5, AsyncDeli=0");

template <typename Call>
bool succeeds(Call call) {
    try {
        call();
        return true;
    } catch (const cao::Error& e) {
        if (e.description().isEmpty()) std::abort();  // every failure must say what went wrong
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Device and kernel files could block or never end; they are no federation descriptions.
    for (const char* tree : {"/dev", "/proc", "/sys"}) {
        if (input.contains(QLatin1String(tree))) return 0;
    }
    QStringList lines = input.split(QLatin1Char('\n'));
    const QString options = lines.takeFirst();

    engine::ProviderRegistry registry;
    provider::registerProvider(registry);
    auto eng = std::make_shared<engine::Engine>(std::move(registry));
    cao::WorkspacePtr ws = eng->Workspaces()->Item(cao::Variant::fromI2(0));
    cao::ControllerPtr chat;
    cao::ControllerPtr peer;
    succeeds([&] {
        chat = ws->AddController("ChatRoom.Chat", cao::contract::kProviderId, "", options);
    });
    if (!chat) {
        succeeds([&] {
            chat = ws->AddController("ChatRoom.Chat", cao::contract::kProviderId, "", kDefaults);
        });
    }
    succeeds([&] {
        peer = ws->AddController("ChatRoom.Peer", cao::contract::kProviderId, "", kDefaults);
    });
    if (!chat || !peer) std::abort();  // the defaults must always open
    for (QString name : lines) {
        int mask = 0;
        if (!name.isEmpty() && name[0].isDigit()) {
            mask = (name[0].digitValue() * 13) & 127;
            name.remove(0, 1);
        }
        for (const cao::ControllerPtr& controller : {chat, peer}) {
            cao::VariablesPtr vars = controller->Variables();
            cao::VariablePtr variable;
            succeeds([&] { variable = vars->Add(name, QStringLiteral("Option=%1").arg(mask)); });
            if (!variable) continue;
            succeeds([&] { variable->put_Value(cao::Variant::fromString(name)); });
            succeeds([&] { variable->put_Value(cao::Variant::fromR8(name.size())); });
            succeeds([&] { variable->get_Value(); });
        }
        eng->deliverPending();
    }
    succeeds([&] { ws->Controllers()->Remove(cao::Variant::fromI4(chat->Index())); });
    eng->deliverPending();
    return 0;
}
