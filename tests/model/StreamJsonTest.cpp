// Lossless JSON of component streams: dump and build give back the identical bytes.
#include "model/StreamJson.h"

#include "base/Exception.h"
#include "base/Extended.h"
#include "model/Stream.h"

#include "model/StreamBytes.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace sarvanta {
namespace {

using streamtest::Bytes;
using streamtest::Short;

std::string Extended(long double value) {
  TExtendedBytes bytes = EncodeExtended(value);
  return std::string(1, '\x05') + std::string(bytes.begin(), bytes.end());
}

std::string Record(const std::string& className, const std::string& properties) {
  return Short(className) + Short("") + properties + Bytes({0, 0});
}

// A stream with every value kind, the record blocks of project and task files, and values
// written with wider tags than needed.
std::string EveryKindStream() {
  std::string poly =
      Record("TPolynomial", Short("Exponent") + Bytes({2, 1}) + Short("Poly") + Bytes({1}) +
                                Extended(0.3L) + Extended(1.0L + 0x1p-63L) + Bytes({0}));
  std::string unit = Record(
      "TMotorUnit", Short("Descr") + Bytes({6, 2}) + "U\xE9" + Short("ImpCnt") + Bytes({2, 0xFF}));
  std::string muscle =
      Record("TMuscle", Short("Tag") + Bytes({2, 4}) + Short("Data") + poly + poly + poly + poly +
                            Short("MU") + Bytes({1}) + unit + unit + Bytes({0}));
  std::string frame = Record(
      "TTimeFrame", Short("FixedStart") + Bytes({9}) + Short("Step") + Bytes({4, 1, 0, 0, 0}));
  std::string nan = Bytes({5, 1, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F});
  std::string values =
      Short("A") + Bytes({3, 5, 0}) + Short("B") + Bytes({19, 1, 0, 0, 0, 0, 0, 0, 0}) +
      Short("C") + Bytes({12, 3, 0, 0, 0}) + "abc" + Short("D") + Bytes({12, 0, 1, 0, 0}) +
      std::string(256, 'z') + Short("E") + Bytes({7}) + Short("ftNone") + Short("F") + Bytes({8}) +
      Short("G") + Bytes({13}) + Short("H") + Bytes({10, 2, 0, 0, 0, 0xDE, 0xAD}) + Short("I") +
      Bytes({11}) + Short("a") + Short("b") + Bytes({0}) + Short("J") +
      Bytes({18, 1, 0, 0, 0, 'x', 0}) + Short("K") + Bytes({15, 1, 2, 3, 4}) + Short("L") +
      Bytes({16, 1, 2, 3, 4, 5, 6, 7, 8}) + Short("M") + Bytes({17, 1, 2, 3, 4, 5, 6, 7, 8}) +
      Short("N") + Bytes({14, 2, 7, 1}) + Short("V") + Bytes({8, 0, 0}) + Short("P") +
      Bytes({1, 0}) + Short("Q") + nan + Short("R") + Extended(-0.0L) + Short("S") +
      Bytes({1, 1, 2, 9, 0, 6, 0, 0});
  std::string root = Record("TGeneticAlgorithm", values + Short("Goals") + Bytes({1, 0}) +
                                                     Short("Muscles") + Bytes({1}) + muscle +
                                                     Bytes({0}) + Short("TimeFrame") + frame);
  return "TPF0" + root;
}

TEST(StreamJson, DumpThenBuildGivesTheIdenticalBytes) {
  std::string stream = EveryKindStream();
  std::string json = StreamToJson(stream);
  EXPECT_EQ(JsonToStream(json), stream);
  // The JSON is stable too: dumping the rebuilt stream gives the same text.
  EXPECT_EQ(StreamToJson(JsonToStream(json)), json);
}

TEST(StreamJson, ShowsValuesReadablyAndKeepsWhatADoubleCannotHold) {
  nlohmann::json json = nlohmann::json::parse(StreamToJson(EveryKindStream()));
  const nlohmann::json& root = json["root"];
  EXPECT_EQ(root["class"], "TGeneticAlgorithm");
  const nlohmann::json& props = root["properties"];
  EXPECT_EQ(props[0]["value"], nlohmann::json({{"int16", 5}}));  // wider tag than needed
  EXPECT_EQ(props[1]["value"], nlohmann::json({{"int64", 1}}));
  EXPECT_EQ(props[2]["value"], nlohmann::json({{"lstring", "abc"}}));
  EXPECT_EQ(props[3]["value"], std::string(256, 'z'));  // long string, plain
  EXPECT_EQ(props[4]["value"], nlohmann::json({{"ident", "ftNone"}}));
  EXPECT_EQ(props[5]["value"], false);
  EXPECT_EQ(props[15]["value"]["ext_bytes"], "01000000000000c0ff7f");  // a non-number
  EXPECT_EQ(props[16]["value"]["ext_bytes"], "00000000000000000080");  // negative zero

  const nlohmann::json& muscle = props[19]["records"][0];
  EXPECT_EQ(muscle["class"], "TMuscle");
  const nlohmann::json& poly = muscle["properties"][1]["four_records"][3];
  EXPECT_EQ(poly["properties"][1]["value"]["list"][0]["ext"], "0.3");
  EXPECT_EQ(poly["properties"][1]["value"]["list"][1]["ext"], "1.0000000000000000001");
  EXPECT_EQ(muscle["properties"][2]["records"][0]["properties"][0]["value"], "U\u00e9");
  EXPECT_EQ(props[20]["record"]["class"], "TTimeFrame");
}

TEST(StreamJson, BuildsFromHandWrittenJson) {
  std::string json = R"({"signature": "TPF0", "root": {"class": "TBone", "properties": [
      {"name": "Tag", "value": 1}, {"name": "Descr", "value": "Humerus"},
      {"name": "Length", "value": {"ext": "0.3"}}, {"name": "FixedEdges", "value": 200}]}})";
  std::string expected =
      "TPF0" + Record("TBone", Short("Tag") + Bytes({2, 1}) + Short("Descr") + Bytes({6, 7}) +
                                   "Humerus" + Short("Length") + Extended(0.3L) +
                                   Short("FixedEdges") + Bytes({3, 200, 0}));
  EXPECT_EQ(JsonToStream(json), expected);
}

