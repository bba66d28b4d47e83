// Whole systems saved and loaded: the bytes of a saved system, byte-exact round trips of the
// example projects, bad files and the safe save through a temporary file.
#include "model/ProjectFile.h"

#include "base/Exception.h"
#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MechanicalSystem.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"
#include "model/Polynomial.h"
#include "model/StreamJson.h"

#include "model/StreamBytes.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

using streamtest::Bytes;
using streamtest::Short;

namespace fs = std::filesystem;

std::string Example(const std::string& name) {
  return ReadFileBytes(std::string(SARVANTA_EXAMPLES_DIR) + "/" + name);
}

// Runs a load and returns its error text ("" when it loaded).
std::string LoadError(TMechanicalSystem& system, const std::string& bytes) {
  try {
    LoadSystemFromBytes(system, bytes);
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

// A scratch folder removed after the test.
class ProjectFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() /
        ("sarvanta-project-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename());
    return names;
  }
  fs::path folder_;
};

TEST(ProjectFile, EmptySystemIsTwentyFiveBytesAndLoadsBackEmpty) {
  TMechanicalSystem system;
  std::string bytes = SaveSystemToBytes(system);
  EXPECT_EQ(bytes, "TPF0" + Short("TMechanicalSystem") + Bytes({0, 0, 0}));
  EXPECT_EQ(bytes.size(), 25u);

  TMechanicalSystem loaded;
  new TBone(&loaded, "Old");
  LoadSystemFromBytes(loaded, bytes);
  EXPECT_EQ(loaded.ComponentCount(), 0);
  EXPECT_EQ(loaded.Bones.Count(), 1);
}

TEST(ProjectFile, WritesPlacedObjectsAsTheirStoredBytes) {
  TMechanicalSystem system;
  auto* bone = new TBone(&system, "Bone1", 0.3L, 2.0L, 100.0L, 0.3L, 0, 0.1L, 0.3L, 0.3L, 0.1L);
  auto* muscle = new TMuscle(&system, std::string(300, 'M'));
  auto* unit = new TMotorUnit(muscle, "MU1", 0.5L, 1000, 2, 1, 20, 5, 30, 100, 0);
  muscle->AddMotorUnit(unit);
  bone->FixedEdges = 200;
  std::string bytes = SaveSystemToBytes(system);

  const std::string boneRecord =
      Short("TBone") + Bytes({0}) + Short("Tag") + Bytes({2, 1}) + Short("Descr") + Bytes({6, 5}) +
      "Bone1" + Short("Length") +
      Bytes({5, 0x9A, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0xFD, 0x3F}) + Short("Mass") +
      Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0x40});
  ASSERT_EQ(bytes.find("Bones"), 24u);
  EXPECT_EQ(bytes.substr(30, boneRecord.size()), boneRecord);
  EXPECT_NE(bytes.find(Short("FromJntInd") + Bytes({2, 0}) + Short("ToJntInd") + Bytes({2, 0}) +
                       Short("FixedEdges") + Bytes({3, 200, 0}) + Short("StartPointX")),
            std::string::npos);
  EXPECT_EQ(bytes.find("StartPointY"), std::string::npos);  // 0 is not stored
  EXPECT_NE(bytes.find(Short("Descr") + Bytes({12, 0x2C, 0x01, 0, 0}) + std::string(300, 'M')),
            std::string::npos);
  EXPECT_NE(bytes.find(Short("ImpCnt") + Bytes({2, 0xFF, 0, 0})), std::string::npos);
  EXPECT_EQ(bytes.find("ImpArray"), std::string::npos);
  EXPECT_EQ(bytes.find("MU") + 2, bytes.find(Bytes({1}) + Short("TMotorUnit")));

  TMechanicalSystem loaded;
  LoadSystemFromBytes(loaded, bytes);
  EXPECT_EQ(SaveSystemToBytes(loaded), bytes);
}

