// GoogleTest main for link tests. A test may leave an RTI thread behind, still waiting for an
// RTI that never answered; the program then ends without waiting for it.

#include "platform/links/RtiThread.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    if (links::lingeringRtiThreads() > 0) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
