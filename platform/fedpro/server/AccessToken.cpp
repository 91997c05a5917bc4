#include "platform/fedpro/server/AccessToken.h"

#include "platform/fedpro/protocol/Password.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace fedpro::server {

namespace {

constexpr std::size_t kTokenBytes = 32;
constexpr mode_t kDirectoryMode = 0700;
constexpr mode_t kFileMode = 0600;

std::string randomHex() {
    unsigned char bytes[kTokenBytes];
    std::size_t filled = 0;
    while (filled < kTokenBytes) {
        const ssize_t got = getrandom(bytes + filled, kTokenBytes - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::runtime_error(std::string("the system's random source failed: ") +
                                     std::strerror(errno));
        }
        filled += static_cast<std::size_t>(got);
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0xF];
    }
    return hex;
}

// Compares without an early end, so the time taken tells nothing of the token.
bool sameSecret(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return difference == 0;
}

void makePrivateDirectory(const QByteArray& directory) {
    if (::mkdir(directory.constData(), kDirectoryMode) != 0 && errno != EEXIST) {
        throw std::runtime_error("cannot make the directory " + directory.toStdString() + ": " +
                                 std::strerror(errno));
    }
    struct stat status {};
    if (::lstat(directory.constData(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::getuid()) {
        throw std::runtime_error(directory.toStdString() +
                                 " is not a directory of this user's own");
    }
    if ((status.st_mode & 0777) != kDirectoryMode &&
        ::chmod(directory.constData(), kDirectoryMode) != 0) {
        throw std::runtime_error("cannot make " + directory.toStdString() +
                                 " private: " + std::strerror(errno));
    }
}

void writePrivateFile(const QByteArray& path, const std::string& content) {
    const QByteArray temporary = path + ".new";
    ::unlink(temporary.constData());
    const int fd = ::open(temporary.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        throw std::runtime_error("cannot write " + temporary.toStdString() + ": " +
                                 std::strerror(errno));
    }
    const bool written =
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temporary.constData(), path.constData()) != 0) {
        const int error = written ? errno : savedErrno;
        ::unlink(temporary.constData());
        throw std::runtime_error("cannot write " + path.toStdString() + ": " +
                                 std::strerror(error));
    }
}

}  // namespace

QString AccessToken::pathFor(std::uint16_t port) {
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(base).filePath(QStringLiteral("tandrel/fedpro-%1.token").arg(port));
}

AccessToken::AccessToken(std::uint16_t port)
    : m_secret(randomHex()),
      m_encoded(passwordCredentialData(QString::fromStdString(m_secret).toStdU16String())),
      m_asked("the token it wrote in its user's runtime directory as tandrel/fedpro-" +
              std::to_string(port) + ".token"),
      m_path(pathFor(port)) {
    makePrivateDirectory(QFile::encodeName(QFileInfo(m_path).absolutePath()));
    writePrivateFile(QFile::encodeName(m_path), m_secret + "\n");
}

AccessToken::AccessToken(std::string secret, std::string asked)
    : m_secret(std::move(secret)),
      m_encoded(passwordCredentialData(QString::fromStdString(m_secret).toStdU16String())),
      m_asked(std::move(asked)) {}

std::unique_ptr<AccessToken> AccessToken::fromPasswordFile(const QString& file) {
    std::string password = readSecretFile(QFile::encodeName(file).toStdString(),
                                          "the password file", SecretAccess::OwnerOnly);
    return std::unique_ptr<AccessToken>(
        new AccessToken(std::move(password), "the password its operator gave it"));
}

AccessToken::~AccessToken() {
    if (!m_path.isEmpty()) QFile::remove(m_path);
}

bool AccessToken::accepts(const std::string& type, const std::string& data) const {
    if (type != kPlainTextPassword) return false;
    std::string given = data;
    while (!given.empty() && (given.back() == '\n' || given.back() == '\r')) given.pop_back();
    const bool raw = sameSecret(given, m_secret);
    const bool encoded = sameSecret(data, m_encoded);
    return raw || encoded;
}

}  // namespace fedpro::server
