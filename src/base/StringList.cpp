#include "base/StringList.h"

#include "base/Exception.h"

#include <algorithm>

namespace sarvanta {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

}  // namespace

TStringList::~TStringList() { Clear(); }

TStringList::Entry& TStringList::At(int index) {
  if (index < 0 || index >= Count())
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  return entries_[static_cast<size_t>(index)];
}

const TStringList::Entry& TStringList::At(int index) const {
  return const_cast<TStringList*>(this)->At(index);
}

int TStringList::Add(std::string text, TObject* object) {
  entries_.push_back({std::move(text), object});
  return Count() - 1;
}

void TStringList::Insert(int index, std::string text, TObject* object) {
  if (index < 0 || index > Count())
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  entries_.insert(entries_.begin() + index, Entry{std::move(text), object});
}

void TStringList::Delete(int index) {
  TObject* object = At(index).Object;
  entries_.erase(entries_.begin() + index);
  if (ownsObjects_) delete object;
}

void TStringList::Clear() {
  std::vector<Entry> old;
  old.swap(entries_);
  if (ownsObjects_)
    for (auto& entry : old) delete entry.Object;
}

void TStringList::Move(int from, int to) {
  Entry entry = At(from);
  entries_.erase(entries_.begin() + from);
  Insert(to, std::move(entry.Text), entry.Object);
}

void TStringList::Exchange(int a, int b) { std::swap(At(a), At(b)); }

int TStringList::IndexOf(std::string_view text) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& s = entries_[static_cast<size_t>(i)].Text;
    if (CaseSensitive ? s == text : SameText(s, text)) return i;
  }
  return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (entries_[static_cast<size_t>(i)].Object == object) return i;
  return -1;
}

}  // namespace sarvanta
