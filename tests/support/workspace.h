#pragma once

#include <filesystem>

namespace ravelto::testing {

// A fresh temporary world for one test: start directory (the current
// directory), database directory (CARDATA), HOME and the XDG folders.
// Installed as a gtest listener by the test mains, so every test gets its own.
class Workspace {
  public:
    static const std::filesystem::path& Root();
    static std::filesystem::path StartDir() { return Root() / "start"; }
    static std::filesystem::path DataDir() { return Root() / "CARDATA"; }

    // Called around each test by the listener.
    static void Enter();
    static void Leave();
};

void InstallWorkspaceListener();

}  // namespace ravelto::testing
