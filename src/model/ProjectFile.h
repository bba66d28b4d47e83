// Project files: a whole mechanical system loaded from and saved to a component stream, in
// the steps of the model window (clear, read, rebuild lists and references; refresh indices,
// write). Also the plain file helpers that every file of the program goes through.
#pragma once

#include <string>

namespace sarvanta {

class TMechanicalSystem;

// The whole file. Throws EFileError naming the file and the reason (also for a folder).
std::string ReadFileBytes(const std::string& path);
// Writes a temporary file beside the target and renames it over the target, so an interrupted
// save never destroys the previous file. A symbolic link is followed: its target is replaced
// and the link stays. An existing target keeps its permissions; one that is not a regular file
// (a folder, a device, a pipe) is refused. The data reaches the disk before the rename and the
// rename before the call returns. Throws EFileError; the previous file stays then and no
// temporary file is left.
void WriteFileAtomically(const std::string& path, const std::string& bytes);
// True when both paths name one existing file (the same device and inode, whatever the names,
// links or folders used to reach it).
bool IsSameFile(const std::string& first, const std::string& second);

// Clears the system and reads it from the bytes; then rebuilds its lists and object
// references. Throws EReadError (with the byte offset) for a bad stream; the objects read so
// far stay in the system, with its lists and references rebuilt for them.
void LoadSystemFromBytes(TMechanicalSystem& system, const std::string& bytes);
// Refreshes the system's stored indices, then returns "TPF0" and the system's record.
std::string SaveSystemToBytes(TMechanicalSystem& system);

// The same for files. A read failure names the file as well.
void LoadSystemFromFile(TMechanicalSystem& system, const std::string& path);
void SaveSystemToFile(TMechanicalSystem& system, const std::string& path);

}  // namespace sarvanta
