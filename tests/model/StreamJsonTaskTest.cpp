// Task files go through the same lossless JSON: goals, operations, the time frame record and
// the check-point goal's "Moments" list.
#include "model/StreamJson.h"

#include "ga/GeneticAlgorithm.h"
#include "ga/GeneticOperation.h"
#include "ga/GoalKinematic.h"
#include "ga/GoalLoadSharing.h"
#include "ga/TaskFile.h"
#include "model/TimeFrame.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace sarvanta {
namespace {

const nlohmann::json* Entry(const nlohmann::json& record, const std::string& name) {
  for (const auto& entry : record["properties"])
    if (entry["name"] == name) return &entry;
  return nullptr;
}

TEST(StreamJsonTask, TaskFileDumpsAndBuildsBackToTheSameBytes) {
  RegisterTaskClasses();
  TGeneticAlgorithm algorithm;
  auto* checkPoints = new TGFJointAngleCheckPoints(&algorithm, 0.3L, "Angle at check points");
  checkPoints->Moments = {10.0L, 0.3L, 250.5L};
  checkPoints->MomentsCnt = 3;
  new TGFMinimalForce(&algorithm, 1.0L, "Minimal force");
  auto* mutation = new TMutationOperation(&algorithm, 0);
  mutation->Descr = "Mutation";
  mutation->OpProbability = 0.1L;
  algorithm.TimeFrame->FromMoment = 20;
  algorithm.TimeFrame->ToMoment = 300;
  algorithm.TimeFrame->SetFixedStart(true);

  const std::string bytes = SaveTaskToBytes(algorithm);
  const std::string json = StreamToJson(bytes);
  EXPECT_EQ(JsonToStream(json), bytes);

  nlohmann::json document = nlohmann::json::parse(json);
  const nlohmann::json& root = document["root"];
  EXPECT_EQ(root["class"], "TGeneticAlgorithm");
  const nlohmann::json* goals = Entry(root, "Goals");
  ASSERT_NE(goals, nullptr);
  ASSERT_EQ((*goals)["records"].size(), 2u);
  const nlohmann::json* moments = Entry((*goals)["records"][0], "Moments");
  ASSERT_NE(moments, nullptr);
  EXPECT_EQ((*moments)["value"]["list"][1]["ext"], "0.3");
  const nlohmann::json* operations = Entry(root, "Operations");
  ASSERT_NE(operations, nullptr);
  EXPECT_EQ((*operations)["records"][0]["class"], "TMutationOperation");
  const nlohmann::json* frame = Entry(root, "TimeFrame");
  ASSERT_NE(frame, nullptr);
  const nlohmann::json* fixedStart = Entry((*frame)["record"], "FixedStart");
  ASSERT_NE(fixedStart, nullptr);
  EXPECT_EQ((*fixedStart)["value"], true);
}

}  // namespace
}  // namespace sarvanta
