// Lossless JSON of component streams: a structural walk of records, property entries and
// tagged values. Only the record blocks need to be known by name (one small table).
#include "model/StreamJson.h"

#include "base/Exception.h"
#include "base/Extended.h"
#include "base/NumberText.h"
#include "model/Stream.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <map>
#include <memory>

namespace sarvanta {

namespace {

using nlohmann::ordered_json;

// Custom blocks made of component records rather than one tagged value.
enum class TBlockShape { RecordList, OneRecord, FourRecords };

const std::map<std::string, TBlockShape>& BlockShapes() {
  static const std::map<std::string, TBlockShape> shapes = {
      {"Bones", TBlockShape::RecordList},   {"Joints", TBlockShape::RecordList},
      {"Muscles", TBlockShape::RecordList}, {"MU", TBlockShape::RecordList},
      {"Goals", TBlockShape::RecordList},   {"Operations", TBlockShape::RecordList},
      {"Data", TBlockShape::FourRecords},   {"TimeFrame", TBlockShape::OneRecord}};
  return shapes;
}

// The JSON key of a block of that shape.
const char* ShapeKey(TBlockShape shape) {
  switch (shape) {
    case TBlockShape::RecordList:
      return "records";
    case TBlockShape::OneRecord:
      return "record";
    case TBlockShape::FourRecords:
      return "four_records";
  }
  return "records";
}

// ---- Text: 8-bit stream strings are shown as Latin-1 in UTF-8 JSON ----

std::string Latin1ToUtf8(const std::string& bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      text.push_back(static_cast<char>(c));
    } else {
      text.push_back(static_cast<char>(0xC0 | (c >> 6)));
      text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return text;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string text;
  for (unsigned char c : bytes) {
    text.push_back(digits[c >> 4]);
    text.push_back(digits[c & 15]);
  }
  return text;
}

// Shortest decimal text (15 to 21 significant digits) that reads back to the same 10 bytes;
// empty when none does (non-numbers, infinities, negative zero, unnormal encodings).
std::string ExactExtendedText(const std::string& bytes) {
  const uint8_t* raw = reinterpret_cast<const uint8_t*>(bytes.data());
  long double value = DecodeExtended(raw);
  for (int digits = 15; digits <= 21; ++digits) {
    std::string text = FloatToStrDigits(value, digits);
    long double back = 0;
    if (!TryStrToFloat(text, back)) return "";
    TExtendedBytes encoded = EncodeExtended(back);
    if (std::memcmp(encoded.data(), raw, encoded.size()) == 0) return text;
  }
  return "";
}

// The smallest integer tag that holds a value (as the writer chooses it).
uint8_t SmallestIntegerTag(int64_t value) {
  if (value >= INT8_MIN && value <= INT8_MAX) return vaInt8;
  if (value >= INT16_MIN && value <= INT16_MAX) return vaInt16;
  if (value >= INT32_MIN && value <= INT32_MAX) return vaInt32;
  return vaInt64;
}

const char* IntegerKey(uint8_t tag) {
  switch (tag) {
    case vaInt8:
      return "int8";
    case vaInt16:
      return "int16";
    case vaInt32:
      return "int32";
    default:
      return "int64";
  }
}

int64_t SignedOfSize(const std::string& bytes) {
  uint64_t value = 0;
  for (size_t i = 0; i < bytes.size(); ++i)
    value |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  size_t bits = bytes.size() * 8;
  if (bits < 64 && (value >> (bits - 1)) & 1) value |= ~uint64_t{0} << bits;
  return static_cast<int64_t>(value);
}

// ---- Stream to JSON ----

class TDumper {
 public:
  explicit TDumper(const std::string& bytes)
      : size_(bytes.size()),
        reader_(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) {}

  ordered_json Dump() {
    reader_.ReadSignature();
    ordered_json root = ordered_json::object();
    root["signature"] = "TPF0";
    root["root"] = Record();
    // Bytes after the root record are no part of the model; they are kept as they are.
    if (!reader_.AtEnd()) root["trailing_bytes"] = Hex(reader_.ReadBytes(Left()));
    return root;
  }

