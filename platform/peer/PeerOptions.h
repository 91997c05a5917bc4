#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace peer {

// A variable to register and the option mask it is registered with.
struct VariableSpec {
    QString name;
    int mask = 0;
};

// A value written as text; the provider converts it to the variable's data type. A write
// with atTime waits until the federate has been granted that time.
struct SendSpec {
    QString name;
    QString value;
    std::optional<double> atTime;
};

struct PeerOptions {
    QString controllerName = QStringLiteral("ChatRoom.Peer");
    QString controllerOptions = QStringLiteral(
        "URL=file:///D:/ZUzI2/CAO/ProviderLib/HLA/Bin/Chat.fed, TimePoli=0, TimeAdv=0, "
        "CurTime=0.0, LookAhead=0.5, AsyncDeli=0");
    std::vector<VariableSpec> variables;
    std::vector<SendSpec> sends;
    bool echo = false;
    bool answerSync = false;
    QStringList registerSync;
    std::optional<double> advanceStep;
    int advanceCount = 1;
    double delaySeconds = 0;
    double exitAfterSeconds = 60;
    std::optional<int> untilCount;
};

// Exit statuses of the program.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitTimedOut = 3;

// The longest a peer may be told to live: it always ends by itself.
inline constexpr double kMaxExitAfterSeconds = 24 * 60 * 60;

struct ParsedArguments {
    PeerOptions options;
    bool helpRequested = false;
    // Empty when the arguments are sound; otherwise what is wrong, fit for stderr.
    QString error;
};

// args: the arguments after the program name.
ParsedArguments parseArguments(const QStringList& args);
QString usageText();

}  // namespace peer
