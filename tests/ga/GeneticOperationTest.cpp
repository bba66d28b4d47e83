// Operation objects: filed under their level, stored by class name, read back byte for byte.
#include "ga/GeneticOperation.h"

#include "base/Exception.h"
#include "ga/GaClasses.h"

#include <gtest/gtest.h>

#include <string>

namespace sarvanta {
namespace {

std::string Write(const TStreamComponent& component) {
  std::string bytes;
  TWriter(bytes).WriteComponent(component);
  return bytes;
}

// The owner frees the operation, also when reading fails half way.
TStreamComponent* Read(const std::string& bytes, TComponent& owner) {
  TReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return reader.ReadComponentCreate(&owner);
}

TEST(GeneticOperationTest, LevelIsKnownWhenTheOwnerHearsOfTheOperation) {
  struct TRecorder : TComponent {
    int LevelSeen = -1;
    void Notification(TComponent* component, TOperation operation) override {
      if (auto* op = dynamic_cast<TGeneticOperation*>(component)) {
        if (operation == TOperation::opInsert) LevelSeen = op->Level;
      }
    }
    ~TRecorder() override { DestroyComponents(); }
  } owner;
  new TCrossoverOperation(&owner, 2);
  EXPECT_EQ(owner.LevelSeen, 2);
}

TEST(GeneticOperationTest, EveryOperationKindWritesReadsAndWritesTheSameBytes) {
  RegisterGaClasses();
  RegisterGaClasses();  // a second registration changes nothing

  TMutationOperation mutation(nullptr, 1);
  mutation.Descr = "Muscle Mutation Change MU Activation";
  mutation.OpType = OpCode::ChangeMUActivation;
  mutation.NumberOfPoints = 3;
  mutation.OpProbability = 0.3L;
  mutation.ProbDependance = "0.3";
  mutation.Range = 0.25L;
  TCrossoverOperation crossover(nullptr, 0);
  crossover.Descr = "Motor Unit One Point Crossover";
  crossover.OpType = OpCode::MotorUnitOnePoint;
  crossover.NumberOfPoints = 300;  // a 16-bit integer in the file
  crossover.OpProbability = 1;
  TCommonMutationOperation common(nullptr, 1);
  common.OpType = OpCode::MuscleSynchronic;
  common.Range = 1;

  for (const TGeneticOperation* op :
       std::initializer_list<const TGeneticOperation*>{&mutation, &crossover, &common}) {
    const std::string first = Write(*op);
    TComponent owner;
    TStreamComponent* read = Read(first, owner);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->ClassInfo().ClassName, op->ClassInfo().ClassName);
    const auto& copy = dynamic_cast<const TGeneticOperation&>(*read);
    EXPECT_EQ(copy.Descr, op->Descr);
    EXPECT_EQ(copy.Level, op->Level);
    EXPECT_EQ(copy.OpType, op->OpType);
    EXPECT_EQ(copy.NumberOfPoints, op->NumberOfPoints);
    EXPECT_EQ(copy.OpProbability, op->OpProbability);
    EXPECT_EQ(copy.ProbDependance, op->ProbDependance);
    EXPECT_EQ(Write(*read), first);
  }
  TComponent owner;
  TStreamComponent* mutationCopy = Read(Write(mutation), owner);
  EXPECT_EQ(dynamic_cast<TMutationOperation&>(*mutationCopy).Range, 0.25L);
  // A crossover stores no range; the mutation's record carries one.
  EXPECT_EQ(Write(crossover).find("Range"), std::string::npos);
  EXPECT_NE(Write(mutation).find("\x05Range\x05"), std::string::npos);
}

TEST(GeneticOperationTest, LevelOutsideTheAlgorithmsListsIsAReadError) {
  RegisterGaClasses();
  TMutationOperation mutation(nullptr, 3);
  std::string bytes = Write(mutation);
  const auto at = bytes.find("\x05Level\x02\x03");
  ASSERT_NE(at, std::string::npos);
  TComponent owner;
  bytes[at + 7] = 4;
  EXPECT_THROW(Read(bytes, owner), EReadError);
  bytes[at + 7] = static_cast<char>(-1);
  EXPECT_THROW(Read(bytes, owner), EReadError);
}

}  // namespace
}  // namespace sarvanta