 private:
  ordered_json Record() {
    TReader::TNesting nesting(reader_);
    size_t start = reader_.Position();
    if (reader_.NextTag() >= 0xF0)
      reader_.Error("Inherited or inline component records are not supported");
    ordered_json record = ordered_json::object();
    std::string className = reader_.ReadShortString();
    if (className.empty()) reader_.ErrorAt(start, "Empty class name");
    record["class"] = Latin1ToUtf8(className);
    std::string name = reader_.ReadShortString();
    if (!name.empty()) record["name"] = Latin1ToUtf8(name);
    ordered_json properties = ordered_json::array();
    while (!reader_.EndOfList()) properties.push_back(Property());
    reader_.ReadListEnd();
    if (!reader_.EndOfList()) reader_.Error("Child components are not supported");
    reader_.ReadListEnd();
    record["properties"] = std::move(properties);
    return record;
  }

  ordered_json Property() {
    ordered_json entry = ordered_json::object();
    std::string name = reader_.ReadShortString();
    entry["name"] = Latin1ToUtf8(name);
    auto shape = BlockShapes().find(name);
    if (shape == BlockShapes().end()) {
      entry["value"] = Value();
      return entry;
    }
    switch (shape->second) {
      case TBlockShape::RecordList: {
        TReader::TNesting nesting(reader_);
        reader_.ReadListBegin();
        ordered_json records = ordered_json::array();
        while (!reader_.EndOfList()) records.push_back(Record());
        reader_.ReadListEnd();
        entry["records"] = std::move(records);
        break;
      }
      case TBlockShape::OneRecord:
        entry["record"] = Record();
        break;
      case TBlockShape::FourRecords: {
        ordered_json records = ordered_json::array();
        for (int i = 0; i < 4; ++i) records.push_back(Record());
        entry["four_records"] = std::move(records);
        break;
      }
    }
    return entry;
  }

  ordered_json Value() {
    TReader::TNesting nesting(reader_);
    size_t start = reader_.Position();
    uint8_t tag = reader_.ReadByte();
    switch (tag) {
      case vaList: {
        ordered_json items = ordered_json::array();
        while (!reader_.EndOfList()) items.push_back(Value());
        reader_.ReadListEnd();
        return {{"list", std::move(items)}};
      }
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64: {
        int64_t value = SignedOfSize(reader_.ReadBytes(FixedValueSize(tag)));
        if (SmallestIntegerTag(value) == tag) return value;
        return {{IntegerKey(tag), value}};
      }
      case vaExtended: {
        std::string bytes = reader_.ReadBytes(10);
        std::string text = ExactExtendedText(bytes);
        if (!text.empty()) return {{"ext", text}};
        return {{"ext_bytes", Hex(bytes)}};
      }
      case vaString:
        return Latin1ToUtf8(reader_.ReadShortString());
      case vaLString: {
        std::string text = reader_.ReadBytes(reader_.ReadUInt32());
        if (text.size() > 255) return Latin1ToUtf8(text);
        return {{"lstring", Latin1ToUtf8(text)}};
      }
      case vaIdent:
        return {{"ident", Latin1ToUtf8(reader_.ReadShortString())}};
      case vaFalse:
        return false;
      case vaTrue:
        return true;
      case vaNil:
        return {{"nil", true}};
      case vaBinary:
        return {{"binary", Hex(reader_.ReadBytes(reader_.ReadUInt32()))}};
      case vaWString:
        return {{"wstring", Hex(reader_.ReadBytes(size_t{reader_.ReadUInt32()} * 2))}};
      case vaSingle:
        return {{"single", Hex(reader_.ReadBytes(4))}};
      case vaCurrency:
        return {{"currency", Hex(reader_.ReadBytes(8))}};
      case vaDate:
        return {{"date", Hex(reader_.ReadBytes(8))}};
      case vaSet: {
        ordered_json names = ordered_json::array();
        for (std::string name = reader_.ReadShortString(); !name.empty();
             name = reader_.ReadShortString())
          names.push_back(Latin1ToUtf8(name));
        return {{"set", std::move(names)}};
      }
      case vaCollection:
        return {{"collection", CollectionItems()}};
      default:
        reader_.ErrorAt(start, "Unexpected " + ValueTagName(tag));
    }
  }

