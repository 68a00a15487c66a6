#include "support/workspace.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace ravelto::testing {

namespace {
std::filesystem::path g_root;
std::filesystem::path g_original_dir;

void SetEnv(const char* name, const std::filesystem::path& value) {
    ::setenv(name, value.c_str(), 1);
}

class WorkspaceListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { Workspace::Enter(); }
    void OnTestEnd(const ::testing::TestInfo&) override { Workspace::Leave(); }
};
}  // namespace

const std::filesystem::path& Workspace::Root() {
    return g_root;
}

void Workspace::Enter() {
    if (g_original_dir.empty()) g_original_dir = std::filesystem::current_path();
    std::string templ = (std::filesystem::temp_directory_path() / "ravelto-test-XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    g_root = templ;
    for (const char* sub : {"start", "home", "config", "data", "cache", "runtime"})
        std::filesystem::create_directories(g_root / sub);
    std::filesystem::permissions(g_root / "runtime", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    SetEnv("HOME", g_root / "home");
    SetEnv("XDG_CONFIG_HOME", g_root / "config");
    SetEnv("XDG_DATA_HOME", g_root / "data");
    SetEnv("XDG_CACHE_HOME", g_root / "cache");
    SetEnv("XDG_RUNTIME_DIR", g_root / "runtime");
    SetEnv("CARDATA", DataDir());
    std::filesystem::current_path(StartDir());
}

void Workspace::Leave() {
    if (g_root.empty()) return;
    std::filesystem::current_path(g_original_dir);
    std::error_code ec;
    std::filesystem::remove_all(g_root, ec);
    g_root.clear();
}

void InstallWorkspaceListener() {
    ::testing::UnitTest::GetInstance()->listeners().Append(new WorkspaceListener);
}

}  // namespace ravelto::testing
