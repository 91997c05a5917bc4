#include "bench/platform/bus/SocketBaseline.h"

#include "cao/Error.h"

#include <algorithm>
#include <array>
#include <chrono>

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

namespace {

bool transfer(int fd, char* data, bool writing) {
    size_t done = 0;
    while (done < size_t(kBaselineMessageBytes)) {
        const ssize_t n = writing ? ::write(fd, data + done, kBaselineMessageBytes - done)
                                  : ::read(fd, data + done, kBaselineMessageBytes - done);
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

}  // namespace

std::vector<double> unixSocketRoundTripsNs(int rounds) {
    std::array<int, 2> fds{};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds.data()) != 0) {
        throw cao::Error(QStringLiteral("No socket pair for the baseline"));
    }
    const pid_t child = ::fork();
    if (child < 0) throw cao::Error(QStringLiteral("No process for the baseline"));
    std::array<char, kBaselineMessageBytes> buffer{};
    if (child == 0) {
        ::close(fds[0]);
        while (transfer(fds[1], buffer.data(), false) && transfer(fds[1], buffer.data(), true)) {
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::vector<double> samples;
    samples.reserve(size_t(rounds));
    for (int i = 0; i < rounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!transfer(fds[0], buffer.data(), true) || !transfer(fds[0], buffer.data(), false)) {
            break;
        }
        samples.push_back(double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count()));
    }
    ::close(fds[0]);  // the child reads its end and leaves
    int status = 0;
    ::waitpid(child, &status, 0);
    if (samples.size() != size_t(rounds)) {
        throw cao::Error(QStringLiteral("The baseline's child stopped answering"));
    }
    return samples;
}

double median(std::vector<double>& samples) {
    if (samples.empty()) return 0;
    std::nth_element(samples.begin(), samples.begin() + std::ptrdiff_t(samples.size() / 2),
                     samples.end());
    return samples[samples.size() / 2];
}

}  // namespace bench
