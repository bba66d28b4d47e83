// Task files ("hga"): one genetic algorithm with its settings, goals, operations and time
// frame (not its population) in the component stream.
#pragma once

#include <string>

namespace sarvanta {

class TGeneticAlgorithm;

// Registers the goal and operation classes, the time frame and the algorithm with the
// stream's class registry. Safe to call any number of times.
void RegisterTaskClasses();

// "TPF0" and the algorithm's record.
std::string SaveTaskToBytes(const TGeneticAlgorithm& algorithm);
// Reads a task into the algorithm: its goals and operations are replaced, its settings and
// time frame take the file's values (defaults where the file stores none), and the stored
// selection and fitness choices are installed. Throws EReadError (with the byte offset) for a
// bad stream; the algorithm is then left exactly as it was.
void LoadTaskFromBytes(TGeneticAlgorithm& algorithm, const std::string& bytes);

// The same for files; saving goes through a temporary file renamed over the target. A read
// failure names the file.
void SaveTaskToFile(const TGeneticAlgorithm& algorithm, const std::string& path);
void LoadTaskFromFile(TGeneticAlgorithm& algorithm, const std::string& path);

}  // namespace sarvanta
