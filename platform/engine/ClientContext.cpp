#include "platform/engine/ClientContext.h"

#include "cao/ProviderContract.h"

#include <QDir>
#include <QProcessEnvironment>

namespace engine {

ClientContext::ClientContext(Environment environment, QString workingDirectory)
    : m_environment(std::move(environment)), m_workingDirectory(std::move(workingDirectory)) {}

ClientContext ClientContext::ofThisProcess() {
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    Environment environment;
    for (const QString& name : system.keys()) {
        if (isProviderVariable(name)) environment.emplace(name, system.value(name));
    }
    return {std::move(environment), QDir::currentPath()};
}

bool ClientContext::isProviderVariable(const QString& name) {
    return name.startsWith(QLatin1String(cao::contract::environment::kPrefix));
}

QString ClientContext::variable(const char* name) const {
    const auto it = m_environment.find(QLatin1String(name));
    return it == m_environment.end() ? QString() : it->second;
}

QString ClientContext::absolutePath(const QString& path) const {
    return QDir::cleanPath(QDir(m_workingDirectory).absoluteFilePath(path));
}

}  // namespace engine
