// GoogleTest main for the hla4 link's tests: a Qt application for the sockets, and an end
// without waiting for an RTI thread a test left behind in a call that never returned.

#include "platform/links/RtiThread.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    const int status = RUN_ALL_TESTS();
    if (links::lingeringRtiThreads() > 0) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