  ordered_json CollectionItems() {
    ordered_json items = ordered_json::array();
    while (!reader_.EndOfList()) {
      ordered_json item = ordered_json::object();
      uint8_t next = reader_.NextTag();
      if (next == vaInt8 || next == vaInt16 || next == vaInt32) item["order"] = Value();
      reader_.ReadListBegin();
      ordered_json properties = ordered_json::array();
      while (!reader_.EndOfList()) properties.push_back(Property());
      reader_.ReadListEnd();
      item["properties"] = std::move(properties);
      items.push_back(std::move(item));
    }
    reader_.ReadListEnd();
    return items;
  }

  size_t Left() const { return size_ - reader_.Position(); }

  size_t size_;
  TReader reader_;
};

// ---- JSON to stream ----

class TBuilder {
 public:
  TBuilder(std::string& out, bool checked) : writer_(out), out_(out), checked_(checked) {}

  void Build(const ordered_json& document) {
    Expect(document.is_object(), "", "the document must be an object");
    Expect(Member(document, "signature", "") == "TPF0", "signature", "must be \"TPF0\"");
    writer_.WriteSignature();
    const ordered_json& root = Member(document, "root", "");
    if (checked_) {
      const std::string rootClass =
          root.is_object() && root.contains("class") && root["class"].is_string()
              ? root["class"].get<std::string>()
              : "";
      Expect(rootClass == "TMechanicalSystem" || rootClass == "TGeneticAlgorithm", "root.class",
             "a project holds a \"TMechanicalSystem\", a task a \"TGeneticAlgorithm\"");
    }
    Record(root, "root", 0);
    if (document.contains("trailing_bytes"))
      writer_.WriteBytes(HexBytes(document["trailing_bytes"], "trailing_bytes"));
  }

 private:
  static constexpr int MaxDepth = TReader::MaxDepth;

  [[noreturn]] static void Fail(const std::string& path, const std::string& what) {
    throw Exception("JSON " + (path.empty() ? std::string("document") : path) + ": " + what);
  }
  static void Expect(bool condition, const std::string& path, const std::string& what) {
    if (!condition) Fail(path, what);
  }
  static const ordered_json& Member(const ordered_json& object, const char* key,
                                    const std::string& path) {
    auto found = object.find(key);
    if (found == object.end()) Fail(path, std::string("\"") + key + "\" is missing");
    return *found;
  }
  static std::string Join(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
  }
  static std::string At(const std::string& path, size_t index) {
    return path + "[" + std::to_string(index) + "]";
  }

  std::string Text(const ordered_json& value, const std::string& path) {
    Expect(value.is_string(), path, "expected a string");
    const std::string& utf8 = value.get_ref<const std::string&>();
    std::string bytes;
    for (size_t i = 0; i < utf8.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(utf8[i]);
      if (c < 0x80) {
        bytes.push_back(static_cast<char>(c));
      } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
        unsigned char next = static_cast<unsigned char>(utf8[++i]);
        bytes.push_back(static_cast<char>(((c & 0x03) << 6) | (next & 0x3F)));
      } else {
        Fail(path, "characters beyond U+00FF cannot be stored");
      }
    }
    return bytes;
  }

  std::string ShortText(const ordered_json& value, const std::string& path) {
    std::string bytes = Text(value, path);
    Expect(bytes.size() <= 255, path, "longer than 255 characters");
    return bytes;
  }

  std::string HexBytes(const ordered_json& value, const std::string& path, size_t size = 0) {
    Expect(value.is_string(), path, "expected hexadecimal bytes");
    const std::string& text = value.get_ref<const std::string&>();
    Expect(text.size() % 2 == 0, path, "odd number of hexadecimal digits");
    Expect(size == 0 || text.size() == 2 * size, path,
           "expected " + std::to_string(size) + " bytes");
    std::string bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
      int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
      Expect(high >= 0 && low >= 0, path, "not a hexadecimal digit");
      bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return bytes;
  }

