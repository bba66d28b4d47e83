#include "task/ChartSettings.h"

#include "base/NumberText.h"

namespace sarvanta {

TBoundChoices BoundChoicesOf(int32_t modeFlags, const std::array<bool, 4>& automatic) {
  TBoundChoices choices{};
  for (size_t i = 0; i < choices.size(); ++i) {
    if (automatic[i])
      choices[i] = TBoundChoice::Auto;
    else if ((modeFlags & (1 << i)) != 0)
      choices[i] = TBoundChoice::Data;
    else
      choices[i] = TBoundChoice::Fixed;
  }
  return choices;
}

void FlagsOf(const TBoundChoices& choices, int32_t& autoFlags, int32_t& modeFlags) {
  autoFlags = 0;
  modeFlags = 0;
  for (size_t i = 0; i < choices.size(); ++i) {
    if (choices[i] == TBoundChoice::Auto) autoFlags |= 1 << i;
    if (choices[i] == TBoundChoice::Data) modeFlags |= 1 << i;
  }
}

std::string MarginText(long double margin) { return FloatToStr(margin * 100); }

long double MarginOf(const std::string& text) { return StrToFloat(text) / 100; }

TChartPropertiesValues ReadChartProperties(const TChartPropertiesText& text) {
  TChartPropertiesValues values;
  values.Size = StrToInt(text.Size);
  values.XMin = StrToFloat(text.XMin);
  values.XMax = StrToFloat(text.XMax);
  values.YMin = StrToFloat(text.YMin);
  values.YMax = StrToFloat(text.YMax);
  values.YMinMargin = MarginOf(text.YMinPercent);
  values.YMaxMargin = MarginOf(text.YMaxPercent);
  return values;
}

void StoreChartProperties(const TBoundChoices& choices, const TChartPropertiesValues& values,
                          TChartScale& scale) {
  FlagsOf(choices, scale.AutoFlags, scale.ModeFlags);
  scale.XMin = values.XMin;
  scale.XMax = values.XMax;
  scale.YMin = values.YMin;
  scale.YMax = values.YMax;
  scale.YMinMargin = values.YMinMargin;
  scale.YMaxMargin = values.YMaxMargin;
}

}  // namespace sarvanta
