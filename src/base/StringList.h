// Ordered (text, object) pairs: the lists of bones, joints, muscles, motor units, goals, ...
#pragma once

#include "base/Component.h"

#include <string>
#include <string_view>
#include <vector>

namespace sarvanta {

class TStringList : public TObject {
 public:
  struct Entry {
    std::string Text;
    TObject* Object = nullptr;
  };

  // An owning list frees its objects when they are deleted from it or when it is freed.
  explicit TStringList(bool ownsObjects = false) : ownsObjects_(ownsObjects) {}
  ~TStringList() override;
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  int Count() const { return static_cast<int>(entries_.size()); }
  const std::string& Strings(int index) const { return At(index).Text; }
  TObject* Objects(int index) const { return At(index).Object; }
  void SetString(int index, std::string text) { At(index).Text = std::move(text); }
  void SetObject(int index, TObject* object) { At(index).Object = object; }

  // Appends and returns the new entry's index.
  int Add(std::string text, TObject* object = nullptr);
  void Insert(int index, std::string text, TObject* object = nullptr);
  void Delete(int index);
  void Clear();
  void Move(int from, int to);
  void Exchange(int a, int b);

  // Index of the first entry whose text equals `text` (ASCII letters compared without case
  // unless CaseSensitive), or -1.
  int IndexOf(std::string_view text) const;
  int IndexOfObject(const TObject* object) const;

  bool OwnsObjects() const { return ownsObjects_; }
  bool CaseSensitive = false;

  std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
  std::vector<Entry>::const_iterator end() const { return entries_.end(); }

 private:
  Entry& At(int index);
  const Entry& At(int index) const;

  std::vector<Entry> entries_;
  bool ownsObjects_;
};

}  // namespace sarvanta
