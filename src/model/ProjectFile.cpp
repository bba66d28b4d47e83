// Loading and saving whole mechanical systems.
#include "model/ProjectFile.h"

#include "base/Exception.h"
#include "model/MechanicalSystem.h"
#include "model/ModelClasses.h"
#include "model/Stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>

namespace sarvanta {

namespace {

namespace fs = std::filesystem;

std::string Reason() { return std::strerror(errno); }
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// A name beside the target that no other save uses at the same time.
std::string TemporaryNameFor(const std::string& path) {
  static std::mt19937_64 numbers{std::random_device{}()};
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(numbers()));
  return path + suffix;
}

// The file a path finally names: symbolic links are followed (also dangling ones, whose
// target is then created), so that a save replaces the target and keeps the link.
std::string FollowLinks(const std::string& path) {
  fs::path current(path);
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(current, error))) return current.string();
    const fs::path target = fs::read_symlink(current, error);
    if (error) throw EFileError("Cannot follow link " + Quoted(path) + ": " + error.message());
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  throw EFileError("Cannot follow link " + Quoted(path) + ": too many levels of links");
}

// Permission bits of an existing regular file (nothing for a new one); throws for anything
// else.
std::optional<mode_t> ExistingMode(const std::string& target, const std::string& path) {
  struct stat info {};
  if (::stat(target.c_str(), &info) != 0) {
    if (errno == ENOENT) return std::nullopt;
    throw EFileError("Cannot write file " + Quoted(path) + ": " + Reason());
  }
  if (!S_ISREG(info.st_mode))
    throw EFileError("Cannot write file " + Quoted(path) + ": it is not a regular file");
  return info.st_mode & 07777;
}

// Writes all bytes to a descriptor; false (errno set) on the first failure.
bool WriteAll(int descriptor, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// Flushes a folder's entries (a rename) to the disk.
bool SyncFolder(const std::string& file) {
  const std::string folder = fs::path(file).parent_path().empty()
                                 ? std::string(".")
                                 : fs::path(file).parent_path().string();
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (descriptor < 0) return false;
  const bool synced = ::fsync(descriptor) == 0;
  ::close(descriptor);
  return synced;
}

// Writes the temporary file completely and flushes it to the disk; throws with the reason.
void WriteTemporary(const std::string& temporary, const std::string& bytes,
                    std::optional<mode_t> mode, const std::string& path) {
  const int descriptor =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode.value_or(0666));
  // The message names the user's file: the temporary name means nothing to them.
  if (descriptor < 0) throw EFileError("Cannot write file " + Quoted(path) + ": " + Reason());
  bool written = WriteAll(descriptor, bytes);
  // The creation mode went through the umask: an existing file's own bits are set exactly.
  if (written && mode) written = ::fchmod(descriptor, *mode) == 0;
  if (written) written = ::fsync(descriptor) == 0;
  std::string reason = written ? "" : Reason();
  if (::close(descriptor) != 0 && written) {
    written = false;
    reason = Reason();
  }
  if (!written) {
    ::unlink(temporary.c_str());
    throw EFileError("Cannot write file " + Quoted(path) + ": " + reason);
  }
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw EFileError("Cannot open file " + Quoted(path) + ": " + Reason());
  std::string bytes;
  char buffer[65536];
  size_t count = 0;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, count);
  const bool failed = std::ferror(file) != 0;
  const std::string reason = failed ? Reason() : "";
  std::fclose(file);
  if (failed) throw EFileError("Cannot read file " + Quoted(path) + ": " + reason);
  return bytes;
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
  const std::string target = FollowLinks(path);
  const std::optional<mode_t> mode = ExistingMode(target, path);
  const std::string temporary = TemporaryNameFor(target);
  WriteTemporary(temporary, bytes, mode, path);
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    const std::string reason = Reason();
    ::unlink(temporary.c_str());
    throw EFileError("Cannot replace file " + Quoted(path) + ": " + reason);
  }
  if (!SyncFolder(target))
    throw EFileError("Cannot flush the folder of " + Quoted(path) + ": " + Reason());
}

bool IsSameFile(const std::string& first, const std::string& second) {
  std::error_code error;
  const bool same = fs::equivalent(first, second, error);
  return !error && same;
}

void LoadSystemFromBytes(TMechanicalSystem& system, const std::string& bytes) {
  RegisterModelClasses();
  system.Clear();
  TReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  try {
    reader.ReadSignature();
    reader.ReadComponent(system);
  } catch (...) {
    // Whatever was read stays, with lists and references that match it.
    system.UpdateLists();
    system.UpdateObjectReferences();
    throw;
  }
  system.UpdateLists();
  system.UpdateObjectReferences();
}

std::string SaveSystemToBytes(TMechanicalSystem& system) {
  system.UpdateIndexReferences();
  std::string bytes;
  TWriter writer(bytes);
  writer.WriteSignature();
  writer.WriteComponent(system);
  return bytes;
}

void LoadSystemFromFile(TMechanicalSystem& system, const std::string& path) {
  std::string bytes = ReadFileBytes(path);
  try {
    LoadSystemFromBytes(system, bytes);
  } catch (const EReadError& e) {
    throw EReadError("Cannot read \"" + path + "\": " + e.what());
  }
}

void SaveSystemToFile(TMechanicalSystem& system, const std::string& path) {
  WriteFileAtomically(path, SaveSystemToBytes(system));
}

}  // namespace sarvanta