  static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  void Record(const ordered_json& record, const std::string& path, int depth) {
    Expect(depth < MaxDepth, path, "nested too deeply");
    Expect(record.is_object() && record.contains("class"), path,
           "expected a record with a \"class\"");
    std::string className = ShortText(record["class"], Join(path, "class"));
    Expect(!className.empty(), Join(path, "class"), "empty class name");
    const TClassInfo* info = checked_ ? &ClassInfoOf(className, Join(path, "class")) : nullptr;
    writer_.WriteShortString(className);
    writer_.WriteShortString(record.contains("name") ? ShortText(record["name"], Join(path, "name"))
                                                     : "");
    Properties(Member(record, "properties", path), Join(path, "properties"), depth, info);
    writer_.WriteListEnd();
  }

  // The property table of a registered class (kept for the whole build).
  const TClassInfo& ClassInfoOf(const std::string& className, const std::string& path) {
    auto found = classes_.find(className);
    if (found != classes_.end()) return *found->second;
    std::unique_ptr<TStreamComponent> probe(CreateRegisteredComponent(className, nullptr));
    Expect(probe != nullptr, path, "\"" + className + "\" is not a class of project or task files");
    const TClassInfo* info = &probe->ClassInfo();  // static table of the class
    classes_[className] = info;
    return *info;
  }

  void Properties(const ordered_json& properties, const std::string& path, int depth,
                  const TClassInfo* info = nullptr) {
    Expect(properties.is_array(), path, "expected an array of properties");
    for (size_t i = 0; i < properties.size(); ++i) {
      if (info != nullptr) CheckProperty(*info, properties[i], At(path, i));
      Property(properties[i], At(path, i), depth);
    }
    writer_.WriteListEnd();
  }

  // The entry must be one of the class's own, with a value of its kind.
  void CheckProperty(const TClassInfo& info, const ordered_json& entry, const std::string& path) {
    Expect(entry.is_object() && entry.contains("name") && entry["name"].is_string(), path,
           "expected a property entry with a \"name\"");
    const std::string name = entry["name"].get<std::string>();
    if (name == "Tag") return CheckKind(entry, path, TPropType::Integer, nullptr);
    for (const TPropertyInfo& property : info.Properties)
      if (property.Name == name) return CheckKind(entry, path, property.Type, &property);
    for (const TBlockInfo& block : info.Blocks) {
      if (block.Name != name) continue;
      auto shape = BlockShapes().find(name);
      if (shape != BlockShapes().end())
        Expect(entry.contains(ShapeKey(shape->second)), path,
               "\"" + name + "\" holds \"" + ShapeKey(shape->second) + "\"");
      else
        Expect(entry.contains("value") && entry["value"].is_object() &&
                   entry["value"].contains("list"),
               path, "\"" + name + "\" holds a list of values");
      return;
    }
    Fail(Join(path, "name"), "\"" + info.ClassName + "\" has no property \"" + name + "\"");
  }

  void CheckKind(const ordered_json& entry, const std::string& path, TPropType type,
                 const TPropertyInfo* property) {
    Expect(entry.contains("value"), path, "expected a \"value\"");
    const ordered_json& value = entry["value"];
    const std::string valuePath = Join(path, "value");
    const std::string key = value.is_object() && value.size() == 1 ? value.begin().key() : "";
    const bool integer = value.is_number_integer() || key == "int8" || key == "int16" ||
                         key == "int32" || key == "int64";
    switch (type) {
      case TPropType::Integer:
        Expect(integer, valuePath, "expected an integer");
        if (property != nullptr) {
          const ordered_json& number = key.empty() ? value : value.begin().value();
          const bool inRange =
              number.is_number_unsigned()
                  ? number.get<uint64_t>() <= static_cast<uint64_t>(property->MaxValue) &&
                        property->MaxValue >= 0
                  : number.is_number_integer() && number.get<int64_t>() >= property->MinValue &&
                        number.get<int64_t>() <= property->MaxValue;
          Expect(inRange, valuePath, "out of the range of \"" + property->Name + "\"");
        }
        return;
      case TPropType::Extended:
        Expect(integer || key == "ext" || key == "ext_bytes", valuePath,
               "expected a number ({\"ext\": \"text\"} or an integer)");
        return;
      case TPropType::String: {
        Expect(value.is_string() || key == "lstring" || key == "ident", valuePath,
               "expected a string");
        const ordered_json& text = key.empty() ? value : value.begin().value();
        Expect(property == nullptr || Text(text, valuePath).size() <= property->MaxLength,
               valuePath,
               "longer than the " + std::to_string(property ? property->MaxLength : 0) +
                   " characters \"" + (property ? property->Name : "") + "\" holds");
        return;
      }
      case TPropType::Boolean:
        Expect(value.is_boolean(), valuePath, "expected true or false");
        return;
      case TPropType::Enum:
        Expect(key == "ident", valuePath, "expected {\"ident\": \"name\"}");
        return;
    }
  }

