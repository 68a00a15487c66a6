#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>

#include "support/workspace.h"
#include "ui/application_setup.h"

int main(int argc, char** argv) {
    // gtest_discover_tests runs this binary at build time, before CTest's
    // environment applies: choose the offscreen platform here.
    if (::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    ravelto::testing::Workspace::Enter();  // XDG folders exist before Qt reads them
    QApplication app(argc, argv);
    ravelto::ui::SetUpApplication(app);
    ravelto::testing::Workspace::Leave();
    ravelto::testing::InstallWorkspaceListener();
    return RUN_ALL_TESTS();
}
