#include "platform/bus/service/ClientContextArgument.h"

#include "cao/ProviderContract.h"

#include <QDir>
#include <QRegularExpression>

namespace bus::service {

namespace {

// What a shell accepts as a variable's name.
bool isVariableName(const QString& name) {
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return valid.match(name).hasMatch();
}

}  // namespace

engine::ClientContext clientContextArgument(const CallArguments& take, qsizetype environment,
                                            qsizetype directory) {
    const QMap<QString, QString> variables = take.textMap(environment, kMaxContextVariables);
    engine::ClientContext::Environment kept;
    for (auto it = variables.begin(); it != variables.end(); ++it) {
        const QString& name = it.key();
        if (!engine::ClientContext::isProviderVariable(name) || !isVariableName(name) ||
            name.size() > kMaxVariableNameLength) {
            take.refuse(QStringLiteral("takes only the provider's variables, whose names begin "
                                       "with %1 and have at most %2 letters, digits and "
                                       "underscores, not \"%3\"")
                            .arg(QLatin1String(cao::contract::environment::kPrefix))
                            .arg(kMaxVariableNameLength)
                            .arg(name.left(kMaxVariableNameLength)));
        }
        if (it.value().size() > kMaxValueLength) {
            take.refuse(QStringLiteral("takes values of at most %1 characters, not %2 in %3")
                            .arg(kMaxValueLength)
                            .arg(it.value().size())
                            .arg(name));
        }
        kept.emplace(name, it.value());
    }
    const QString workingDirectory = take.text(directory);
    if (workingDirectory.size() > kMaxDirectoryLength ||
        !workingDirectory.startsWith(QLatin1Char('/'))) {
        take.refuse(QStringLiteral("takes the client's working directory as an absolute path of "
                                   "at most %1 characters, not \"%2\"")
                        .arg(kMaxDirectoryLength)
                        .arg(workingDirectory.left(kMaxDirectoryLength)));
    }
    return {std::move(kept), QDir::cleanPath(workingDirectory)};
}

}  // namespace bus::service
