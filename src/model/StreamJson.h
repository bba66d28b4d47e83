// Lossless JSON of any component stream file (project or task) and the way back.
//
// StreamToJson keeps every byte's meaning: records, property entries, tagged values and the
// record blocks ("Bones", "MU", "Data", "TimeFrame", ...). JsonToStream turns that JSON back
// into the identical bytes. The JSON shape is described in docs/file-format.md.
#pragma once

#include <string>

namespace sarvanta {

// The JSON text of a component stream. Throws EReadError for a stream that cannot be read.
std::string StreamToJson(const std::string& bytes);

// The component stream described by JSON text ({"nil": false} is refused: nil has one form).
// Throws Exception naming the JSON location of the problem.
std::string JsonToStream(const std::string& jsonText);

// JsonToStream that also holds the JSON to what the program reads: every record's class must
// be registered (register the model's and the task's classes first), the root a
// TMechanicalSystem or a TGeneticAlgorithm, every property entry
// one of the class's own with a value of its kind and range (a string not longer than the
// property holds). Throws Exception naming the JSON path.
std::string JsonToCheckedStream(const std::string& jsonText);

}  // namespace sarvanta
