#include "model/PropertyCells.h"

#include "base/Exception.h"
#include "base/NumberText.h"
#include "model/InspectedObject.h"

#include <cmath>
#include <limits>
#include <typeinfo>

namespace sarvanta {
namespace {

template <class Access>
const Access* AccessOf(const TProperty& row) {
  return std::get_if<Access>(&row.Value);
}

std::string IntCellText(const TProperty& row) {
  const auto* access = AccessOf<TIntValue>(row);
  return access ? IntToStr(access->Get()) : std::string();
}

std::string FloatCellText(const TProperty& row) {
  const auto* access = AccessOf<TFloatValue>(row);
  if (!access) return {};
  return row.Kind == PropertyKind::DateTime ? DateTimeToStr(static_cast<double>(access->Get()))
                                            : FloatToStr(access->Get());
}

std::string ReferenceCellText(const TProperty& row) {
  const auto* access = AccessOf<TReferenceValue>(row);
  if (!access) return {};
  const auto* inspected = dynamic_cast<const TInspectedObject*>(access->Get());
  return inspected ? inspected->Descr : std::string();
}

std::optional<std::string> IndexCellText(const TProperty& row) {
  const auto* access = AccessOf<TIntValue>(row);
  if (!access || !row.List) return std::nullopt;
  const int64_t index = access->Get();
  if (index < 1 || index >= row.List->Count()) return std::nullopt;
  return row.List->Strings(static_cast<int>(index));
}

bool StoreInteger(const TProperty& row, std::string_view text) {
  const auto* access = AccessOf<TIntValue>(row);
  if (!access) return false;
  int64_t value = 0;
  try {
    value = StrToInt64(text);
  } catch (const EConvertError&) {
    return false;
  }
  const int64_t kindMin = row.Kind == PropertyKind::SmallInt ? std::numeric_limits<int16_t>::min()
                                                             : std::numeric_limits<int32_t>::min();
  const int64_t kindMax = row.Kind == PropertyKind::SmallInt ? std::numeric_limits<int16_t>::max()
                                                             : std::numeric_limits<int32_t>::max();
  if (value < std::max(kindMin, access->Min) || value > std::min(kindMax, access->Max))
    return false;
  access->Set(value);
  return true;
}

bool StoreFloat(const TProperty& row, std::string_view text) {
  const auto* access = AccessOf<TFloatValue>(row);
  if (!access) return false;
  long double value = 0;
  if (row.Kind == PropertyKind::DateTime) {
    try {
      value = StrToDateTime(text);
    } catch (const EConvertError&) {
      return false;
    }
  } else if (!TryStrToFloat(text, value)) {
    return false;
  }
  // A 64-bit field cannot hold what overflows a double.
  if (row.Kind != PropertyKind::Extended &&
      std::fabs(value) > static_cast<long double>(std::numeric_limits<double>::max()))
    return false;
  access->Set(value);
  return true;
}

bool StoreBoolean(const TProperty& row, std::string_view text) {
  const auto* access = AccessOf<TBoolValue>(row);
  if (!access) return false;
  access->Set(!text.empty() && (text.front() == 't' || text.front() == 'T'));
  return true;
}

bool StoreString(const TProperty& row, std::string_view text) {
  const auto* access = AccessOf<TStringValue>(row);
  if (!access) return false;
  access->Set(std::string(text));
  return true;
}

bool StoreFloatArray(const TProperty& row, std::string_view text) {
  const auto* access = AccessOf<TFloatArrayValue>(row);
  if (!access) return false;
  std::vector<long double> values;
  try {
    values = ParseFloatList(text);
  } catch (const EConvertError&) {
    return false;
  }
  access->Set(std::move(values));
  return true;
}

bool StoreReference(const TProperty& row, std::string_view text) {
  const auto* access = AccessOf<TReferenceValue>(row);
  if (!access || !access->Set || !row.List) return false;
  const int index = row.List->IndexOf(text);
  if (index < 0) return false;
  return access->Set(row.List->Objects(index));
}

bool StoreIndex(const TProperty& row, std::string_view text) {
  const auto* access = AccessOf<TIntValue>(row);
  if (!access) return false;
  access->Set(row.List ? row.List->IndexOf(text) : -1);
  return true;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp + (mp < 10 ? 3 : -9);
  y = yoe + era * 400 + (m <= 2);
}

constexpr int64_t kDelphiEpochFromUnix = -25569;  // 1899-12-30

std::string TwoDigits(int64_t value) { return (value < 10 ? "0" : "") + IntToStr(value); }

// Reads an unsigned decimal number of 1 to `maxDigits` digits at `pos`.
bool ReadNumber(std::string_view text, size_t& pos, int maxDigits, int64_t& value) {
  value = 0;
  int digits = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < maxDigits) {
    value = value * 10 + (text[pos++] - '0');
    ++digits;
  }
  return digits > 0;
}

bool Expect(std::string_view text, size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

bool ParseDateTime(std::string_view text, double& result) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  size_t pos = 0;
  int64_t y = 0, m = 0, d = 0, hh = 0, nn = 0, ss = 0;
  if (!ReadNumber(text, pos, 4, y) || !Expect(text, pos, '-') || !ReadNumber(text, pos, 2, m) ||
      !Expect(text, pos, '-') || !ReadNumber(text, pos, 2, d))
    return false;
  if (pos < text.size()) {
    if (!Expect(text, pos, ' ') || !ReadNumber(text, pos, 2, hh) || !Expect(text, pos, ':') ||
        !ReadNumber(text, pos, 2, nn))
      return false;
    if (pos < text.size() && (!Expect(text, pos, ':') || !ReadNumber(text, pos, 2, ss)))
      return false;
    if (pos != text.size()) return false;
  }
  if (m < 1 || m > 12 || d < 1 || hh > 23 || nn > 59 || ss > 59) return false;
  int64_t cy = 0, cm = 0, cd = 0;
  const int64_t days = DaysFromCivil(y, m, d);
  CivilFromDays(days, cy, cm, cd);
  if (cd != d) return false;  // 2023-02-30 and the like
  result = static_cast<double>(days - kDelphiEpochFromUnix) +
           static_cast<double>((hh * 60 + nn) * 60 + ss) / 86400.0;
  return true;
}

}  // namespace

