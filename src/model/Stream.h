// The component stream ("TPF0"): the one writer and the one reader of project and task files.
//
// Every streamable class describes itself once in a TClassInfo: its stored class name, its
// published values in declaration order (name, type, getter, setter) and its custom blocks in
// order. TWriter and TReader are driven by that table; no class writes bytes by hand.
// Classes that a file creates by their stored name are registered with RegisterClass.
#pragma once

#include "base/Component.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace sarvanta {

class TWriter;
class TReader;
class TStreamComponent;

// Value-type tags of the stream.
enum TValueTag : uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19
};

// How a published value is stored and when it is written:
//   Integer  (any width; written always, with the smallest integer tag that holds it)
//   Extended (80-bit float; written only when not 0, tag 5; an infinity or a non-number is a
//            read error: a model or task computes nothing sound from one)
//   String   (written only when not empty; tag 6 up to 255 characters, else tag 12)
//   Boolean  (written always, tag 8 or 9)
//   Enum     (written always, as an identifier (tag 7) naming EnumNames[ordinal])
enum class TPropType { Integer, Extended, String, Boolean, Enum };

struct TPropertyInfo {
  std::string Name;
  TPropType Type = TPropType::Integer;
  // Integer, Boolean (0/1) and Enum (ordinal) values.
  std::function<int64_t(const TStreamComponent&)> GetInt;
  std::function<void(TStreamComponent&, int64_t)> SetInt;
  std::function<long double(const TStreamComponent&)> GetFloat;
  std::function<void(TStreamComponent&, long double)> SetFloat;
  std::function<std::string(const TStreamComponent&)> GetString;
  std::function<void(TStreamComponent&, const std::string&)> SetString;
  std::vector<std::string> EnumNames;
  // Integer values outside this range are a read error (set them to the field's width).
  int64_t MinValue = std::numeric_limits<int64_t>::min();
  int64_t MaxValue = std::numeric_limits<int64_t>::max();
  // Strings longer than this are a read error (formulas hold at most 255 characters).
  size_t MaxLength = std::numeric_limits<size_t>::max();
};

// A custom stream property: its name, when it is written, and how its block is written and read.
struct TBlockInfo {
  std::string Name;
  std::function<bool(const TStreamComponent&)> ShouldWrite;
  std::function<void(const TStreamComponent&, TWriter&)> Write;
  std::function<void(TStreamComponent&, TReader&)> Read;
};

struct TClassInfo {
  std::string ClassName;
  std::vector<TPropertyInfo> Properties;  // published order; the component "Tag" is implicit
  std::vector<TBlockInfo> Blocks;         // custom stream properties, in order
};

// A component that the stream can write and read.
class TStreamComponent : public TComponent {
 public:
  using TComponent::TComponent;
  virtual const TClassInfo& ClassInfo() const = 0;
};

// Class registry: creates a component of a stored class name, owned by `owner`.
using TCreateComponent = std::function<TStreamComponent*(TComponent* owner)>;
void RegisterClass(const std::string& className, TCreateComponent create);
bool IsClassRegistered(const std::string& className);
// nullptr when the name is not registered.
TStreamComponent* CreateRegisteredComponent(const std::string& className, TComponent* owner);

class TWriter {
 public:
  // Appends to `out`.
  explicit TWriter(std::string& out) : out_(out) {}

  void WriteSignature();  // "TPF0"
  // A whole record: class name, empty component name, "Tag" (when not 0), the published values,
  // the custom blocks whose condition holds, end of properties, end of children.
  void WriteComponent(const TStreamComponent& component);

  void WriteListBegin();                            // tag 1
  void WriteListEnd();                              // byte 0
  void WriteInteger(int64_t value);                 // smallest of tags 2, 3, 4 (19 beyond 32 bits)
  void WriteFloat(long double value);               // tag 5 and 10 bytes
  void WriteString(const std::string& value);       // tag 6 or 12
  void WriteBoolean(bool value);                    // tag 8 or 9
  void WriteIdent(const std::string& value);        // tag 7
  void WriteShortString(const std::string& value);  // length byte and characters, no tag
  void WriteByte(uint8_t value);
  void WriteBytes(const std::string& bytes);  // raw bytes, no tag

 private:
  std::string& out_;
};

class TReader {
 public:
  // Reads from [data, data + size); never reads past the end.
  TReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Position() const { return pos_; }
  bool AtEnd() const { return pos_ >= size_; }

  void ReadSignature();  // "TPF0" or EReadError
  // Reads one record into an existing component; the stored class name must be the
  // component's own.
  void ReadComponent(TStreamComponent& into);
  // Reads one record into a component created from its stored class name, owned by `owner`.
  // An unregistered name is an EReadError.
  TStreamComponent* ReadComponentCreate(TComponent* owner);

  void ReadListBegin();     // expects tag 1
  bool EndOfList();         // true when the next byte is 0 (not consumed)
  void ReadListEnd();       // consumes the 0
  TValueTag NextTag();      // peeks the next value's tag
  int64_t ReadInteger();    // tags 2, 3, 4, 19
  long double ReadFloat();  // tag 5, or any integer tag
  // ReadFloat that refuses infinities and non-numbers, naming `field` ("TBone.Length").
  long double ReadFiniteFloat(const std::string& field);
  std::string ReadString();  // tags 6, 7, 12
  bool ReadBoolean();        // tags 8, 9
  std::string ReadIdent();   // tag 7
  std::string ReadShortString();
  uint8_t ReadByte();
  void SkipValue();  // skips one tagged value of any kind

  // Raw bytes, checked against what is left.
  std::string ReadBytes(size_t count);
  uint32_t ReadUInt32();  // little-endian, no tag

  // Throws EReadError("<what> at byte <offset>").
  [[noreturn]] void Error(const std::string& what) const;
  [[noreturn]] void ErrorAt(size_t offset, const std::string& what) const;

  // Guards one level of nesting (records, lists); deeper nesting than MaxDepth is an error.
  class TNesting {
   public:
    explicit TNesting(TReader& reader);
    ~TNesting() { --reader_.depth_; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;

   private:
    TReader& reader_;
  };
  static constexpr int MaxDepth = 64;

 private:
  void Need(size_t count) const;
  std::string ReadRecordClassName();
  void ReadRecordBody(TStreamComponent& into);
  void ReadProperty(TStreamComponent& into, const TClassInfo& info);
  int64_t ReadIntegerOfTag(uint8_t tag);

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  int depth_ = 0;
};

// A short name for a tag in messages ("8-bit integer", "string", ...).
std::string ValueTagName(uint8_t tag);
// Bytes after the tag of a fixed-size value (integers, floats, currency, date); 0 for others.
size_t FixedValueSize(uint8_t tag);

}  // namespace sarvanta
