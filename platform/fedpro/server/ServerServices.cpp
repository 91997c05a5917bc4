#include "platform/fedpro/server/ServerServices.h"

#include <cstdio>

namespace fedpro::server {

void logLine(const QString& line) {
    std::fprintf(stderr, "tandrel-engine: %s\n", qUtf8Printable(line));
    std::fflush(stderr);
}

}  // namespace fedpro::server
