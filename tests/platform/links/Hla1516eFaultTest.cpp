// The IEEE 1516-2010 link when the RTI is not there, does not answer, or refuses: each open is
// refused with a description, within its bound, and leaves nothing joined and no connection
// open.

#include "LinkTestSupport.h"
#include "platform/links/RtiThread.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dirent.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <thread>

using namespace linktest;
using namespace std::chrono_literals;
using links::kHla1516eKind;

namespace {

// A loopback TCP socket of this test: listening (and never answering) or closed again, so that
// nothing listens on its port.
class Port {
public:
    explicit Port(bool listen) {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
            (listen && ::listen(m_socket, 1) != 0)) {
            ADD_FAILURE() << "no loopback socket for the test";
        }
        m_port = ntohs(address.sin_port);
        if (!listen) close();
    }
    ~Port() { close(); }
    std::string address() const { return "rti://127.0.0.1:" + std::to_string(m_port); }

private:
    void close() {
        if (m_socket >= 0) ::close(m_socket);
        m_socket = -1;
    }
    int m_socket = -1;
    int m_port = 0;
};

// The TCP connections this process holds to a port: its sockets, as /proc lists them.
int connectionsTo(int port) {
    std::set<std::string> inodes;
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(fds)) {
            char target[64] = {};
            const std::string path = std::string("/proc/self/fd/") + entry->d_name;
            if (::readlink(path.c_str(), target, sizeof target - 1) > 0) {
                const std::string text = target;
                if (text.rfind("socket:[", 0) == 0) inodes.insert(text.substr(8, text.size() - 9));
            }
        }
        ::closedir(fds);
    }
    constexpr const char* kEstablished = "01";
    std::ifstream table("/proc/self/net/tcp");
    std::string line;
    std::getline(table, line);  // the heading
    int count = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
            timeout >> inode;
        const int remotePort = std::stoi(remote.substr(remote.find(':') + 1), nullptr, 16);
        if (state == kEstablished && remotePort == port && inodes.count(inode) != 0) ++count;
    }
    return count;
}

int serverPort() {
    const std::string address = rtiAddress();
    return std::stoi(address.substr(address.rfind(':') + 1));
}

// Waits, within a bound, until this process holds no connection to the RTI server.
bool noConnectionLeft() {
    const auto end = std::chrono::steady_clock::now() + kWaitBound;
    while (connectionsTo(serverPort()) > 0) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

links::LinkRequest requestTo(const std::string& address, links::LinkBounds bounds = {}) {
    links::LinkRequest request = chatRequest(uniqueFederation(), "Chat");
    request.address = address;
    request.bounds = bounds;
    return request;
}

std::string refusal(const links::LinkRequest& request) {
    try {
        links::joinPlugin(kHla1516eKind, "", request);
    } catch (const std::exception& e) {
        return e.what();
    }
    ADD_FAILURE() << "the link opened";
    return {};
}

class Hla1516eFault : public LinkTest {
protected:
    void SetUp() override { needs(kHla1516eKind); }
};

}  // namespace

TEST_F(Hla1516eFault, NothingAtTheAddressIsRefusedWithADescription) {
    const Port closed(false);
    EXPECT_EQ(refusal(requestTo(closed.address()))
                  .rfind("the RTI at " + closed.address() + " could not be reached (", 0),
              0u);
    EXPECT_EQ(links::lingeringRtiThreads(), 0);
}

TEST_F(Hla1516eFault, AnRtiThatNeverAnswersIsRefusedWithinTheOpenBound) {
    const Port silent(true);
    const auto request = requestTo(silent.address(), {2s, 1s, 1s});
    EXPECT_EQ(refusal(request), "IEEE 1516-2010 run-time at " + silent.address() +
                                    ": connecting to " + silent.address() +
                                    " did not answer within 2 s");
    // The RTI goes on waiting for its server; until it gives up and the late open is undone,
    // the same federate cannot open again.
    EXPECT_NE(refusal(request).find("\"Chat\" is still leaving federation"), std::string::npos);
    EXPECT_EQ(links::lingeringRtiThreads(), 1);
}

TEST_F(Hla1516eFault, ARefusedOpenLeavesNoConnectionAndAClosedLinkNone) {
    char directory[] = "/tmp/tandrel-broken-XXXXXX";
    ASSERT_NE(::mkdtemp(directory), nullptr);
    const std::string broken = std::string(directory) + "/Broken.xml";
    std::ofstream(broken) << "<objectModel xmlns=\"http://standards.ieee.org/IEEE1516-2010\">";
    const std::string description = refusal(chatRequest(uniqueFederation(), "Chat", broken));
    ::unlink(broken.c_str());
    ::rmdir(directory);
    EXPECT_NE(description.find(" refused to create federation execution "), std::string::npos)
        << description;
    EXPECT_TRUE(noConnectionLeft());
    {
        Federate chat(kHla1516eKind, chatRequest(uniqueFederation(), "Chat"));
        EXPECT_GT(connectionsTo(serverPort()), 0);
    }
    EXPECT_TRUE(noConnectionLeft());
}

// A plug-in built from other headers than the program that loads it refuses to open.
class Hla1516ePlugin : public LinkTest {
protected:
    void SetUp() override { needsPlugin(kHla1516eKind); }
};

TEST_F(Hla1516ePlugin, RefusesACallOfAnotherVersionOrLayoutWithADescription) {
    const Port closed(false);
    // Loads the plug-in and its RTI's libraries; then nothing answers.
    refusal(requestTo(closed.address()));
    void* plugin = ::dlopen(links::findLinkPlugin(kHla1516eKind).c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(plugin, nullptr);
    const auto entry =
        reinterpret_cast<links::LinkPluginEntry>(::dlsym(plugin, links::kLinkPluginEntry));
    ASSERT_NE(entry, nullptr);
    const links::LinkRequest request = requestTo(closed.address());
    const links::StepReport step = [](const std::string&) {};
    std::string failure;
    EXPECT_EQ(
        entry(links::kLinkPluginVersion + 1, links::kLinkPluginLayout, &request, &step, &failure),
        nullptr);
    EXPECT_EQ(failure.rfind("the plug-in tandrel-link-hla1516e.so was built from other headers "
                            "than this program (link interface ",
                            0),
              0u)
        << failure;
    failure.clear();
    EXPECT_EQ(
        entry(links::kLinkPluginVersion, links::kLinkPluginLayout ^ 1u, &request, &step, &failure),
        nullptr);
    EXPECT_NE(failure.find("install the plug-ins built with this program"), std::string::npos)
        << failure;
    ::dlclose(plugin);
}
