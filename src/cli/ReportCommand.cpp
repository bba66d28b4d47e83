// sarvanta-cli report TASK.hga [-o report.html] [--caption TEXT] [--no-caption] [--no-goals]
//   [--no-time-frame] [--no-operations]: the HTML report of a motor task, with its two
// pictures copied beside it (existing copies are kept).
#include "Command.h"

#include "ga/GeneticAlgorithm.h"
#include "ga/TaskFile.h"
#include "model/ProjectFile.h"
#include "task/FileKind.h"
#include "task/Report.h"
#include "task/ReportTemplate.h"
#include "task/TaskViews.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

namespace sarvanta::cli {
namespace {

struct TReportCommandOptions {
  std::string Task;
  std::string Output = "report.html";
  std::string Caption = "Report";
  bool NoCaption = false;
  bool NoGoals = false;
  bool NoTimeFrame = false;
  bool NoOperations = false;
};

void WriteTaskReport(const TReportCommandOptions& options) {
  RefuseToReplaceInput(options.Output, options.Task);
  RequireTaskFile(options.Task, "report");
  RegisterTaskClasses();
  TGeneticAlgorithm algorithm;
  LoadTaskFromFile(algorithm, options.Task);
  algorithm.RenameLists();
  TReportOptions report;
  report.Caption = !options.NoCaption;
  report.CaptionText = options.Caption;
  report.GoalDescriptions = !options.NoGoals;
  report.TimeFrame = !options.NoTimeFrame;
  report.GeneticOperations = !options.NoOperations;
  // The report's folder is made when it does not exist yet, as `run --out` does.
  const std::filesystem::path folder = std::filesystem::absolute(options.Output).parent_path();
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  WriteReport(ReportTaskOf(algorithm), report, options.Output);
  CopyReportPicturesChecked(ReportTemplateFolder(), folder.string());
  std::cout << "Report written to " << options.Output << '\n';
}

const TCommandRegistrar registrar([](CLI::App& app) {
  auto* command = app.add_subcommand("report", "HTML report of a motor task");
  auto options = std::make_shared<TReportCommandOptions>();
  command->add_option("TASK", options->Task, "Task file (.hga)")->required();
  command->add_option("-o,--output", options->Output, "Report file (default: report.html)");
  command->add_option("--caption", options->Caption, "Caption text (default: Report)");
  command->add_flag("--no-caption", options->NoCaption, "Leave out the caption");
  command->add_flag("--no-goals", options->NoGoals, "Leave out the goals");
  command->add_flag("--no-time-frame", options->NoTimeFrame, "Leave out the time frame");
  command->add_flag("--no-operations", options->NoOperations, "Leave out the genetic operations");
  command->callback([options] { WriteTaskReport(*options); });
});

}  // namespace
}  // namespace sarvanta::cli
