// One row of an object description: a named, typed view of one value inside an inspected
// object. The row reaches its value through a typed accessor (get and set of the field),
// never through a raw address, so a setter with side effects (a motor unit's Tc) runs when
// the inspector writes the row.
#pragma once

#include "base/Component.h"
#include "base/StringList.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <variant>
#include <vector>

namespace sarvanta {

class TInspectedObject;

// How a row's value is shown and parsed (a bit pattern; 2052 is 2048 + 4).
namespace PropertyKind {
inline constexpr int32_t SmallInt = 2;       // 16-bit integer
inline constexpr int32_t Integer = 4;        // 32-bit integer
inline constexpr int32_t Double = 8;         // 64-bit float
inline constexpr int32_t Extended = 16;      // 80-bit float
inline constexpr int32_t DateTime = 32;      // date-time as a 64-bit float (days since 1899-12-30)
inline constexpr int32_t Boolean = 64;       // one byte
inline constexpr int32_t String = 256;       // string
inline constexpr int32_t Opaque = 512;       // edited only through OnEdit
inline constexpr int32_t FloatArray = 1024;  // dynamic array of 80-bit floats
inline constexpr int32_t Reference = 2048;   // object reference picked from List
inline constexpr int32_t ListIndex = 2052;   // 32-bit index into List
inline constexpr int32_t None = 4096;        // no value
inline constexpr int32_t Text = 8192;        // string
}  // namespace PropertyKind

// Integer storage of any width; Min..Max is what the field can hold.
struct TIntValue {
  std::function<int64_t()> Get;
  std::function<void(int64_t)> Set;
  int64_t Min = std::numeric_limits<int64_t>::min();
  int64_t Max = std::numeric_limits<int64_t>::max();
};

struct TFloatValue {
  std::function<long double()> Get;
  std::function<void(long double)> Set;
};

struct TBoolValue {
  std::function<bool()> Get;
  std::function<void(bool)> Set;
};

struct TStringValue {
  std::function<std::string()> Get;
  std::function<void(const std::string&)> Set;
};

struct TFloatArrayValue {
  std::function<std::vector<long double>()> Get;
  std::function<void(std::vector<long double>)> Set;
};

// An object reference. Set returns false (and changes nothing) when the object is not of the
// class the field holds; Set may be empty for a reference that is only shown.
struct TReferenceValue {
  std::function<TObject*()> Get;
  std::function<bool(TObject*)> Set;
};

// std::monostate: the row has no value (an "Impulses" row edited only through its dialog).
using TPropertyValue = std::variant<std::monostate, TIntValue, TFloatValue, TBoolValue,
                                    TStringValue, TFloatArrayValue, TReferenceValue>;

// Accessors over plain fields of an object that outlives the row.
TPropertyValue ValueOf(int16_t& field);
TPropertyValue ValueOf(int32_t& field);
TPropertyValue ValueOf(uint8_t& field);
TPropertyValue ValueOf(double& field);
TPropertyValue ValueOf(long double& field);
TPropertyValue ValueOf(bool& field);
TPropertyValue ValueOf(std::string& field);
TPropertyValue ValueOf(std::vector<long double>& field);

// A reference field of class T: only objects of class T (or none) are stored.
template <class T>
TPropertyValue ReferenceOf(T*& field) {
  return TReferenceValue{[&field]() -> TObject* { return field; },
                         [&field](TObject* object) {
                           if (object == nullptr) {
                             field = nullptr;
                             return true;
                           }
                           T* typed = dynamic_cast<T*>(object);
                           if (typed == nullptr) return false;
                           field = typed;
                           return true;
                         }};
}

// Called with the inspected object when the row's "..." button or a double click edits it.
using TEditCallback = std::function<void(TInspectedObject*)>;

class TProperty : public TObject {
 public:
  TProperty(std::string name, TPropertyValue value, int32_t kind)
      : Name(std::move(name)), Kind(kind), Value(std::move(value)) {}

  bool HasValue() const { return !std::holds_alternative<std::monostate>(Value); }
  // The row offers its edit callback (button, double click) only above kind 256.
  bool HasEditButton() const { return Kind > PropertyKind::String && OnEdit != nullptr; }

  std::string Name;
  int32_t Kind;
  TPropertyValue Value;
  TEditCallback OnEdit;
  // Choices of reference and index rows; belongs to someone else (usually the system).
  const TStringList* List = nullptr;
};

}  // namespace sarvanta
