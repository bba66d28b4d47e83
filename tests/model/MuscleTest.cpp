// Polynomials and muscles: evaluation, degree, the muscle's force and rows, and their records.
#include "model/Muscle.h"

#include "base/Exception.h"
#include "model/Bone.h"
#include "model/MechanicalSystem.h"
#include "model/ModelClasses.h"
#include "model/MotorUnit.h"
#include "model/Polynomial.h"
#include "model/PropertyCells.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sarvanta {
namespace {

std::string Record(const TStreamComponent& component) {
  std::string bytes;
  TWriter writer(bytes);
  writer.WriteComponent(component);
  return bytes;
}

void ReadRecord(TStreamComponent& into, const std::string& bytes) {
  RegisterModelClasses();
  TReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  reader.ReadComponent(into);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(Polynomial, EvaluatesByHornerAndResizesByExponent) {
  TPolynomial poly(nullptr, {1, 2, 3});
  EXPECT_EQ(poly.Evaluate(1), 6);
  EXPECT_EQ(poly.Evaluate(2), 17);
  EXPECT_EQ(poly.Evaluate(-1), 2);
  EXPECT_EQ(poly.Exponent(), 2);

  TPolynomial empty;
  EXPECT_EQ(empty.Exponent(), -1);
  EXPECT_EQ(empty.Evaluate(5), 0);
  empty.SetExponent(2);
  EXPECT_EQ(empty.Coefficients, (std::vector<long double>{0, 0, 0}));
  EXPECT_EQ(empty.Exponent(), 2);
  poly.SetExponent(0);
  EXPECT_EQ(poly.Coefficients, (std::vector<long double>{1}));
  poly.SetExponent(-1);
  EXPECT_TRUE(poly.Coefficients.empty());
}

TEST(Polynomial, RecordsRoundTripAndShortListsKeepTheStatedDegree) {
  TPolynomial poly(nullptr, {0.3L, 0, -2});
  const std::string bytes = Record(poly);
  TPolynomial read;
  ReadRecord(read, bytes);
  EXPECT_EQ(read.Coefficients, poly.Coefficients);

  // "Exponent" 3 with only two values: the other coefficients stay 0.
  std::string shortList = bytes;
  const size_t at = shortList.find("Exponent") + 8;
  shortList[at + 1] = 3;
  // Drop the last coefficient (tag and 10 bytes before the list end and the two record ends).
  shortList.erase(shortList.size() - 3 - 11, 11);
  TPolynomial grown;
  ReadRecord(grown, shortList);
  EXPECT_EQ(grown.Coefficients, (std::vector<long double>{0.3L, 0, 0, 0}));

  // An empty polynomial writes its degree only.
  TPolynomial none;
  EXPECT_EQ(Record(none).find(std::string("\x04Poly\x01")), std::string::npos);
  EXPECT_NE(bytes.find(std::string("\x04Poly\x01")), std::string::npos);
}

TEST(Muscle, ForceIsTheSumOfItsUnits) {
  TMuscle muscle(nullptr, "Biceps");
  EXPECT_EQ(muscle.Force(10), 0);
  EXPECT_EQ(muscle.Plane, 1);
  EXPECT_EQ(muscle.BoneHolding, 0.01L);
  EXPECT_TRUE(muscle.CacheInvalid);
  auto* a = new TMotorUnit(nullptr, "A", 0.5L, 100, 1, 1, 20, 5, 40, 100, 0);
  auto* b = new TMotorUnit(nullptr, "B", 0.5L, 100, 1, 2, 30, 5, 50, 100, 3);
  const std::vector<long double> times{0, 15, 40};
  a->SetImpArray(times);
  b->SetImpArray(times);
  muscle.AddMotorUnit(a);
  muscle.AddMotorUnit(b);
  EXPECT_EQ(a->Owner(), &muscle);
  for (long double t : {0.0L, 10.0L, 20.0L, 55.5L, 300.0L})
    EXPECT_EQ(muscle.Force(t), a->Force(t) + b->Force(t)) << t;
  EXPECT_GT(muscle.Force(20), 0);

  // A unit freed by anyone leaves the list.
  delete a;
  ASSERT_EQ(muscle.MotorUnits.Count(), 1);
  EXPECT_EQ(muscle.MotorUnit(0), b);
  EXPECT_EQ(muscle.MotorUnit(1), nullptr);
}

TEST(Muscle, RowsEditPolynomialsAndBonesAndOfferTheDialog) {
  TMechanicalSystem system;
  auto* bone = new TBone(&system, "Radius");
  auto* muscle = new TMuscle(&system, "Muscle1");
  int edits = 0;
  TMuscle::PropertiesEditor = [&edits](TInspectedObject*) { ++edits; };
  auto description = muscle->ObjectDescription("Biceps");
  TMuscle::PropertiesEditor = nullptr;
  EXPECT_EQ(muscle->Descr, "Biceps");
  EXPECT_EQ(description->EntryText(), "Muscle: Biceps");
  EXPECT_EQ(description->RowCount(), 10);

  EXPECT_TRUE(StoreCellText(*description->FindRow("Lenght"), "0.2;0.01;"));
  EXPECT_EQ(muscle->LengthPoly->Exponent(), 1);
  EXPECT_EQ(muscle->LengthPoly->Evaluate(10), 0.2L + 0.1L);
  EXPECT_TRUE(StoreCellText(*description->FindRow("ForceArm"), "1;2;3;"));
  EXPECT_EQ(muscle->ForceArmPoly->Evaluate(2), 17);
  EXPECT_TRUE(StoreCellText(*description->FindRow("ToBone"), "Radius"));
  EXPECT_EQ(muscle->ToBone, bone);

  const TProperty& units = *description->FindRow("MotorUnits");
  EXPECT_EQ(*CellText(units), "");
  EXPECT_FALSE(StoreCellText(units, "Radius"));
  EXPECT_TRUE(units.HasEditButton());
  units.OnEdit(muscle);
  EXPECT_EQ(edits, 1);
  EXPECT_FALSE(description->FindRow("Name")->HasEditButton());
}

TEST(Muscle, RecordHoldsFourPolynomialsAndItsUnitsInOrder) {
  TMuscle fresh(nullptr, "M");
  const std::string freshBytes = Record(fresh);
  EXPECT_NE(freshBytes.find("\x04"
                            "Data"),
            std::string::npos);
  EXPECT_EQ(freshBytes.find("\x02MU\x01"), std::string::npos);

  TMuscle muscle(nullptr, "Biceps");
  muscle.PCSAPoly->Coefficients = {4.5L};
  muscle.ForceAnglePoly->Coefficients = {0, 1};
  for (const char* name : {"U1", "U2", "U3"}) {
    auto* unit = new TMotorUnit(nullptr, name, 0.1L, 10, 1, 1, 20, 5, 40, 100, 0);
    unit->SetImpArray(std::vector<long double>{1, 2.5L});
    muscle.AddMotorUnit(unit);
  }
  const std::string bytes = Record(muscle);
  EXPECT_NE(bytes.find("\x02MU\x01"), std::string::npos);
  TMuscle read;
  ReadRecord(read, bytes);
  EXPECT_EQ(read.Descr, "Biceps");
  EXPECT_EQ(read.Tag, 4);
  EXPECT_EQ(read.PCSAPoly->Coefficients, muscle.PCSAPoly->Coefficients);
  EXPECT_EQ(read.ForceAnglePoly->Coefficients, muscle.ForceAnglePoly->Coefficients);
  EXPECT_TRUE(read.LengthPoly->Coefficients.empty());
  ASSERT_EQ(read.MotorUnits.Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(read.MotorUnits.Strings(i), muscle.MotorUnit(i)->Descr);
    EXPECT_EQ(read.MotorUnit(i)->Owner(), &read);
  }
  EXPECT_EQ(read.Force(30), muscle.Force(30));
  EXPECT_EQ(Record(read), bytes);
}

TEST(Muscle, RecordsThatAreNotWhatTheBlockHoldsAreRefused) {
  RegisterModelClasses();
  // A motor-unit list holding a polynomial record.
  std::string bytes;
  TWriter writer(bytes);
  writer.WriteShortString("TMuscle");
  writer.WriteShortString("");
  writer.WriteShortString("MU");
  writer.WriteListBegin();
  TPolynomial stray(nullptr, {1});
  writer.WriteComponent(stray);
  writer.WriteListEnd();
  writer.WriteByte(0);
  writer.WriteByte(0);
  TMuscle muscle;
  TReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  EXPECT_THROW(reader.ReadComponent(muscle), EReadError);
  EXPECT_EQ(muscle.MotorUnits.Count(), 0);
  EXPECT_EQ(muscle.ComponentCount(), 4);  // its own polynomials only

  // A degree no polynomial of a model has is refused rather than allocated.
  std::string huge;
  TWriter hugeWriter(huge);
  hugeWriter.WriteShortString("TPolynomial");
  hugeWriter.WriteShortString("");
  hugeWriter.WriteShortString("Exponent");
  hugeWriter.WriteInteger(2000000000);
  hugeWriter.WriteByte(0);
  hugeWriter.WriteByte(0);
  TPolynomial poly;
  TReader hugeReader(reinterpret_cast<const uint8_t*>(huge.data()), huge.size());
  EXPECT_THROW(hugeReader.ReadComponent(poly), EReadError);
  EXPECT_TRUE(poly.Coefficients.empty());
}

}  // namespace
}  // namespace sarvanta
