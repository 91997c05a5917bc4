#include "platform/hla/TextFile.h"

#include "platform/hla/FedError.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace hla {

std::string readTextFile(const std::string& path, std::size_t limit, const std::string& what) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw FedError(0, 0, std::string("cannot be read: ") + std::strerror(errno), path);
    }
    std::string text;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(file.gcount()));
        if (text.size() > limit) {
            throw FedError(
                0, 0, "the " + what + " is larger than " + std::to_string(limit >> 20) + " MiB",
                path);
        }
    }
    if (file.bad()) throw FedError(0, 0, "cannot be read", path);
    return text;
}

}  // namespace hla