std::optional<std::string> CellText(const TProperty& row) {
  if (!row.HasValue()) return std::nullopt;
  switch (row.Kind) {
    case PropertyKind::SmallInt:
    case PropertyKind::Integer:
      return IntCellText(row);
    case PropertyKind::Double:
    case PropertyKind::Extended:
    case PropertyKind::DateTime:
      return FloatCellText(row);
    case PropertyKind::Boolean: {
      const auto* access = AccessOf<TBoolValue>(row);
      return access && access->Get() ? "true" : "false";
    }
    case PropertyKind::String:
    case PropertyKind::Text: {
      const auto* access = AccessOf<TStringValue>(row);
      return access ? access->Get() : std::string();
    }
    case PropertyKind::FloatArray: {
      const auto* access = AccessOf<TFloatArrayValue>(row);
      return access ? FloatListText(access->Get()) : std::string();
    }
    case PropertyKind::Reference:
      return ReferenceCellText(row);
    case PropertyKind::ListIndex:
      return IndexCellText(row);
    default:
      return std::string();
  }
}

bool StoreCellText(const TProperty& row, std::string_view text) {
  switch (row.Kind) {
    case PropertyKind::SmallInt:
    case PropertyKind::Integer:
      return StoreInteger(row, text);
    case PropertyKind::Double:
    case PropertyKind::Extended:
    case PropertyKind::DateTime:
      return StoreFloat(row, text);
    case PropertyKind::Boolean:
      return StoreBoolean(row, text);
    case PropertyKind::String:
    case PropertyKind::Text:
      return StoreString(row, text);
    case PropertyKind::FloatArray:
      return StoreFloatArray(row, text);
    case PropertyKind::Reference:
      return StoreReference(row, text);
    case PropertyKind::ListIndex:
      return StoreIndex(row, text);
    default:
      return false;
  }
}

