// The help text every expression component carries, and the data of the window that shows it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sarvanta {

// The 59 lines of the expression syntax help, in order (empty lines and trailing blanks
// included).
const std::vector<std::string>& DefaultSyntaxText();

// What the "Expression Syntax" window shows and how it is laid out; the window itself only
// displays this. Sizes are pixels.
class TSyntaxDialog {
 public:
  static constexpr std::string_view Caption = "Expression Syntax";
  static constexpr int ClientWidth = 357;
  static constexpr int ClientHeight = 148;
  static constexpr std::string_view FontName = "Arial";
  static constexpr int FontHeight = 12;
  static constexpr bool FontBold = true;
  static constexpr int ListHeight = 106;
  static constexpr std::string_view ListFontName = "Fixedsys";
  static constexpr int ListItemHeight = 16;
  static constexpr int ButtonWidth = 77;
  static constexpr int ButtonHeight = 27;
  static constexpr std::string_view ButtonCaption = "OK";

  // The lines of the list box; empty until a caller fills it.
  std::vector<std::string> Lines;
};

}  // namespace sarvanta