TEST(ProjectFile, ExampleProjectsReadAndWriteTheSameBytes) {
  for (const char* name : {"elbow.svt", "bench-arm.svt"}) {
    std::string bytes = Example(name);
    TMechanicalSystem system;
    LoadSystemFromBytes(system, bytes);
    EXPECT_EQ(SaveSystemToBytes(system), bytes) << name;
    EXPECT_EQ(JsonToStream(StreamToJson(bytes)), bytes) << name;
  }
  TMechanicalSystem elbow;
  LoadSystemFromBytes(elbow, Example("elbow.svt"));
  ASSERT_EQ(elbow.Muscles.Count(), 5);
  EXPECT_EQ(elbow.Muscles.Strings(1), "Biceps");
  EXPECT_EQ(elbow.Muscles.Strings(4), "Triceps");
  EXPECT_EQ(elbow.Joint(1)->FBone(), elbow.Bone(1));
  EXPECT_EQ(elbow.Muscle(1)->ToBone, elbow.Bone(2));
  EXPECT_EQ(elbow.Muscle(1)->MotorUnits.Strings(0), "MU1");
  EXPECT_GT(elbow.Muscle(1)->Force(150), 0);
}

TEST(ProjectFile, ExampleProjectsAreBuiltFromTheirJson) {
  for (const char* name : {"elbow", "bench-arm"})
    EXPECT_EQ(JsonToStream(Example(std::string(name) + ".json")),
              Example(std::string(name) + ".svt"))
        << name;
}

TEST(ProjectFile, EveryTruncationIsAReadErrorAndKeepsWhatWasRead) {
  const std::string bytes = Example("elbow.svt");
  for (size_t length = 0; length < bytes.size(); ++length) {
    TMechanicalSystem system;
    EXPECT_NE(LoadError(system, bytes.substr(0, length)), "") << length;
  }
  const std::string bench = Example("bench-arm.svt");
  for (size_t length = 0; length < bench.size(); length += 4999) {
    TMechanicalSystem system;
    EXPECT_NE(LoadError(system, bench.substr(0, length)), "") << length;
  }
  // Cut inside the third muscle: bones, joint and the first two muscles stay, listed.
  TMechanicalSystem system;
  size_t third = bytes.find("Brachioradialis");
  std::string error = LoadError(system, bytes.substr(0, third + 100));
  EXPECT_NE(error.find("Stream ends early"), std::string::npos) << error;
  EXPECT_EQ(system.Bones.Count(), 3);
  EXPECT_EQ(system.Joints.Count(), 2);
  ASSERT_EQ(system.Muscles.Count(), 4);
  EXPECT_EQ(system.Muscles.Strings(2), "Brachialis");
  EXPECT_EQ(system.Muscle(1)->FromBone, system.Bone(1));
}

TEST(ProjectFile, BadFilesNameTheProblem) {
  const std::string elbow = Example("elbow.svt");
  nlohmann::ordered_json json = nlohmann::ordered_json::parse(Example("elbow.json"));

  auto with = [&](auto change) {
    nlohmann::ordered_json copy = json;
    change(copy);
    return JsonToStream(copy.dump());
  };
  struct BadCase {
    std::string bytes;
    std::string message;
  };
  const std::vector<BadCase> cases = {
      {"TPF1" + elbow.substr(4), "Wrong signature"},
      {with([](auto& j) {
         j["root"]["properties"][0]["records"][0]["properties"][0]["name"] = "Tog";
       }),
       "Unknown property \"Tog\" of TBone"},
      {with([](auto& j) {
         j["root"]["properties"][2]["records"][0]["properties"][7]["records"][0]["class"] =
             "TMotorUnitX";
       }),
       "Class \"TMotorUnitX\" is not registered"},
      {with([](auto& j) {
         j["root"]["properties"][0]["records"][0]["properties"][2]["value"] = "0.3";
       }),
       "Expected a floating point value but found string"},
      {with([](auto& j) {
         j["root"]["properties"][0]["records"][0]["properties"][1]["value"] = {{"binary", "00"}};
       }),
       "Expected a string but found binary"},
      {with([](auto& j) {
         j["root"]["properties"][2]["records"][0]["properties"][2]["value"] = 300;
       }),
       "TMuscle.Plane is 300: it must be between 0 and 255"},
  };
  for (const BadCase& c : cases) {
    TMechanicalSystem system;
    std::string error = LoadError(system, c.bytes);
    EXPECT_NE(error.find(c.message), std::string::npos)
        << "got: " << error << "\nwanted: " << c.message;
    EXPECT_NE(error.find(" at byte "), std::string::npos) << error;
  }

  // A long string whose length runs far past the end of the file.
  std::string huge = elbow;
  size_t descr = huge.find(Short("Descr") + Bytes({6, 7}) + "Humerus");
  ASSERT_NE(descr, std::string::npos);
  huge.replace(descr + 6, 2, Bytes({12, 0xF0, 0xFF, 0xFF, 0xFF}));
  TMechanicalSystem system;
  EXPECT_NE(LoadError(system, huge).find("Stream ends early"), std::string::npos);
}

