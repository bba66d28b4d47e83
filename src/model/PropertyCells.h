// How the object inspector shows a row's value as cell text and writes edited cell text back.
// The inspector only moves text between its grid and these functions.
#pragma once

#include "model/ObjectDescription.h"
#include "model/Property.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sarvanta {

// The value cell's text for the row's kind. std::nullopt when the cell is to be left as it
// was: a row without a value, or an index row whose index names no real entry of its list.
std::optional<std::string> CellText(const TProperty& row);

// Converts `text` by the row's kind and stores it. Text that does not convert (or does not fit
// the field, or names an object of the wrong class) leaves the value as it was, silently.
// Returns whether a value was stored.
bool StoreCellText(const TProperty& row, std::string_view text);

// Why `text` was not stored by StoreCellText, as a message for the user ("'abc' is not a valid
// floating point value"). Meant for text that StoreCellText refused.
std::string CellTextRefusal(const TProperty& row, std::string_view text);

// Why `object` may not be named `name`: another object of its class under the same owner (the
// same list: bones of a system, motor units of a muscle) already has that name. Empty when the
// name is free.
std::string NameRefusal(const TInspectedObject& object, std::string_view name,
                        std::string_view classCaption);

// What one end-of-edit step did.
struct TCellWrite {
  // The description was renamed: the caller replaces its entry text (EntryText()) in the object
  // list and the combo box.
  bool Renamed = false;
  // Why the text was not stored; empty when it was (or the row holds no value).
  std::string Refusal;
};

// The inspector's end-of-edit step for one row of `description`: stores the text, and when the
// row's shown name (`rowCaption`, the grid's first column) reads "Name", renames the description
// as well. A name that another object of the same list already has is refused and changes
// nothing.
TCellWrite WriteCell(TObjectDescription& description, std::string_view rowCaption,
                     const TProperty& row, std::string_view text);

// An array cell: every character other than ";" goes into the current item, and each ";"
// converts the item and appends it. Text after the last ";" is ignored, so "1;2;3" yields 1 and
// 2. Throws EConvertError for an item that is not a number.
std::vector<long double> ParseFloatList(std::string_view text);
// Each value with 5 significant digits, each followed by ";".
std::string FloatListText(const std::vector<long double>& values);

// Date-time values count days since 1899-12-30 (the fraction is the time of day), shown as
// "yyyy-mm-dd hh:nn:ss" (the time part omitted at midnight). Parsing takes the same form, with
// the time part optional; other text throws EConvertError.
std::string DateTimeToStr(double value);
double StrToDateTime(std::string_view text);

}  // namespace sarvanta
