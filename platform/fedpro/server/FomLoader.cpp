#include "platform/fedpro/server/FomLoader.h"

#include "platform/fedpro/server/ServerBounds.h"
#include "platform/fedpro/server/ZipModule.h"
#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FomModules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace fedpro::server {

namespace {

// The last segment of a URL or path, as the provider finds a description named by one.
std::string lastSegment(const std::string& url) {
    const std::size_t slash = url.find_last_of("/\\");
    return slash == std::string::npos ? url : url.substr(slash + 1);
}

bool usableName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('\0') == std::string::npos;
}

// Inside: the file's real place is in the directory's real place.
bool staysInside(const QFileInfo& file, const QString& directory) {
    const QString real = file.canonicalFilePath();
    const QString root = QDir(directory).canonicalPath();
    return !real.isEmpty() && !root.isEmpty() && QFileInfo(real).isFile() &&
           real.startsWith(root + QLatin1Char('/'));
}

// A MIM given by no name, or by the standard MIM's own, is the standard one.
bool standsForStandardMim(const pb::FomModule& mim) {
    if (mim.fomModule_case() == pb::FomModule::FOMMODULE_NOT_SET) return true;
    return mim.has_url() &&
           (mim.url().empty() || lastSegment(mim.url()) == hla::kStandardMimModule);
}

}  // namespace

FomLoader::FomLoader(QStringList directories) : m_directories(std::move(directories)) {}

QStringList FomLoader::engineDirectories(const QString& extra) {
    QStringList directories;
    if (QCoreApplication::instance() != nullptr) {
        directories << QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                                           .filePath(QStringLiteral(TANDREL_DATA_DIR_FROM_BIN)));
    }
    directories << QStringLiteral(TANDREL_INSTALL_DATA_DIR)
                << QStringLiteral(TANDREL_SOURCE_DATA_DIR);
    if (!extra.isEmpty()) directories << extra;
    return directories;
}

FomLoader::Module FomLoader::fromDirectories(const std::string& url, Api api) const {
    const std::string name = lastSegment(url);
    if (!usableName(name)) {
        throw CallError(couldNotOpenFom(api),
                        "the FOM module \"" + url + "\" does not name a file");
    }
    for (const QString& directory : m_directories) {
        const QFileInfo candidate(QDir(directory), QString::fromStdString(name));
        if (!candidate.exists() || !staysInside(candidate, directory)) continue;
        QFile file(candidate.canonicalFilePath());
        if (file.size() > kMaxModuleFileBytes) {
            throw CallError(errorReadingFom(api),
                            "the FOM module " + name + " is larger than 16 MiB");
        }
        if (!file.open(QIODevice::ReadOnly)) {
            throw CallError(couldNotOpenFom(api), "the engine cannot read its FOM module " + name +
                                                      ": " + file.errorString().toStdString());
        }
        const QByteArray bytes = file.read(kMaxModuleFileBytes + 1);
        if (bytes.size() > kMaxModuleFileBytes) {
            throw CallError(errorReadingFom(api),
                            "the FOM module " + name + " is larger than 16 MiB");
        }
        return {bytes.toStdString(), name};
    }
    throw CallError(couldNotOpenFom(api),
                    "the FOM module \"" + url +
                        "\" was not sent as content, and the engine "
                        "has no module " +
                        name +
                        " in its FOM directories (send the module's "
                        "content, or have the engine started with --fedpro-fom-dir)");
}

FomLoader::Module FomLoader::fetch(const pb::FomModule& module, Api api) const {
    switch (module.fomModule_case()) {
        case pb::FomModule::kFile: {
            const std::string name = module.file().name().empty() ? std::string("(unnamed module)")
                                                                  : module.file().name();
            return {module.file().content(), name};
        }
        case pb::FomModule::kCompressedModule:
            try {
                UnpackedModule unpacked = unpackModule(module.compressedmodule());
                return {std::move(unpacked.text), std::move(unpacked.name)};
            } catch (const std::runtime_error& e) {
                throw CallError(errorReadingFom(api), e.what());
            }
        case pb::FomModule::kUrl:
            return fromDirectories(module.url(), api);
        case pb::FomModule::FOMMODULE_NOT_SET:
            break;
    }
    throw CallError(couldNotOpenFom(api), "a FOM module was given with neither content nor URL");
}

hla::FederationDescription FomLoader::merged(const std::vector<const pb::FomModule*>& modules,
                                             const pb::FomModule* mim, Api api) const {
    std::vector<hla::FederationDescription> read;
    bool xml = false;
    try {
        for (const pb::FomModule* module : modules) {
            const Module fetched = fetch(*module, api);
            xml = xml || hla::moduleFormat(fetched.text) == hla::ModuleFormat::Xml;
            read.push_back(hla::parseModule(fetched.text, fetched.name));
        }
        hla::FederationDescription description;
        if (mim != nullptr && !standsForStandardMim(*mim)) {
            const Module fetched = fetch(*mim, api);
            description = hla::parseModule(fetched.text, fetched.name);
        } else if (xml) {
            description = hla::standardMim();
        }
        hla::mergeModules(description, read);
        // A FED file names its federation; the execution is named by the call instead.
        return description;
    } catch (const hla::FedError& e) {
        throw CallError(errorReadingFom(api), e.what());
    } catch (const hla::Error& e) {
        throw CallError(e.kind() == hla::ErrorKind::InconsistentFdd ? inconsistentFom(api)
                                                                    : errorReadingFom(api),
                        e.what());
    }
}

hla::FederationDescription FomLoader::federation(const std::vector<const pb::FomModule*>& modules,
                                                 const pb::FomModule* mim, Api api) const {
    if (modules.empty()) {
        throw CallError(couldNotOpenFom(api), "a federation execution needs a FOM module");
    }
    return merged(modules, mim, api);
}

hla::FederationDescription FomLoader::additional(const std::vector<const pb::FomModule*>& modules,
                                                 Api api) const {
    return merged(modules, nullptr, api);
}

std::vector<const pb::FomModule*> modulesOf(const pb::FomModuleSet& set) {
    if (set.fommodule_size() > kMaxModulesPerCall) {
        throw CallError("RTIinternalError",
                        "a call may carry at most " + std::to_string(kMaxModulesPerCall) +
                            " FOM modules, not " + std::to_string(set.fommodule_size()));
    }
    std::vector<const pb::FomModule*> modules;
    for (const pb::FomModule& module : set.fommodule()) modules.push_back(&module);
    return modules;
}

}  // namespace fedpro::server
