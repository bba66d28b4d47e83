#include "model/MechanicalSystem.h"

#include "model/Bone.h"
#include "model/Joint.h"
#include "model/MotorUnit.h"
#include "model/Muscle.h"

namespace sarvanta {
namespace {

void ResetList(TStringList& list) {
  list.Clear();
  list.Add("", nullptr);
}

template <class T>
T* Entry(const TStringList& list, int index) {
  if (index < 1 || index >= list.Count()) return nullptr;
  return dynamic_cast<T*>(list.Objects(index));
}

template <class T>
void WriteList(const TStringList& list, TWriter& writer) {
  writer.WriteListBegin();
  for (int i = 1; i < list.Count(); ++i) writer.WriteComponent(*static_cast<T*>(list.Objects(i)));
  writer.WriteListEnd();
}

// Each record is read into a new, empty object owned by the system.
template <class T>
void ReadList(TMechanicalSystem& system, TReader& reader, const std::string& name) {
  reader.ReadListBegin();
  for (int count = 0; !reader.EndOfList(); ++count) {
    if (count >= TMechanicalSystem::MaxListEntries)
      reader.Error("TMechanicalSystem." + name + " holds more than " +
                   std::to_string(TMechanicalSystem::MaxListEntries) + " records");
    reader.ReadComponent(*new T(&system));
  }
  reader.ReadListEnd();
}

template <class T>
TBlockInfo ListBlock(std::string name, TStringList TMechanicalSystem::*list) {
  TBlockInfo block;
  block.Name = std::move(name);
  block.ShouldWrite = [list](const TStreamComponent& c) {
    return (static_cast<const TMechanicalSystem&>(c).*list).Count() > 1;
  };
  block.Write = [list](const TStreamComponent& c, TWriter& writer) {
    WriteList<T>(static_cast<const TMechanicalSystem&>(c).*list, writer);
  };
  block.Read = [name = block.Name](TStreamComponent& c, TReader& reader) {
    ReadList<T>(static_cast<TMechanicalSystem&>(c), reader, name);
  };
  return block;
}

}  // namespace

TMechanicalSystem::TMechanicalSystem(TComponent* owner) : TStreamComponent(nullptr) {
  ResetList(Bones);
  ResetList(Joints);
  ResetList(Muscles);
  JoinOwner(owner);
}

TMechanicalSystem::~TMechanicalSystem() { DestroyComponents(); }

TStringList* TMechanicalSystem::ListFor(TComponent* component) {
  switch (component->Tag) {
    case KindTag::Bone:
      return dynamic_cast<TBone*>(component) ? &Bones : nullptr;
    case KindTag::Joint:
      return dynamic_cast<TJoint*>(component) ? &Joints : nullptr;
    case KindTag::Muscle:
      return dynamic_cast<TMuscle*>(component) ? &Muscles : nullptr;
    default:
      return nullptr;
  }
}

void TMechanicalSystem::Notification(TComponent* component, TOperation operation) {
  TStreamComponent::Notification(component, operation);
  if (operation == TOperation::opInsert) {
    if (TStringList* list = ListFor(component))
      list->Add(static_cast<TInspectedObject*>(component)->Descr, component);
    return;
  }
  // The tag may have changed since insertion (a file sets it), so look in every list.
  for (TStringList* list : {&Bones, &Joints, &Muscles}) {
    const int index = list->IndexOfObject(component);
    if (index > 0) list->Delete(index);
  }
}

void TMechanicalSystem::UpdateLists() {
  ResetList(Bones);
  ResetList(Joints);
  ResetList(Muscles);
  for (int i = 0; i < ComponentCount(); ++i) {
    TComponent* component = Components(i);
    if (TStringList* list = ListFor(component))
      list->Add(static_cast<TInspectedObject*>(component)->Descr, component);
  }
}

void TMechanicalSystem::UpdateObjectReferences() {
  for (int i = 1; i < Bones.Count(); ++i)
    if (TBone* bone = Bone(i)) bone->UpdateObjectReferences(Joints);
  for (int i = 1; i < Joints.Count(); ++i)
    if (TJoint* joint = Joint(i)) joint->UpdateObjectReferences(Bones);
  for (int i = 1; i < Muscles.Count(); ++i)
    if (TMuscle* muscle = Muscle(i)) muscle->UpdateObjectReferences(Bones);
}

void TMechanicalSystem::UpdateIndexReferences() {
  for (int i = 1; i < Bones.Count(); ++i)
    if (TBone* bone = Bone(i)) bone->UpdateIndexReferences(Joints);
  for (int i = 1; i < Joints.Count(); ++i)
    if (TJoint* joint = Joint(i)) joint->UpdateIndexReferences(Bones);
  for (int i = 1; i < Muscles.Count(); ++i)
    if (TMuscle* muscle = Muscle(i)) muscle->UpdateIndexReferences(Bones);
}

void TMechanicalSystem::UpdateCaches() {
  for (int i = 1; i < Muscles.Count(); ++i)
    if (TMuscle* muscle = Muscle(i)) muscle->UpdateCache();
}

void TMechanicalSystem::PrepareForceSampling() const {
  for (int i = 1; i < Muscles.Count(); ++i)
    if (const TMuscle* muscle = Muscle(i))
      for (int u = 0; u < muscle->MotorUnits.Count(); ++u)
        if (const TMotorUnit* unit = muscle->MotorUnit(u)) unit->PreparePeaks();
}

void TMechanicalSystem::Clear() {
  DestroyComponents();
  UpdateLists();
}

TBone* TMechanicalSystem::Bone(int index) const { return Entry<TBone>(Bones, index); }
TJoint* TMechanicalSystem::Joint(int index) const { return Entry<TJoint>(Joints, index); }
TMuscle* TMechanicalSystem::Muscle(int index) const { return Entry<TMuscle>(Muscles, index); }

const TClassInfo& TMechanicalSystem::ClassInfo() const {
  static const TClassInfo info{"TMechanicalSystem",
                               {},
                               {ListBlock<TBone>("Bones", &TMechanicalSystem::Bones),
                                ListBlock<TJoint>("Joints", &TMechanicalSystem::Joints),
                                ListBlock<TMuscle>("Muscles", &TMechanicalSystem::Muscles)}};
  return info;
}

}  // namespace sarvanta
