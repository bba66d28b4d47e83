// Project and task files share one stream format; these tell them apart by the class of their
// root record, so that a command given the wrong kind says what the file is and which
// commands read it instead of failing on its first property.
#pragma once

#include <string>

namespace sarvanta {

// The class name of the file's root record ("TMechanicalSystem", "TGeneticAlgorithm"), or ""
// when the file does not start like a component stream. Throws EFileError when the file
// cannot be read.
std::string FileRootClass(const std::string& path);

// Throw Exception when the file is a task file (for a command that reads projects) or a
// project file (for one that reads tasks); `command` is the command's name, as in
// "info reads project files (.svt)". Any other content is left to the reader's own checks.
void RequireProjectFile(const std::string& path, const std::string& command);
void RequireTaskFile(const std::string& path, const std::string& command);

}  // namespace sarvanta