  void Property(const ordered_json& entry, const std::string& path, int depth) {
    Expect(entry.is_object(), path, "expected a property entry");
    writer_.WriteShortString(ShortText(Member(entry, "name", path), Join(path, "name")));
    if (entry.contains("value")) {
      Value(entry["value"], Join(path, "value"), depth + 1);
    } else if (entry.contains("records")) {
      const ordered_json& records = entry["records"];
      Expect(records.is_array(), Join(path, "records"), "expected an array of records");
      writer_.WriteListBegin();
      for (size_t i = 0; i < records.size(); ++i)
        Record(records[i], At(Join(path, "records"), i), depth + 1);
      writer_.WriteListEnd();
    } else if (entry.contains("record")) {
      Record(entry["record"], Join(path, "record"), depth + 1);
    } else if (entry.contains("four_records")) {
      const ordered_json& records = entry["four_records"];
      Expect(records.is_array() && records.size() == 4, Join(path, "four_records"),
             "expected four records");
      for (size_t i = 0; i < 4; ++i)
        Record(records[i], At(Join(path, "four_records"), i), depth + 1);
    } else {
      Fail(path, "expected \"value\", \"records\", \"record\" or \"four_records\"");
    }
  }

  void Integer(const ordered_json& value, uint8_t tag, const std::string& path) {
    Expect(value.is_number_integer(), path, "expected an integer");
    int64_t number = 0;
    if (value.is_number_unsigned()) {
      Expect(value.get<uint64_t>() <= static_cast<uint64_t>(INT64_MAX), path, "out of range");
    }
    number = value.get<int64_t>();
    if (tag == 0) tag = SmallestIntegerTag(number);
    Expect(SmallestIntegerTag(number) <= tag || tag == vaInt64, path,
           "out of range of " + std::string(IntegerKey(tag)));
    writer_.WriteByte(tag);
    for (size_t i = 0; i < FixedValueSize(tag); ++i)
      writer_.WriteByte(static_cast<uint8_t>(static_cast<uint64_t>(number) >> (8 * i)));
  }

  void WriteLength(size_t length, const std::string& path) {
    Expect(length <= UINT32_MAX, path, "too long");
    for (int i = 0; i < 4; ++i) writer_.WriteByte(static_cast<uint8_t>(length >> (8 * i)));
  }