TEST(StreamJson, BuildRejectsBadJsonWithItsLocation) {
  const std::string head = R"({"signature": "TPF0", "root": {"class": "TBone", "properties": [)";
  struct BadCase {
    std::string json;
    std::string message;
  };
  for (const BadCase& c : std::vector<BadCase>{
           {"{", "not valid JSON"},
           {R"({"signature": "TPF1", "root": {}})", "JSON signature: must be \"TPF0\""},
           {R"({"signature": "TPF0"})", "\"root\" is missing"},
           {head + R"({"name": "X", "value": 0.5}]}})", "root.properties[0].value: write extended"},
           {head + R"({"name": "X", "value": {"int8": 300}}]}})", "out of range of int8"},
           {head + R"({"name": "X", "value": {"what": 1}}]}})", "unknown value kind \"what\""},
           {head + R"({"name": "X", "value": "\u0100"}]}})", "beyond U+00FF"},
           {head + R"({"name": "X", "value": {"ext": "abc"}}]}})", "expected a decimal number"},
           {head + R"({"name": "X", "value": {"ext_bytes": "00"}}]}})", "expected 10 bytes"},
           {head + R"({"name": "X", "four_records": []}]}})", "expected four records"},
           {head + R"({"name": "X"}]}})", "root.properties[0]: expected \"value\""},
           // Only one nil exists: {"nil": false} would come back as {"nil": true}.
           {head + R"({"name": "X", "value": {"nil": false}}]}})",
            "root.properties[0].value.nil: nil is written {\"nil\": true}"},
       }) {
    try {
      JsonToStream(c.json);
      ADD_FAILURE() << "no error for " << c.json;
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << "got: " << e.what() << "\nwanted: " << c.message;
    }
  }
  std::string deep =
      R"({"signature": "TPF0", "root": {"class": "T", "properties": [{"name": "X", "value": )";
  for (int i = 0; i < 500; ++i) deep += R"({"list": [)";
  deep += std::string(500, ']') + std::string(500, '}') + "}]}}";
  EXPECT_THROW(JsonToStream(deep), Exception);
}

TEST(StreamJson, DumpRejectsBadStreamsAndKeepsTrailingBytes) {
  std::string stream = EveryKindStream();
  for (size_t length = 0; length < stream.size(); ++length)
    EXPECT_THROW(StreamToJson(stream.substr(0, length)), EReadError) << length;
  // Bytes after the root record are kept, not refused.
  EXPECT_EQ(JsonToStream(StreamToJson(stream + "xy")), stream + "xy");
  EXPECT_NE(StreamToJson(stream + "xy").find("\"trailing_bytes\": \"7879\""), std::string::npos);
  std::string badTag = "TPF0" + Record("TBone", Short("X") + Bytes({42}));
  EXPECT_THROW(StreamToJson(badTag), EReadError);
}

}  // namespace
}  // namespace sarvanta
