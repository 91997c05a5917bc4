#pragma once

#include <QString>

#include <map>

namespace engine {

// The client a controller is opened for, as the provider needs to know it: the provider's
// variables of the client's environment (those whose names begin with the provider's prefix)
// and its working directory. An engine serving clients in other processes acts on each
// client's context, never on the environment or working directory of its own process.
class ClientContext {
public:
    using Environment = std::map<QString, QString>;

    ClientContext(Environment environment, QString workingDirectory);

    // This process's provider variables and working directory, as they are now.
    static ClientContext ofThisProcess();
    // Whether name is one of the provider's variables.
    static bool isProviderVariable(const QString& name);

    const Environment& environment() const noexcept { return m_environment; }
    const QString& workingDirectory() const noexcept { return m_workingDirectory; }

    // The client's value of the variable; empty when the client does not have it.
    QString variable(const char* name) const;
    // A path as the client means it: a relative one is taken from its working directory.
    QString absolutePath(const QString& path) const;

private:
    Environment m_environment;
    QString m_workingDirectory;
};

}  // namespace engine