  void Value(const ordered_json& value, const std::string& path, int depth) {
    Expect(depth < MaxDepth, path, "nested too deeply");
    if (value.is_boolean()) return writer_.WriteBoolean(value.get<bool>());
    if (value.is_number_integer()) return Integer(value, 0, path);
    if (value.is_number_float())
      Fail(path, "write extended values as {\"ext\": \"text\"} so that no digit is lost");
    if (value.is_string()) return writer_.WriteString(Text(value, path));
    Expect(value.is_object() && value.size() == 1, path, "expected one tagged value");
    const std::string& key = value.begin().key();
    const ordered_json& inner = value.begin().value();
    const std::string innerPath = Join(path, key);
    if (key == "list") {
      Expect(inner.is_array(), innerPath, "expected an array");
      writer_.WriteListBegin();
      for (size_t i = 0; i < inner.size(); ++i) Value(inner[i], At(innerPath, i), depth + 1);
      writer_.WriteListEnd();
    } else if (key == "int8" || key == "int16" || key == "int32" || key == "int64") {
      Integer(inner,
              key == "int8"    ? vaInt8
              : key == "int16" ? vaInt16
              : key == "int32" ? vaInt32
                               : vaInt64,
              innerPath);
    } else if (key == "ext") {
      long double number = 0;
      Expect(inner.is_string() && TryStrToFloat(inner.get_ref<const std::string&>(), number),
             innerPath, "expected a decimal number as text");
      writer_.WriteFloat(number);
    } else if (key == "ext_bytes") {
      writer_.WriteByte(vaExtended);
      writer_.WriteBytes(HexBytes(inner, innerPath, 10));
    } else if (key == "lstring") {
      std::string text = Text(inner, innerPath);
      writer_.WriteByte(vaLString);
      WriteLength(text.size(), innerPath);
      writer_.WriteBytes(text);
    } else if (key == "ident") {
      writer_.WriteIdent(ShortText(inner, innerPath));
    } else if (key == "nil") {
      // Only one nil exists: {"nil": false} would come back as {"nil": true}.
      Expect(inner == true, innerPath, "nil is written {\"nil\": true}");
      writer_.WriteByte(vaNil);
    } else if (key == "binary") {
      std::string bytes = HexBytes(inner, innerPath);
      writer_.WriteByte(vaBinary);
      WriteLength(bytes.size(), innerPath);
      writer_.WriteBytes(bytes);
    } else if (key == "wstring") {
      std::string bytes = HexBytes(inner, innerPath);
      Expect(bytes.size() % 2 == 0, innerPath, "expected two bytes per character");
      writer_.WriteByte(vaWString);
      WriteLength(bytes.size() / 2, innerPath);
      writer_.WriteBytes(bytes);
    } else if (key == "single" || key == "currency" || key == "date") {
      uint8_t tag = key == "single" ? vaSingle : key == "currency" ? vaCurrency : vaDate;
      writer_.WriteByte(tag);
      writer_.WriteBytes(HexBytes(inner, innerPath, FixedValueSize(tag)));
    } else if (key == "set") {
      Expect(inner.is_array(), innerPath, "expected an array of names");
      writer_.WriteByte(vaSet);
      for (size_t i = 0; i < inner.size(); ++i) {
        std::string name = ShortText(inner[i], At(innerPath, i));
        Expect(!name.empty(), At(innerPath, i), "empty name");
        writer_.WriteShortString(name);
      }
      writer_.WriteShortString("");
    } else if (key == "collection") {
      Collection(inner, innerPath, depth);
    } else {
      Fail(path, "unknown value kind \"" + key + "\"");
    }
  }

  void Collection(const ordered_json& items, const std::string& path, int depth) {
    Expect(items.is_array(), path, "expected an array of items");
    writer_.WriteByte(vaCollection);
    for (size_t i = 0; i < items.size(); ++i) {
      const ordered_json& item = items[i];
      std::string itemPath = At(path, i);
      Expect(item.is_object(), itemPath, "expected an item");
      if (item.contains("order")) {
        const ordered_json& order = item["order"];
        size_t before = out_.size();
        Value(order, Join(itemPath, "order"), depth + 1);
        uint8_t tag = static_cast<uint8_t>(out_[before]);
        Expect(tag == vaInt8 || tag == vaInt16 || tag == vaInt32, Join(itemPath, "order"),
               "expected an integer");
      }
      writer_.WriteListBegin();
      Properties(Member(item, "properties", itemPath), Join(itemPath, "properties"), depth + 1);
    }
    writer_.WriteListEnd();
  }

  TWriter writer_;
  std::string& out_;
  bool checked_;
  std::map<std::string, const TClassInfo*> classes_;
};

}  // namespace

std::string StreamToJson(const std::string& bytes) { return TDumper(bytes).Dump().dump(1) + "\n"; }

namespace {

std::string Build(const std::string& jsonText, bool checked) {
  ordered_json document = ordered_json::parse(jsonText, nullptr, false);
  if (document.is_discarded()) throw Exception("The text is not valid JSON");
  std::string out;
  TBuilder(out, checked).Build(document);
  return out;
}

}  // namespace

std::string JsonToStream(const std::string& jsonText) { return Build(jsonText, false); }

std::string JsonToCheckedStream(const std::string& jsonText) { return Build(jsonText, true); }

}  // namespace sarvanta
