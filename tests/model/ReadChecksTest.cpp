// Reading refuses what the program cannot use, naming what is wrong: records of the wrong
// class, non-finite numbers, and sizes beyond the program's limits.
#include "model/ProjectFile.h"

#include "base/Exception.h"
#include "model/MechanicalSystem.h"
#include "model/Polynomial.h"
#include "model/StreamJson.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace sarvanta {
namespace {

using nlohmann::ordered_json;

std::string LoadError(const std::string& json) {
  TMechanicalSystem system;
  try {
    LoadSystemFromBytes(system, JsonToStream(json));
  } catch (const EReadError& e) {
    return e.what();
  }
  return "";
}

using TEntries = std::vector<ordered_json>;

// A property entry {"name": name, key: value}.
ordered_json Entry(const std::string& name, const ordered_json& value,
                   const std::string& key = "value") {
  ordered_json entry = ordered_json::object();
  entry["name"] = name;
  entry[key] = value;
  return entry;
}

ordered_json Array(const TEntries& items) {
  ordered_json array = ordered_json::array();
  for (const ordered_json& item : items) array.push_back(item);
  return array;
}

ordered_json Record(const std::string& className, const TEntries& properties) {
  ordered_json record = ordered_json::object();
  record["class"] = className;
  record["properties"] = Array(properties);
  return record;
}

ordered_json List(const TEntries& values) {
  ordered_json list = ordered_json::object();
  list["list"] = Array(values);
  return list;
}

// A project whose root (of class `root`) holds `properties`.
std::string Project(const TEntries& properties, const std::string& root = "TMechanicalSystem") {
  ordered_json document = ordered_json::object();
  document["signature"] = "TPF0";
  document["root"] = Record(root, properties);
  return document.dump();
}

TEntries OneMuscle(const TEntries& muscleProperties) {
  return {Entry("Muscles", Array({Record("TMuscle", muscleProperties)}), "records")};
}

// A muscle's four polynomials, the first one given.
ordered_json FourPolynomials(const ordered_json& first) {
  const ordered_json plain = Record("TPolynomial", {});
  return Array({first, plain, plain, plain});
}

ordered_json Extended(const std::string& text) {
  ordered_json value = ordered_json::object();
  value["ext"] = text;
  return value;
}

ordered_json ExtendedBytes(const std::string& hex) {
  ordered_json value = ordered_json::object();
  value["ext_bytes"] = hex;
  return value;
}

// The 10 bytes of an extended quiet non-number.
const char* const kNanBytes = "00000000000000c0ff7f";

}  // namespace

TEST(FileChecks, RecordsOfTheWrongClassAreRefused) {
  EXPECT_NE(LoadError(Project({}, "TGeneticAlgorithm"))
                .find("A record of class \"TGeneticAlgorithm\" where \"TMechanicalSystem\" is "
                      "expected at byte 4"),
            std::string::npos);
  const std::string bones = Project({Entry("Bones", Array({Record("TMuscle", {})}), "records")});
  EXPECT_NE(LoadError(bones).find("\"TMuscle\" where \"TBone\" is expected"), std::string::npos)
      << LoadError(bones);
  const std::string data =
      Project(OneMuscle({Entry("Data", FourPolynomials(Record("TBone", {})), "four_records")}));
  EXPECT_NE(LoadError(data).find("\"TBone\" where \"TPolynomial\" is expected"), std::string::npos);
}

TEST(FileChecks, NonFiniteNumbersAreRefusedNamingTheField) {
  const ordered_json nan = ExtendedBytes(kNanBytes);
  const ordered_json bone = Record("TBone", {Entry("Length", nan)});
  const ordered_json unit = Record("TMotorUnit", {Entry("ImpArray", List({Extended("1"), nan}))});
  const ordered_json poly = Record("TPolynomial", {Entry("Poly", List({nan}))});
  const struct {
    std::string Json;
    std::string Message;
  } cases[] = {
      {Project({Entry("Bones", Array({bone}), "records")}), "TBone.Length is NAN"},
      {Project(OneMuscle({Entry("BoneHolding", ExtendedBytes("0000000000000080ff7f"))})),
       "TMuscle.BoneHolding is INF"},
      {Project(OneMuscle({Entry("MU", Array({unit}), "records")})), "TMotorUnit.ImpArray is NAN"},
      {Project(OneMuscle({Entry("Data", FourPolynomials(poly), "four_records")})),
       "TPolynomial.Poly is NAN"},
  };
  for (const auto& c : cases) {
    const std::string error = LoadError(c.Json);
    EXPECT_NE(error.find(c.Message + ", not a finite number at byte"), std::string::npos) << error;
  }
}

TEST(FileChecks, SizesBeyondTheLimitsAreRefused) {
  const ordered_json degree = Record("TPolynomial", {Entry("Exponent", 65)});
  EXPECT_NE(LoadError(Project(OneMuscle({Entry("Data", FourPolynomials(degree), "four_records")})))
                .find("TPolynomial.Exponent is 65: it must be between -2147483648 and 64"),
            std::string::npos);
  TEntries coefficients(TPolynomial::MaxExponent + 2, ordered_json(1));
  const ordered_json many = Record("TPolynomial", {Entry("Poly", List(coefficients))});
  EXPECT_NE(LoadError(Project(OneMuscle({Entry("Data", FourPolynomials(many), "four_records")})))
                .find("TPolynomial.Poly holds more than 65 coefficients"),
            std::string::npos);
  TEntries bones(TMechanicalSystem::MaxListEntries + 1, Record("TBone", {}));
  EXPECT_NE(LoadError(Project({Entry("Bones", Array(bones), "records")}))
                .find("TMechanicalSystem.Bones holds more than 10000 records"),
            std::string::npos);
}

}  // namespace sarvanta
