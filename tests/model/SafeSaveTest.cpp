// Saves never harm the file they replace: the target keeps its permissions, a symbolic link
// is written through, what is not a regular file is refused, no temporary file is left; a
// folder given as a file is named in the error.
#include "model/ProjectFile.h"

#include "base/Exception.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

namespace fs = std::filesystem;

class SafeSave : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("sarvanta-files-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path folder_;
};

std::string SaveError(const std::string& path) {
  try {
    WriteFileAtomically(path, "new");
  } catch (const EFileError& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST_F(SafeSave, SaveKeepsModeFollowsLinksAndRefusesWhatIsNotARegularFile) {
  const std::string target = Path("arm.svt");
  WriteFileAtomically(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  WriteFileAtomically(target, "new");
  EXPECT_EQ(ReadFileBytes(target), "new");
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);  // not 644

  // A link is written through: the target changes, the link stays a link.
  fs::create_symlink("arm.svt", Path("link.svt"));
  WriteFileAtomically(Path("link.svt"), "through");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(Path("link.svt"))));
  EXPECT_EQ(ReadFileBytes(target), "through");
  // A dangling link gets its target made.
  fs::create_symlink("made.svt", Path("dangling.svt"));
  WriteFileAtomically(Path("dangling.svt"), "made");
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(Path("dangling.svt"))));
  EXPECT_EQ(ReadFileBytes(Path("made.svt")), "made");

  // A folder and a named pipe (as a device node would be) are refused and stay as they were.
  fs::create_directory(Path("folder.svt"));
  ASSERT_EQ(::mkfifo(Path("pipe.svt").c_str(), 0600), 0);
  for (const char* name : {"folder.svt", "pipe.svt"}) {
    EXPECT_NE(SaveError(Path(name)).find("not a regular file"), std::string::npos) << name;
  }
  EXPECT_TRUE(fs::is_directory(Path("folder.svt")));
  EXPECT_TRUE(fs::is_fifo(Path("pipe.svt")));
  // A missing folder fails too; no temporary file is left anywhere.
  EXPECT_NE(SaveError(Path("missing/x.svt")), "");
  EXPECT_EQ(Files(), (std::vector<std::string>{"arm.svt", "dangling.svt", "folder.svt", "link.svt",
                                               "made.svt", "pipe.svt"}));
}

TEST_F(SafeSave, AFailedSaveNamesTheUsersFileNotItsTemporaryFile) {
  const std::string path = (folder_ / "missing-folder" / "arm.svt").string();
  try {
    WriteFileAtomically(path, "new");
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const EFileError& e) {
    const std::string message = e.what();
    EXPECT_EQ(message, "Cannot write file \"" + path + "\": No such file or directory");
    EXPECT_EQ(message.find(".tmp"), std::string::npos) << message;
  }
}

TEST_F(SafeSave, ReadingAFolderNamesIt) {
  try {
    ReadFileBytes(folder_.string());
    ADD_FAILURE() << "read a folder";
  } catch (const EFileError& e) {
    EXPECT_NE(std::string(e.what()).find(folder_.string()), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("Is a directory"), std::string::npos) << e.what();
  }
}

}  // namespace sarvanta
