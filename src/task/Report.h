// The HTML report of a motor task: its goals, its time frame and its genetic operations.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace sarvanta {

// What goes into the page (the check boxes of the report window).
struct TReportOptions {
  bool Caption = true;
  std::string CaptionText = "Report";
  bool GoalDescriptions = true;
  bool TimeFrame = true;
  bool HGASettings = true;  // no section of its own
  bool GeneticOperations = true;
  bool SimulationSummary = true;  // no section of its own
};

enum class TReportOperationKind { Mutation, Crossover, CommonMutation, Other };

struct TReportGoal {
  std::string Caption;
  long double Weight = 0;
};

struct TReportOperation {
  TReportOperationKind Kind = TReportOperationKind::Other;
  std::string Descr;
};

// The task as the report reads it (the algorithm, its time frame, its goals and operations).
struct TReportTask {
  std::vector<TReportGoal> Goals;
  std::vector<TReportOperation> Operations;
  long double FrameStart = 0;
  long double FrameEnd = 0;
  long double CtrlExt = 0;
  long double Precision = 0;
  long double StopPrec = 0;
  long double Duration = 0;
  long double StopChangePrecAfter = 0;
  long double MoveOnEach = 0;
  long double MoveFrameWith = 0;
  long double StopMoveAfter = 0;
};

// The address behind the page's banner.
extern const char* const ReportHomePage;

// The two pictures the page shows, by bare name: they must lie beside the page.
extern const std::array<const char*, 2> ReportImageFiles;

// The page as text, lines ended by CR LF: ten head lines, the chosen sections (caption, goals,
// time frame, genetic operations) and "</body>", "</html>". Texts from the task are written
// with "&", "<", ">" and '"' escaped, so a name can never inject markup into the page.
std::string BuildReport(const TReportTask& task, const TReportOptions& options);

// Writes the page to a file (replacing it); throws EFileError when it cannot be written.
void WriteReport(const TReportTask& task, const TReportOptions& options,
                 const std::string& fileName);

// Copies each picture from `templateFolder` into `destinationFolder`, keeping a copy that is
// already there; a picture missing from the template folder is skipped without a word.
// Returns the number of pictures copied.
int CopyReportPictures(const std::string& templateFolder, const std::string& destinationFolder);
// Copies the pictures as CopyReportPictures does, then throws EFileError naming the first
// picture of the template folder that is still missing from the destination (a full disk).
void CopyReportPicturesChecked(const std::string& templateFolder,
                               const std::string& destinationFolder);

}  // namespace sarvanta
