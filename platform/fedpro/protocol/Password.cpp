#include "platform/fedpro/protocol/Password.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace fedpro {

namespace {

constexpr mode_t kOthersBits = 077;

class FileCloser {
public:
    explicit FileCloser(int fd) : m_fd(fd) {}
    ~FileCloser() { ::close(m_fd); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    int m_fd;
};

std::string modeText(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

}  // namespace

std::string passwordCredentialData(std::u16string_view units) {
    std::string encoded;
    encoded.reserve(sizeof(std::uint32_t) + 2 * units.size());
    const auto count = static_cast<std::uint32_t>(units.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        encoded += static_cast<char>((count >> shift) & 0xFFu);
    }
    for (const char16_t unit : units) {
        encoded += static_cast<char>(unit >> 8);
        encoded += static_cast<char>(unit & 0xFFu);
    }
    return encoded;
}

std::string readSecretFile(const std::string& path, const std::string& what, SecretAccess access) {
    const std::string named = what + " " + path;
    // Non-blocking, so a FIFO put in the file's place cannot hold the reader.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw std::runtime_error(named + " cannot be read: " + std::strerror(errno));
    const FileCloser closer(fd);
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        throw std::runtime_error(named + " is not a readable file");
    }
    if (access == SecretAccess::OwnerOnly && (status.st_mode & kOthersBits) != 0) {
        throw std::runtime_error(named + " is open to other users (mode " +
                                 modeText(status.st_mode) +
                                 "); make it its owner's alone, with chmod 600");
    }
    if (static_cast<std::size_t>(status.st_size) > kMaxSecretBytes) {
        throw std::runtime_error(named + " is larger than " + std::to_string(kMaxSecretBytes) +
                                 " bytes");
    }
    std::string secret(kMaxSecretBytes + 1, '\0');
    std::size_t filled = 0;
    while (filled < secret.size()) {
        const ssize_t got = ::read(fd, secret.data() + filled, secret.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw std::runtime_error(named + " cannot be read: " + std::strerror(errno));
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    if (filled > kMaxSecretBytes) {
        throw std::runtime_error(named + " is larger than " + std::to_string(kMaxSecretBytes) +
                                 " bytes");
    }
    secret.resize(filled);
    while (!secret.empty() && (secret.back() == '\n' || secret.back() == '\r')) secret.pop_back();
    if (secret.empty()) throw std::runtime_error(named + " is empty");
    return secret;
}

}  // namespace fedpro
