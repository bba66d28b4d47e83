// The file name under which a run saves its project automatically.
#pragma once

#include <string>
#include <string_view>

namespace sarvanta {

struct TTimeOfDay {
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

// The present local time of day.
TTimeOfDay LocalTimeOfDay();

// The model's file name, or "Reult" for a model that was never named. With `asNewFiles` the
// name is stamped with the time of day: "C:\m\arm.svt" at 14:05:09 becomes
// "C:\m\arm(14-05-09).svt", and a stamp left by an earlier save is replaced. Only the last
// path component is stamped (a folder's "." or "(" is left alone); a name without "." gets no
// stamp.
std::string AutoSaveName(std::string_view modelFileName, bool asNewFiles, const TTimeOfDay& now);

}  // namespace sarvanta
