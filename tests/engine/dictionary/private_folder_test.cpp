#include "dictionary/private_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

using namespace quorbit::dictionary;
namespace fs = std::filesystem;

namespace {

// XDG_RUNTIME_DIR pointed at a fresh folder for one test.
class PrivateFolder : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR")) old_ = old;
        base_ = fs::temp_directory_path() / ("private-folder-" + std::to_string(::getpid()));
        fs::remove_all(base_);
        fs::create_directories(base_);
        ::setenv("XDG_RUNTIME_DIR", base_.c_str(), 1);
        mine_ = base_ / ("quorbit-" + std::to_string(::getuid()));
    }
    void TearDown() override {
        if (old_.empty()) ::unsetenv("XDG_RUNTIME_DIR");
        else ::setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
        fs::remove_all(base_);
    }
    static unsigned mode(const fs::path& p) {
        struct stat st {};
        ::lstat(p.c_str(), &st);
        return st.st_mode & 0777;
    }
    std::string old_;
    fs::path base_, mine_;
};

}  // namespace

TEST_F(PrivateFolder, IsMadeForTheUserAloneAndClosedAgainWhenLoose) {
    EXPECT_EQ(privateTempFolder(), mine_);
    EXPECT_EQ(mode(mine_), 0700u);
    ::chmod(mine_.c_str(), 0777);
    EXPECT_EQ(privateTempFolder(), mine_);
    EXPECT_EQ(mode(mine_), 0700u);
}

TEST_F(PrivateFolder, ALinkOrSomebodyElsesFolderIsRefused) {
    const fs::path elsewhere = base_ / "elsewhere";
    fs::create_directories(elsewhere);
    fs::create_directory_symlink(elsewhere, mine_);
    EXPECT_TRUE(privateTempFolder().empty());
    fs::remove(mine_);
    fs::create_directories(mine_);
    const uid_t other = ::getuid() == 0 ? 65534 : 0;
    if (::chown(mine_.c_str(), other, static_cast<gid_t>(-1)) != 0)
        GTEST_SKIP() << "cannot give a folder to another user here";
    EXPECT_TRUE(privateTempFolder().empty());
}