TEST(ProjectFile, HugeCountsInAFileAllocateNothingLarge) {
  nlohmann::ordered_json unit = {
      {"class", "TMotorUnit"},
      {"properties",
       {{{"name", "ImpCnt"}, {"value", 2147483647}},
        {{"name", "ImpArray"}, {"value", {{"list", {{{"ext", "1"}}}}}}}}}};
  nlohmann::ordered_json poly = {{"class", "TPolynomial"},
                                 {"properties", {{{"name", "Exponent"}, {"value", 2147483647}}}}};
  nlohmann::ordered_json muscle = {{"class", "TMuscle"},
                                   {"properties",
                                    {{{"name", "Data"}, {"four_records", {poly, poly, poly, poly}}},
                                     {{"name", "MU"}, {"records", {unit}}}}}};
  nlohmann::ordered_json json = {
      {"signature", "TPF0"},
      {"root",
       {{"class", "TMechanicalSystem"},
        {"properties", {{{"name", "Muscles"}, {"records", {muscle}}}}}}}};
  nlohmann::ordered_json unitOnly = json;
  unitOnly["root"]["properties"][0]["records"][0]["properties"].erase(0);
  for (const auto& document : {json, unitOnly}) {
    TMechanicalSystem system;
    try {
      LoadSystemFromBytes(system, JsonToStream(document.dump()));
    } catch (const EReadError&) {
    }
    for (int m = 1; m < system.Muscles.Count(); ++m) {
      EXPECT_LE(system.Muscle(m)->ForceArmPoly->Coefficients.size(), size_t{1} << 20);
      for (int u = 0; u < system.Muscle(m)->MotorUnits.Count(); ++u)
        EXPECT_LE(system.Muscle(m)->MotorUnit(u)->ImpArray().size(), 1u);
    }
  }
}

TEST_F(ProjectFileOnDisk, SavesThroughATemporaryFileAndReplacesTheTarget) {
  const std::string path = (folder_ / "arm.svt").string();
  TMechanicalSystem system;
  LoadSystemFromBytes(system, Example("elbow.svt"));
  SaveSystemToFile(system, path);
  EXPECT_EQ(ReadFileBytes(path), Example("elbow.svt"));

  system.Clear();
  system.UpdateLists();
  SaveSystemToFile(system, path);  // replaces the earlier file
  EXPECT_EQ(ReadFileBytes(path).size(), 25u);
  EXPECT_EQ(Files(), std::vector<std::string>{"arm.svt"});  // no temporary file left

  TMechanicalSystem loaded;
  LoadSystemFromFile(loaded, path);
  EXPECT_EQ(loaded.ComponentCount(), 0);

  EXPECT_THROW(SaveSystemToFile(system, (folder_ / "missing" / "x.svt").string()), EFileError);
  EXPECT_THROW(LoadSystemFromFile(loaded, (folder_ / "none.svt").string()), EFileError);
  // A file that does not load names itself and the offset.
  const std::string bad = (folder_ / "bad.svt").string();
  WriteFileAtomically(bad, "TPF0");
  try {
    LoadSystemFromFile(loaded, bad);
    ADD_FAILURE() << "loaded a bad file";
  } catch (const EReadError& e) {
    EXPECT_NE(std::string(e.what()).find("bad.svt"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("at byte 4"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace sarvanta
