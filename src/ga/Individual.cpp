#include "ga/Individual.h"

#include "ga/Chromosome.h"

#include <typeinfo>

namespace sarvanta {

TIndividual::TIndividual(TComponent* owner, int goalCount, int levelDepth) : TComponent(nullptr) {
  SetLevelDepth(levelDepth);
  Values.resize(static_cast<size_t>(goalCount < 0 ? 0 : goalCount), 0.0L);
  if (owner != nullptr) JoinOwner(owner);
}

TIndividual::~TIndividual() { FreeLevels(); }

void TIndividual::SetLevelDepth(int levelDepth) {
  FreeLevels();
  levelDepth_ = levelDepth;
  Levels.assign(static_cast<size_t>(levelDepth < 0 ? 0 : levelDepth + 1), {});
}

void TIndividual::FreeLevels() {
  for (auto& level : Levels) level.clear();
  delete tree_;
  tree_ = nullptr;
  Root = nullptr;
}

void TIndividual::RegisterLevels() {
  for (auto& level : Levels) level.clear();
  if (tree_ != Root) {
    delete tree_;
    tree_ = Root;
  }
  if (Root == nullptr) return;
  // Depth first, parent before children, children in component order.
  std::vector<TChromosome*> pending{Root};
  while (!pending.empty()) {
    TChromosome* chromosome = pending.back();
    pending.pop_back();
    Register(chromosome);
    for (int i = chromosome->ChildCount() - 1; i >= 0; --i) pending.push_back(chromosome->Child(i));
  }
}

void TIndividual::Register(TChromosome* chromosome) {
  if (chromosome->Level >= 0 && chromosome->Level < LevelCount()) {
    Levels[static_cast<size_t>(chromosome->Level)].push_back(chromosome);
  }
}

void TIndividual::AssignTo(TObject* dest) const {
  auto* target = dynamic_cast<TIndividual*>(dest);
  if (target == nullptr || target == this) return;
  target->SetLevelDepth(levelDepth_);
  if (tree_ != nullptr) {
    TChromosome* copy = tree_->Copy(nullptr);
    target->tree_ = copy;
    target->Register(copy);
    target->CopyChildren(*tree_, *copy);
  }
  const auto& top = target->Level(levelDepth_);
  target->Root = top.empty() ? nullptr : top.front();
  target->Values.resize(Values.size(), 0.0L);
  if (target->Root != nullptr) target->Root->Changed = true;
}

namespace {

// Takes the values of `source` chromosome by chromosome while the two trees match; false at
// the first chromosome of another class, model, frame, level or child count.
bool TakeTreeValues(const TChromosome& source, TChromosome& target) {
  if (typeid(source) != typeid(target) || source.Model != target.Model ||
      source.TimeFrame != target.TimeFrame || source.Level != target.Level ||
      source.ChildCount() != target.ChildCount())
    return false;
  target.TakeValues(source);
  for (int i = 0; i < source.ChildCount(); ++i)
    if (!TakeTreeValues(*source.Child(i), *target.Child(i))) return false;
  return true;
}

}  // namespace

bool TIndividual::AssignInPlace(const TIndividual& source) {
  if (&source == this || levelDepth_ != source.levelDepth_ ||
      (tree_ == nullptr) != (source.tree_ == nullptr))
    return false;
  if (tree_ != nullptr && !TakeTreeValues(*source.tree_, *tree_)) return false;
  Values.assign(source.Values.size(), 0.0L);
  Fitness = 0;
  Selected = false;
  if (Root != nullptr) Root->Changed = true;
  return true;
}

void TIndividual::CopyChildren(const TChromosome& source, TChromosome& copy) {
  for (int i = 0; i < source.ChildCount(); ++i) {
    TChromosome* child = source.Child(i)->Copy(&copy);
    Register(child);
    CopyChildren(*source.Child(i), *child);
  }
}

const std::vector<TChromosome*>& TIndividual::Level(int level) const {
  static const std::vector<TChromosome*> none;
  if (level < 0 || level >= LevelCount()) return none;
  return Levels[static_cast<size_t>(level)];
}

}  // namespace sarvanta
