#include "platform/provider/FedLocator.h"

#include "cao/Error.h"
#include "cao/ProviderContract.h"
#include "platform/hla/Error.h"
#include "platform/hla/FedError.h"
#include "platform/hla/FomModules.h"
#include "platform/provider/Text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace provider {

namespace {

// Between the modules of a URL that names several.
constexpr char kModuleSeparator = ';';

// The local path a URL names; a Windows drive path ("D:\dir\Chat.fed") counts as a path.
QString localPath(const QString& url) {
    static const QRegularExpression scheme(QStringLiteral(R"(^([A-Za-z][A-Za-z0-9+.\-]*):)"));
    const auto match = scheme.match(url);
    if (!match.hasMatch() || match.captured(1).size() == 1) return url;
    if (match.captured(1).compare(QLatin1String("file"), Qt::CaseInsensitive) != 0) {
        throw invalid(QStringLiteral("The URL \"%1\" uses the scheme \"%2\"; the federation "
                                     "description must be a file: a file:/// URL, a path or "
                                     "a file name")
                          .arg(url, match.captured(1)));
    }
    const QUrl parsed(url);
    if (!parsed.isValid() || !parsed.isLocalFile()) {
        throw invalid(QStringLiteral("The URL \"%1\" is not a valid file URL; write it as "
                                     "file:///path/to/file.fed")
                          .arg(url));
    }
    return parsed.toLocalFile();
}

QString lastSegment(const QString& path) {
    const qsizetype slash =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

}  // namespace

QStringList descriptionDirectories(const engine::ClientContext& client) {
    QStringList directories;
    const QString fromClient = client.variable(cao::contract::environment::kFedPath);
    for (const QString& entry : fromClient.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        directories << client.absolutePath(entry);
    }
    // Beside the installed program first, wherever its prefix has been moved to.
    if (QCoreApplication::instance() != nullptr) {
        directories << QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                                           .filePath(QStringLiteral(TANDREL_DATA_DIR_FROM_BIN)));
    }
    directories << QStringLiteral(TANDREL_INSTALL_DATA_DIR)
                << QStringLiteral(TANDREL_SOURCE_DATA_DIR);
    return directories;
}

QString locateFederationDescription(const QString& url, const engine::ClientContext& client) {
    const QString given = localPath(url);
    const QString path = client.absolutePath(given);
    if (QFileInfo(path).isFile()) return path;
    const QString name = lastSegment(given);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        throw invalid(QStringLiteral("The URL \"%1\" does not name a federation description "
                                     "file")
                          .arg(url));
    }
    const QStringList directories = descriptionDirectories(client);
    for (const QString& directory : directories) {
        const QFileInfo candidate(QDir(directory), name);
        if (candidate.isFile()) return candidate.absoluteFilePath();
    }
    throw invalid(QStringLiteral("The federation description \"%1\" was not found: there is no "
                                 "file %2, nor a file %3 in %4 (set %5 to the directories "
                                 "that hold your FED files)")
                      .arg(url, path, name, directories.join(QStringLiteral(", ")),
                           QLatin1String(cao::contract::environment::kFedPath)));
}

QStringList locateFederationModules(const QString& url, const engine::ClientContext& client) {
    QStringList paths;
    for (const QString& module : url.split(QLatin1Char(kModuleSeparator))) {
        const QString trimmed = module.trimmed();
        if (!trimmed.isEmpty()) paths << locateFederationDescription(trimmed, client);
    }
    if (paths.isEmpty()) {
        throw invalid(QStringLiteral("The URL \"%1\" names no federation description").arg(url));
    }
    return paths;
}

hla::FederationDescription readFederationDescription(const QStringList& paths) {
    std::vector<std::string> files;
    for (const QString& path : paths) files.push_back(path.toStdString());
    try {
        return hla::readFederationModules(files);
    } catch (const hla::FedError& e) {
        throw invalid(QStringLiteral("The federation description could not be read: %1")
                          .arg(QString::fromStdString(e.what())));
    } catch (const hla::Error& e) {
        throw invalid(QStringLiteral("The federation description %1 could not be read: %2")
                          .arg(paths.join(QStringLiteral("; ")), QString::fromStdString(e.what())));
    }
}

}  // namespace provider
