// The output folder of a run. The run writes into a staging folder inside it and moves its
// files into place at the end (or when it stops or fails), so that the folder holds one run's
// files or the previous run's, never a mixture of both, even when the run is killed.
#pragma once

#include <string>
#include <vector>

namespace sarvanta {

class TRunFolder {
 public:
  // `runFiles`: the names a run leaves in the folder; when the run publishes, those of an
  // earlier run that it did not write itself are removed.
  TRunFolder(std::string folder, std::vector<std::string> runFiles);
  // Removes the staging folder and what it holds when the run never published.
  ~TRunFolder();
  TRunFolder(const TRunFolder&) = delete;
  TRunFolder& operator=(const TRunFolder&) = delete;

  // Creates the folder when it is missing and the staging folder inside it
  // (".sarvanta-run-<16 hex digits>"). A folder that already holds one of the run files is
  // refused unless `overwrite`. Throws EFileError.
  void Open(bool overwrite);
  // Where the run writes the file `name` until it publishes.
  std::string StagedPath(const std::string& name) const;
  // Where the file `name` ends up.
  std::string FinalPath(const std::string& name) const;
  const std::string& Folder() const { return folder_; }

  // Moves every staged file into the folder (replacing the previous run's), removes the run
  // files of the previous run that this run did not write, and removes the staging folder.
  // Throws EFileError naming the file that could not be moved.
  void Publish();

 private:
  std::string folder_;
  std::vector<std::string> runFiles_;
  std::string staging_;
};

}  // namespace sarvanta
