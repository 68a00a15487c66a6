#include <gtest/gtest.h>

#include "support/workspace.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ravelto::testing::InstallWorkspaceListener();
    return RUN_ALL_TESTS();
}
