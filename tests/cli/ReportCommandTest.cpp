#include "ga/GeneticAlgorithm.h"
#include "ga/TaskFile.h"
#include "model/TimeFrame.h"
#include "task/TaskEditing.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace sarvanta;
namespace fs = std::filesystem;

namespace {

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs sarvanta-cli in `folder`; returns its exit code and leaves its error output in `err`.
int ReportCli(const fs::path& folder, const std::string& arguments, std::string& err) {
  const std::string command = "cd '" + folder.string() + "' && '" + SARVANTA_CLI + "' " +
                              arguments + " >/dev/null 2>err.txt";
  const int status = std::system(command.c_str());
  err = FileText(folder / "err.txt");
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

long Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

}  // namespace

TEST(ReportCommand, WritesThePageWithItsSectionsAndCopiesThePictures) {
  const fs::path folder = fs::temp_directory_path() / "sarvanta-report-command";
  fs::remove_all(folder);
  fs::create_directories(folder / "pages");
  RegisterTaskClasses();
  TGeneticAlgorithm algorithm;
  algorithm.TimeFrame->SetFrame(true, true, 0, 200, 2, 2, 40, 50);
  CreateStandardGoal(0, algorithm);
  TTaskSettings settings;
  AddOperation(TOperationTab::Mutation, 0, settings, algorithm);
  SaveTaskToFile(algorithm, (folder / "arm.hga").string());
  std::ofstream(folder / "pages" / "line.gif") << "my own rule";

  std::string err;
  ASSERT_EQ(ReportCli(folder, "report arm.hga -o pages/arm.html --caption Elbow", err), 0) << err;
  const std::string page = FileText(folder / "pages" / "arm.html");
  EXPECT_NE(page.find(R"(<div align="center">Elbow</div>)"), std::string::npos);
  EXPECT_NE(page.find("   <td>Minimal aggregate force</td>\r\n   <td>1</td>"), std::string::npos);
  EXPECT_NE(page.find("Starts in <b>0 ms</b> ends in  <b>200 ms</b> with contol extention  "
                      "<b>40 ms</b>"),
            std::string::npos);
  EXPECT_NE(page.find("   <td> Mutation </td>\r\n   <td>Motor Unit 1-point Mutation Shift"),
            std::string::npos);
  EXPECT_EQ(FileText(folder / "pages" / "line.gif"), "my own rule");  // never overwritten
  EXPECT_EQ(FileText(folder / "pages" / "qelvo_line.gif").substr(0, 6), "GIF89a");

  ASSERT_EQ(
      ReportCli(folder, "report arm.hga --no-caption --no-goals --no-time-frame --no-operations",
                err),
      0)
      << err;
  const std::string bare = FileText(folder / "report.html");
  EXPECT_EQ(Lines(bare), 12);
  EXPECT_EQ(bare.substr(bare.size() - 18), "</body>\r\n</html>\r\n");
  EXPECT_TRUE(fs::exists(folder / "line.gif"));

  // A report into a folder that does not exist yet makes the folder.
  ASSERT_EQ(ReportCli(folder, "report arm.hga -o new/sub/arm.html", err), 0) << err;
  EXPECT_TRUE(fs::exists(folder / "new" / "sub" / "arm.html"));
  EXPECT_TRUE(fs::exists(folder / "new" / "sub" / "qelvo_line.gif"));

  std::ofstream(folder / "bad.hga") << "TPF0 broken";
  EXPECT_EQ(ReportCli(folder, "report bad.hga -o bad.html", err), 1);
  EXPECT_EQ(err.rfind("sarvanta-cli: ", 0), 0u) << err;
  EXPECT_FALSE(fs::exists(folder / "bad.html"));
  EXPECT_NE(ReportCli(folder, "report missing.hga", err), 0);
  fs::remove_all(folder);
}
