// Turning object references into list indices and back, for bones, joints and muscles.
#pragma once

#include "base/StringList.h"

#include <cstdint>

namespace sarvanta {

// The reference's position in `list`: none finds the placeholder (0), an object missing from
// the list gives -1.
inline int32_t IndexInList(const TStringList& list, const TObject* object) {
  return list.IndexOfObject(object);
}

// For an index in 0..count-1 whose entry holds a T (or nothing, as the placeholder does):
// the reference := that entry's object. Any other index (-1 "none", out of range, an entry
// of another class) leaves the reference unchanged.
template <class T>
void ReferenceFromIndex(const TStringList& list, int32_t index, T*& reference) {
  if (index < 0 || index >= list.Count()) return;
  TObject* object = list.Objects(index);
  if (object == nullptr) {
    reference = nullptr;
    return;
  }
  if (T* typed = dynamic_cast<T*>(object)) reference = typed;
}

}  // namespace sarvanta
