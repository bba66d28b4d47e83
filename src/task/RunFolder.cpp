#include "task/RunFolder.h"

#include "base/Exception.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>

namespace sarvanta {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string StagingName() {
  static std::mt19937_64 numbers{std::random_device{}()};
  char name[48];
  std::snprintf(name, sizeof name, ".sarvanta-run-%016llx",
                static_cast<unsigned long long>(numbers()));
  return name;
}

}  // namespace

TRunFolder::TRunFolder(std::string folder, std::vector<std::string> runFiles)
    : folder_(std::move(folder)), runFiles_(std::move(runFiles)) {}

TRunFolder::~TRunFolder() {
  if (staging_.empty()) return;
  std::error_code ignored;
  fs::remove_all(staging_, ignored);
}

void TRunFolder::Open(bool overwrite) {
  std::error_code error;
  fs::create_directories(folder_, error);
  if (error) throw EFileError("Cannot create folder " + Quoted(folder_) + ". " + error.message());
  if (!fs::is_directory(folder_, error))
    throw EFileError("Cannot use " + Quoted(folder_) + " as the output folder: not a folder");
  if (!overwrite) {
    for (const std::string& name : runFiles_) {
      if (!fs::exists(fs::symlink_status(FinalPath(name), error))) continue;
      throw EFileError("The folder " + Quoted(folder_) + " holds the results of a run (" + name +
                       "): give --overwrite to replace them, or another folder");
    }
  }
  const std::string staging = (fs::path(folder_) / StagingName()).string();
  if (!fs::create_directory(staging, error) || error)
    throw EFileError("Cannot create folder " + Quoted(staging) + ". " + error.message());
  staging_ = staging;
}

std::string TRunFolder::StagedPath(const std::string& name) const {
  return (fs::path(staging_) / name).string();
}

std::string TRunFolder::FinalPath(const std::string& name) const {
  return (fs::path(folder_) / name).string();
}

void TRunFolder::Publish() {
  if (staging_.empty()) return;
  std::vector<std::string> staged;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(staging_, error))
    staged.push_back(entry.path().filename().string());
  if (error) throw EFileError("Cannot list folder " + Quoted(staging_) + ". " + error.message());
  for (const std::string& name : runFiles_) {
    if (std::find(staged.begin(), staged.end(), name) != staged.end()) continue;
    fs::remove(FinalPath(name), error);
    if (error)
      throw EFileError("Cannot remove " + Quoted(FinalPath(name)) + " of the previous run. " +
                       error.message());
  }
  for (const std::string& name : staged) {
    fs::rename(StagedPath(name), FinalPath(name), error);
    if (error)
      throw EFileError("Cannot move " + Quoted(StagedPath(name)) + " to " +
                       Quoted(FinalPath(name)) + ". " + error.message());
  }
  fs::remove(staging_, error);
  staging_.clear();
}

}  // namespace sarvanta