std::string CellTextRefusal(const TProperty& row, std::string_view text) {
  const std::string quoted = "'" + std::string(text) + "'";
  switch (row.Kind) {
    case PropertyKind::SmallInt:
    case PropertyKind::Integer: {
      try {
        static_cast<void>(StrToInt64(text));
      } catch (const EConvertError& e) {
        return e.what();
      }
      return quoted + " is out of the range this value can hold";
    }
    case PropertyKind::Double:
    case PropertyKind::Extended: {
      long double value = 0;
      if (!TryStrToFloat(text, value)) return quoted + " is not a valid floating point value";
      return quoted + " is too large for this value";
    }
    case PropertyKind::DateTime:
      return quoted + " is not a valid date and time";
    case PropertyKind::FloatArray:
      try {
        static_cast<void>(ParseFloatList(text));
      } catch (const EConvertError& e) {
        return e.what();
      }
      return quoted + " is not a list of numbers";
    case PropertyKind::Reference:
      return quoted + " is not one of the choices of this row";
    default:
      return quoted + " cannot be stored in this row";
  }
}

std::string NameRefusal(const TInspectedObject& object, std::string_view name,
                        std::string_view classCaption) {
  const TComponent* owner = object.Owner();
  if (owner == nullptr) return {};
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    const auto* other = dynamic_cast<const TInspectedObject*>(owner->Components(i));
    if (other == nullptr || other == &object || typeid(*other) != typeid(object)) continue;
    if (other->Descr == name)
      return "The name \"" + std::string(name) + "\" is already used by another " +
             std::string(classCaption) + ".";
  }
  return {};
}

TCellWrite WriteCell(TObjectDescription& description, std::string_view rowCaption,
                     const TProperty& row, std::string_view text) {
  TCellWrite result;
  // The name row stores the object's name whatever its shown caption, so it is checked always.
  const bool renames = rowCaption == "Name";
  if (row.Name == "Name" && description.Obj != nullptr)
    result.Refusal = NameRefusal(*description.Obj, text, description.ClassCaption);
  if (!result.Refusal.empty()) return result;
  if (row.HasValue() && !StoreCellText(row, text)) result.Refusal = CellTextRefusal(row, text);
  if (renames) {
    description.Name = std::string(text);
    result.Renamed = true;
  }
  return result;
}

std::vector<long double> ParseFloatList(std::string_view text) {
  std::vector<long double> values;
  std::string item;
  for (const char c : text) {
    if (c != ';') {
      item += c;
      continue;
    }
    values.push_back(StrToFloat(item));
    item.clear();
  }
  return values;
}

std::string FloatListText(const std::vector<long double>& values) {
  std::string text;
  for (const long double value : values) text += FloatToStrDigits(value, 5) + ";";
  return text;
}

std::string DateTimeToStr(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 1e9) return FloatToStr(value);
  const double dayPart = std::floor(value);
  int64_t seconds = std::llround((value - dayPart) * 86400.0);
  int64_t days = static_cast<int64_t>(dayPart) + kDelphiEpochFromUnix;
  if (seconds >= 86400) {
    seconds -= 86400;
    ++days;
  }
  int64_t y = 0, m = 0, d = 0;
  CivilFromDays(days, y, m, d);
  std::string text = IntToStr(y) + "-" + TwoDigits(m) + "-" + TwoDigits(d);
  if (seconds != 0)
    text += " " + TwoDigits(seconds / 3600) + ":" + TwoDigits(seconds / 60 % 60) + ":" +
            TwoDigits(seconds % 60);
  return text;
}

double StrToDateTime(std::string_view text) {
  double value = 0;
  if (!ParseDateTime(text, value))
    throw EConvertError("'" + std::string(text) + "' is not a valid date and time");
  return value;
}

}  // namespace sarvanta
