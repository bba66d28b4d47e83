// The component stream: writer, reader and class registry.
#include "model/Stream.h"

#include "base/Exception.h"
#include "base/Extended.h"
#include "base/NumberText.h"

#include <cmath>
#include <cstring>
#include <map>
#include <memory>

namespace sarvanta {

namespace {

std::map<std::string, TCreateComponent>& Registry() {
  static std::map<std::string, TCreateComponent> registry;
  return registry;
}

const char kSignature[] = "TPF0";

template <typename T>
T LoadLittleEndian(const uint8_t* bytes) {
  uint64_t value = 0;
  for (size_t i = 0; i < sizeof(T); ++i) value |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  T result;
  std::memcpy(&result, &value, sizeof(T));
  return result;
}

template <typename T>
void StoreLittleEndian(std::string& out, T value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(T));
  for (size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// "at most 100000", "at least -1", "between 0 and 3".
std::string RangeText(const TPropertyInfo& property) {
  const bool low = property.MinValue != std::numeric_limits<int64_t>::min();
  const bool high = property.MaxValue != std::numeric_limits<int64_t>::max();
  const std::string min = std::to_string(property.MinValue);
  const std::string max = std::to_string(property.MaxValue);
  if (low && high) return "between " + min + " and " + max;
  return low ? "at least " + min : "at most " + max;
}

}  // namespace

size_t FixedValueSize(uint8_t tag) {
  switch (tag) {
    case vaInt8:
      return 1;
    case vaInt16:
      return 2;
    case vaInt32:
    case vaSingle:
      return 4;
    case vaInt64:
    case vaCurrency:
    case vaDate:
      return 8;
    case vaExtended:
      return 10;
    default:
      return 0;
  }
}

std::string ValueTagName(uint8_t tag) {
  static const char* const names[] = {
      "null",           "list",         "8-bit integer", "16-bit integer",
      "32-bit integer", "80-bit float", "string",        "identifier",
      "false",          "true",         "binary",        "set",
      "long string",    "nil",          "collection",    "32-bit float",
      "currency",       "date",         "wide string",   "64-bit integer"};
  if (tag < sizeof(names) / sizeof(names[0])) return names[tag];
  return "unknown value type " + std::to_string(tag);
}

// ---- Registry ----

void RegisterClass(const std::string& className, TCreateComponent create) {
  Registry()[className] = std::move(create);
}

bool IsClassRegistered(const std::string& className) { return Registry().count(className) != 0; }

TStreamComponent* CreateRegisteredComponent(const std::string& className, TComponent* owner) {
  auto found = Registry().find(className);
  if (found == Registry().end()) return nullptr;
  return found->second(owner);
}

// ---- Writer ----

void TWriter::WriteSignature() { out_.append(kSignature, 4); }

void TWriter::WriteComponent(const TStreamComponent& component) {
  const TClassInfo& info = component.ClassInfo();
  WriteShortString(info.ClassName);
  WriteShortString("");
  if (component.Tag != 0) {
    WriteShortString("Tag");
    WriteInteger(component.Tag);
  }
  for (const TPropertyInfo& property : info.Properties) {
    switch (property.Type) {
      case TPropType::Integer:
        WriteShortString(property.Name);
        WriteInteger(property.GetInt(component));
        break;
      case TPropType::Extended: {
        long double value = property.GetFloat(component);
        if (value == 0) break;
        WriteShortString(property.Name);
        WriteFloat(value);
        break;
      }
      case TPropType::String: {
        std::string value = property.GetString(component);
        if (value.empty()) break;
        WriteShortString(property.Name);
        WriteString(value);
        break;
      }
      case TPropType::Boolean:
        WriteShortString(property.Name);
        WriteBoolean(property.GetInt(component) != 0);
        break;
      case TPropType::Enum: {
        int64_t ordinal = property.GetInt(component);
        if (ordinal < 0 || ordinal >= static_cast<int64_t>(property.EnumNames.size()))
          throw Exception("Value " + std::to_string(ordinal) + " of " + property.Name +
                          " has no name");
        WriteShortString(property.Name);
        WriteIdent(property.EnumNames[static_cast<size_t>(ordinal)]);
        break;
      }
    }
  }
  for (const TBlockInfo& block : info.Blocks) {
    if (block.ShouldWrite && !block.ShouldWrite(component)) continue;
    WriteShortString(block.Name);
    block.Write(component, *this);
  }
  WriteListEnd();  // end of properties
  WriteListEnd();  // end of children
}

void TWriter::WriteListBegin() { WriteByte(vaList); }
void TWriter::WriteListEnd() { WriteByte(vaNull); }

void TWriter::WriteInteger(int64_t value) {
  if (value >= INT8_MIN && value <= INT8_MAX) {
    WriteByte(vaInt8);
    StoreLittleEndian(out_, static_cast<int8_t>(value));
  } else if (value >= INT16_MIN && value <= INT16_MAX) {
    WriteByte(vaInt16);
    StoreLittleEndian(out_, static_cast<int16_t>(value));
  } else if (value >= INT32_MIN && value <= INT32_MAX) {
    WriteByte(vaInt32);
    StoreLittleEndian(out_, static_cast<int32_t>(value));
  } else {
    WriteByte(vaInt64);
    StoreLittleEndian(out_, value);
  }
}

void TWriter::WriteFloat(long double value) {
  WriteByte(vaExtended);
  TExtendedBytes bytes = EncodeExtended(value);
  out_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void TWriter::WriteString(const std::string& value) {
  if (value.size() <= 255) {
    WriteByte(vaString);
    WriteByte(static_cast<uint8_t>(value.size()));
  } else {
    if (value.size() > UINT32_MAX) throw Exception("A string is too long to be stored");
    WriteByte(vaLString);
    StoreLittleEndian(out_, static_cast<uint32_t>(value.size()));
  }
  out_ += value;
}

void TWriter::WriteBoolean(bool value) { WriteByte(value ? vaTrue : vaFalse); }

void TWriter::WriteIdent(const std::string& value) {
  WriteByte(vaIdent);
  WriteShortString(value);
}

void TWriter::WriteShortString(const std::string& value) {
  if (value.size() > 255)
    throw Exception("The name " + Quoted(value.substr(0, 32)) +
                    "... is longer than 255 characters");
  WriteByte(static_cast<uint8_t>(value.size()));
  out_ += value;
}

void TWriter::WriteByte(uint8_t value) { out_.push_back(static_cast<char>(value)); }

void TWriter::WriteBytes(const std::string& bytes) { out_ += bytes; }

// ---- Reader ----

TReader::TNesting::TNesting(TReader& reader) : reader_(reader) {
  if (reader_.depth_ >= MaxDepth) reader_.Error("Nesting deeper than " + std::to_string(MaxDepth));
  ++reader_.depth_;
}

void TReader::Error(const std::string& what) const { ErrorAt(pos_, what); }

void TReader::ErrorAt(size_t offset, const std::string& what) const {
  throw EReadError(what + " at byte " + std::to_string(offset));
}

void TReader::Need(size_t count) const {
  if (count > size_ - pos_)
    Error("Stream ends early (" + std::to_string(count) + " bytes needed, " +
          std::to_string(size_ - pos_) + " left)");
}

uint8_t TReader::ReadByte() {
  Need(1);
  return data_[pos_++];
}

std::string TReader::ReadBytes(size_t count) {
  Need(count);
  std::string bytes(reinterpret_cast<const char*>(data_ + pos_), count);
  pos_ += count;
  return bytes;
}

uint32_t TReader::ReadUInt32() {
  Need(4);
  uint32_t value = LoadLittleEndian<uint32_t>(data_ + pos_);
  pos_ += 4;
  return value;
}

std::string TReader::ReadShortString() {
  size_t length = ReadByte();
  return ReadBytes(length);
}

void TReader::ReadSignature() {
  if (size_ < 4 || std::memcmp(data_, kSignature, 4) != 0)
    ErrorAt(0, "Wrong signature (not a component stream \"TPF0\")");
  pos_ = 4;
}

TValueTag TReader::NextTag() {
  Need(1);
  return static_cast<TValueTag>(data_[pos_]);
}

bool TReader::EndOfList() { return NextTag() == vaNull; }

void TReader::ReadListBegin() {
  size_t start = pos_;
  uint8_t tag = ReadByte();
  if (tag != vaList) ErrorAt(start, "Expected a list but found " + ValueTagName(tag));
}

void TReader::ReadListEnd() {
  size_t start = pos_;
  uint8_t tag = ReadByte();
  if (tag != vaNull) ErrorAt(start, "Expected the end of a list but found " + ValueTagName(tag));
}

int64_t TReader::ReadIntegerOfTag(uint8_t tag) {
  switch (tag) {
    case vaInt8:
      Need(1);
      pos_ += 1;
      return LoadLittleEndian<int8_t>(data_ + pos_ - 1);
    case vaInt16:
      Need(2);
      pos_ += 2;
      return LoadLittleEndian<int16_t>(data_ + pos_ - 2);
    case vaInt32:
      Need(4);
      pos_ += 4;
      return LoadLittleEndian<int32_t>(data_ + pos_ - 4);
    default:
      Need(8);
      pos_ += 8;
      return LoadLittleEndian<int64_t>(data_ + pos_ - 8);
  }
}

int64_t TReader::ReadInteger() {
  size_t start = pos_;
  uint8_t tag = ReadByte();
  if (tag != vaInt8 && tag != vaInt16 && tag != vaInt32 && tag != vaInt64)
    ErrorAt(start, "Expected an integer but found " + ValueTagName(tag));
  return ReadIntegerOfTag(tag);
}

long double TReader::ReadFloat() {
  size_t start = pos_;
  uint8_t tag = ReadByte();
  if (tag == vaExtended) {
    Need(10);
    long double value = DecodeExtended(data_ + pos_);
    pos_ += 10;
    return value;
  }
  if (tag == vaInt8 || tag == vaInt16 || tag == vaInt32 || tag == vaInt64)
    return static_cast<long double>(ReadIntegerOfTag(tag));
  ErrorAt(start, "Expected a floating point value but found " + ValueTagName(tag));
}

long double TReader::ReadFiniteFloat(const std::string& field) {
  const size_t start = pos_;
  const long double value = ReadFloat();
  if (!std::isfinite(value))
    ErrorAt(start, field + " is " + FloatToStr(value) + ", not a finite number");
  return value;
}

std::string TReader::ReadString() {
  size_t start = pos_;
  uint8_t tag = ReadByte();
  if (tag == vaString || tag == vaIdent) return ReadShortString();
  if (tag == vaLString) return ReadBytes(ReadUInt32());
  ErrorAt(start, "Expected a string but found " + ValueTagName(tag));
}

bool TReader::ReadBoolean() {
  size_t start = pos_;
  uint8_t tag = ReadByte();
  if (tag == vaTrue) return true;
  if (tag == vaFalse) return false;
  ErrorAt(start, "Expected a boolean but found " + ValueTagName(tag));
}

std::string TReader::ReadIdent() {
  size_t start = pos_;
  uint8_t tag = ReadByte();
  if (tag != vaIdent) ErrorAt(start, "Expected an identifier but found " + ValueTagName(tag));
  return ReadShortString();
}

void TReader::SkipValue() {
  TNesting nesting(*this);
  size_t start = pos_;
  uint8_t tag = ReadByte();
  switch (tag) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      return;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      return;
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaSingle:
    case vaExtended:
    case vaInt64:
    case vaCurrency:
    case vaDate:
      ReadBytes(FixedValueSize(tag));
      return;
    case vaString:
    case vaIdent:
      ReadShortString();
      return;
    case vaBinary:
    case vaLString: {
      size_t length = ReadUInt32();
      Need(length);
      pos_ += length;
      return;
    }
    case vaWString: {
      size_t length = static_cast<size_t>(ReadUInt32()) * 2;
      Need(length);
      pos_ += length;
      return;
    }
    case vaSet:
      while (!ReadShortString().empty()) {
      }
      return;
    case vaCollection:
      while (!EndOfList()) {
        if (NextTag() == vaInt8 || NextTag() == vaInt16 || NextTag() == vaInt32) ReadInteger();
        ReadListBegin();
        while (!EndOfList()) {
          ReadShortString();
          SkipValue();
        }
        ReadListEnd();
      }
      ReadListEnd();
      return;
    default:
      ErrorAt(start, "Unknown value type " + std::to_string(tag));
  }
}

std::string TReader::ReadRecordClassName() {
  Need(1);
  if (data_[pos_] >= 0xF0) Error("Inherited or inline component records are not supported");
  std::string className = ReadShortString();
  if (className.empty()) ErrorAt(pos_ - 1, "Empty class name");
  return className;
}

void TReader::ReadComponent(TStreamComponent& into) {
  TNesting nesting(*this);
  const size_t start = pos_;
  const std::string className = ReadRecordClassName();
  const std::string& expected = into.ClassInfo().ClassName;
  if (className != expected)
    ErrorAt(start, "A record of class " + Quoted(className) + " where " + Quoted(expected) +
                       " is expected");
  ReadRecordBody(into);
}

TStreamComponent* TReader::ReadComponentCreate(TComponent* owner) {
  TNesting nesting(*this);
  size_t start = pos_;
  std::string className = ReadRecordClassName();
  TStreamComponent* component = CreateRegisteredComponent(className, owner);
  if (!component) ErrorAt(start, "Class " + Quoted(className) + " is not registered");
  if (owner) {  // an owned component stays with its owner even when its record is bad
    ReadRecordBody(*component);
    return component;
  }
  std::unique_ptr<TStreamComponent> unowned(component);
  ReadRecordBody(*unowned);
  return unowned.release();
}

void TReader::ReadRecordBody(TStreamComponent& into) {
  into.Name = ReadShortString();
  const TClassInfo& info = into.ClassInfo();
  while (!EndOfList()) ReadProperty(into, info);
  ReadListEnd();
  if (!EndOfList()) Error("Child components are not supported in " + info.ClassName);
  ReadListEnd();
}

void TReader::ReadProperty(TStreamComponent& into, const TClassInfo& info) {
  size_t start = pos_;
  std::string name = ReadShortString();
  if (name == "Tag") {
    size_t valueStart = pos_;
    int64_t tag = ReadInteger();
    if (tag < INT32_MIN || tag > INT32_MAX) ErrorAt(valueStart, "Tag out of range");
    into.Tag = static_cast<int32_t>(tag);
    return;
  }
  for (const TPropertyInfo& property : info.Properties) {
    if (property.Name != name) continue;
    size_t valueStart = pos_;
    switch (property.Type) {
      case TPropType::Integer: {
        int64_t value = ReadInteger();
        if (value < property.MinValue || value > property.MaxValue)
          ErrorAt(valueStart, info.ClassName + "." + name + " is " + std::to_string(value) +
                                  ": it must be " + RangeText(property));
        property.SetInt(into, value);
        break;
      }
      case TPropType::Extended:
        property.SetFloat(into, ReadFiniteFloat(info.ClassName + "." + name));
        break;
      case TPropType::String: {
        std::string value = ReadString();
        if (value.size() > property.MaxLength)
          ErrorAt(valueStart, info.ClassName + "." + name + " is " + std::to_string(value.size()) +
                                  " characters long: at most " +
                                  std::to_string(property.MaxLength) + " are allowed");
        property.SetString(into, value);
        break;
      }
      case TPropType::Boolean:
        property.SetInt(into, ReadBoolean() ? 1 : 0);
        break;
      case TPropType::Enum: {
        std::string ident = ReadIdent();
        size_t ordinal = 0;
        while (ordinal < property.EnumNames.size() && property.EnumNames[ordinal] != ident)
          ++ordinal;
        if (ordinal == property.EnumNames.size())
          ErrorAt(valueStart, "Unknown value " + Quoted(ident) + " of " + name);
        property.SetInt(into, static_cast<int64_t>(ordinal));
        break;
      }
    }
    return;
  }
  for (const TBlockInfo& block : info.Blocks) {
    if (block.Name != name) continue;
    block.Read(into, *this);
    return;
  }
  ErrorAt(start, "Unknown property " + Quoted(name) + " of " + info.ClassName);
}

}  // namespace sarvanta
