// Motor units: the impulse train (sorting, filtering, searching, counting), the shape
// exponent, copying, and the twitch force with its fault handling.
#include "model/MotorUnit.h"

#include "base/Exception.h"
#include "model/ModelClasses.h"
#include "model/PropertyCells.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace sarvanta {
namespace {

using Times = std::vector<long double>;

TMotorUnit MakeUnit(long double tref) {
  return TMotorUnit(nullptr, "MU", 0.5L, 100, 1, 1, 20, tref, 40, 100, 0);
}

TEST(MotorUnit, SetImpArraySortsAndFiltersByTref) {
  TMotorUnit unit(nullptr, "MU", 0, 0, 0, 0, 0, 0.05L);
  unit.SetImpArray(Times{0.3L, 0.1L, 0.2L});
  EXPECT_EQ(unit.ImpArray(), (Times{0.1L, 0.2L, 0.3L}));
  EXPECT_EQ(unit.ImpCnt, 2);

  unit.Tref = 0.15L;
  unit.SetImpArray(Times{0.3L, 0.1L, 0.2L});
  EXPECT_EQ(unit.ImpArray(), (Times{0.1L, 0.3L}));
  EXPECT_EQ(unit.ImpCnt, 1);

  // Distances of exactly Tref are kept; the distance counts from the last kept impulse.
  unit.Tref = 1;
  unit.SetImpArray(Times{5, 0, 1, 1.5L, 2, 2.9L, 3.9L, 3.9L});
  EXPECT_EQ(unit.ImpArray(), (Times{0, 1, 2, 3.9L, 5}));
  EXPECT_EQ(unit.ImpCnt, 4);

  // A single time is stored as given; none leaves an empty train.
  unit.Tref = 100;
  unit.SetImpArray(Times{7});
  EXPECT_EQ(unit.ImpArray(), (Times{7}));
  EXPECT_EQ(unit.ImpCnt, 0);
  unit.SetImpArray(Times{});
  EXPECT_TRUE(unit.ImpArray().empty());
  EXPECT_EQ(unit.ImpCnt, -1);
}

TEST(MotorUnit, AppendImpArrayMergesSortsAndFilters) {
  TMotorUnit unit = MakeUnit(1);
  int notices = 0;
  unit.OnImpulsesChange = [&notices](TMotorUnit*) { ++notices; };
  unit.SetImpArray(Times{10, 20});
  unit.AppendImpArray(Times{15, 20.5L, 0, 99}, 3);  // 99 is beyond the count
  EXPECT_EQ(unit.ImpArray(), (Times{0, 10, 15, 20}));
  EXPECT_EQ(unit.ImpCnt, 3);
  unit.AppendImpArray(Times{1}, 0);
  EXPECT_EQ(unit.ImpCnt, 3);
  unit.AppendImpArray(Times{1, 2}, 50);  // a count beyond the given times takes what is there
  EXPECT_EQ(unit.ImpArray(), (Times{0, 1, 2, 10, 15, 20}));
  EXPECT_EQ(notices, 4);
}

TEST(MotorUnit, SortsOrderAnyTrain) {
  TMotorUnit unit = MakeUnit(0);
  const Times shuffled{5, -1, 3, 3, 9, 0, 2.5L, 8, -7, 1};
  Times sorted = shuffled;
  std::sort(sorted.begin(), sorted.end());
  unit.SetImpArray(shuffled);  // Tref 0 keeps duplicates
  EXPECT_EQ(unit.ImpArray(), sorted);
  unit.AppendImpArray(Times{4, -2}, 2);
  sorted.insert(sorted.end(), {4, -2});
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(unit.ImpArray(), sorted);
  unit.QSort(-5, 100);  // out-of-range bounds are clamped
  EXPECT_EQ(unit.ImpArray(), sorted);
  // Trains in order but for their last times, or with equal neighbours, are sorted too.
  unit.SetImpArray(Times{1, 2, 3, 5, 4});
  EXPECT_EQ(unit.ImpArray(), (Times{1, 2, 3, 4, 5}));
  unit.SetImpArray(Times{1, 2, 2, 3, 2.5L});
  EXPECT_EQ(unit.ImpArray(), (Times{1, 2, 2, 2.5L, 3}));
}

TEST(MotorUnit, BinarySearchAndCount) {
  TMotorUnit empty = MakeUnit(0);
  EXPECT_EQ(empty.IndexOfFirstGreatOrEqualTo(3), -1);
  EXPECT_EQ(empty.Count(0, 10), 0);

  TMotorUnit unit = MakeUnit(0);
  unit.SetImpArray(Times{0, 10, 20, 30, 40});
  // An equal entry is found; otherwise the last index the search examined.
  const struct {
    long double X;
    int32_t Index;
  } cases[] = {{0, 0}, {20, 2}, {40, 4}, {-5, 0}, {5, 1}, {15, 1}, {25, 3}, {35, 4}, {99, 4}};
  for (const auto& c : cases) {
    EXPECT_EQ(unit.IndexOfFirstGreatOrEqualTo(c.X), c.Index) << c.X;
    EXPECT_EQ(unit.IndexOfFirstLessOrEqualTo(c.X), c.Index) << c.X;
  }
  EXPECT_EQ(unit.Count(10, 30), 2);
  EXPECT_EQ(unit.Count(0, 40), 4);
  EXPECT_EQ(unit.Count(5, 35), 3);
  EXPECT_EQ(unit.Count(30, 10), 0);  // never negative
  EXPECT_EQ(unit.Count(99, -5), 0);
}

TEST(MotorUnit, MaxNumOfImpulsesRoundsHalfToEven) {
  TMotorUnit unit = MakeUnit(0.5L);
  EXPECT_EQ(unit.MaxNumOfImpulses(1.25L), 2);
  EXPECT_EQ(unit.MaxNumOfImpulses(1.75L), 4);
  EXPECT_EQ(unit.MaxNumOfImpulses(1.3L), 3);
  EXPECT_EQ(unit.MaxNumOfImpulses(-1.25L), -2);
  EXPECT_EQ(unit.MaxNumOfImpulses(0), 0);
  unit.Tref = 0;
  EXPECT_THROW(unit.MaxNumOfImpulses(1), EZeroDivide);
  EXPECT_THROW(unit.MaxNumOfImpulses(0), EInvalidOp);
  unit.Tref = 1e-4000L;
  EXPECT_THROW(unit.MaxNumOfImpulses(1), EOverflow);
}

TEST(MotorUnit, ShapeExponentFollowsTcAndTr) {
  const long double tc = 20;
  const long double tr = 40;
  const long double expected =
      std::numbers::ln2_v<long double> * tc / (tc * std::log(tc / tr) + tr - tc);
  TMotorUnit unit(nullptr, "MU", 0, 0, 0, 0, tc, 0, tr);
  EXPECT_EQ(unit.ShapeExponent(), expected);

  // Tr = 0, Tc = Tr, or no finite value: the exponent stays as it was.
  unit.SetTr(0);
  EXPECT_EQ(unit.ShapeExponent(), expected);
  unit.SetTr(20);
  EXPECT_EQ(unit.ShapeExponent(), expected);
  unit.SetTc(-5);  // ln of a negative ratio
  EXPECT_EQ(unit.ShapeExponent(), expected);
  unit.SetTc(0);
  EXPECT_EQ(unit.ShapeExponent(), expected);
  EXPECT_EQ(TMotorUnit().ShapeExponent(), 0);

  // Through the inspector row and through a file record alike.
  auto description = unit.ObjectDescription("MU");
  EXPECT_TRUE(StoreCellText(*description->FindRow("Tc"), "10"));
  EXPECT_EQ(unit.Tc(), 10);
  EXPECT_EQ(unit.ShapeExponent(),
            std::numbers::ln2_v<long double> * 10 / (10 * std::log(10.0L / 20) + 20 - 10));
  unit.Tl = 100;
  EXPECT_EQ(*CellText(*description->FindRow("T")), "100");
  EXPECT_FALSE(CellText(*description->FindRow("Impulses")).has_value());
}

TEST(MotorUnit, AssignToCopiesParametersAndTrainButNotNameOrLead) {
  TMotorUnit source(nullptr, "Source", 0.4L, 300, 2, 3, 25, 4, 60, 150, 7);
  source.TARef = 1;
  source.TRRef = 2;
  source.SetImpArray(Times{30, 10, 20});
  TMotorUnit target(nullptr, "Target", 0, 0, 0, 0, 0, 0, 0, 0, 3);
  target.AssignTo(target);  // copying onto itself changes nothing
  source.AssignTo(target);
  EXPECT_EQ(target.Descr, "Target");
  EXPECT_EQ(target.LeadT, 3);
  EXPECT_EQ(target.Fmin, 0.4L);
  EXPECT_EQ(target.Tf, 300);
  EXPECT_EQ(target.Pow, 2);
  EXPECT_EQ(target.Fmax, 3);
  EXPECT_EQ(target.Tc(), 25);
  EXPECT_EQ(target.Tr(), 60);
  EXPECT_EQ(target.Tl, 150);
  EXPECT_EQ(target.Tref, 4);
  EXPECT_EQ(target.TARef, 1);
  EXPECT_EQ(target.TRRef, 2);
  EXPECT_EQ(target.ImpArray(), source.ImpArray());
  EXPECT_EQ(target.ImpCnt, 2);
  EXPECT_EQ(target.ShapeExponent(), source.ShapeExponent());
}

TEST(MotorUnit, TwitchRisesFromZeroToItsPeakAtTc) {
  TMotorUnit unit(nullptr, "MU", 0.5L, 100, 1, 1, 20, 5, 40, 100, 0);
  EXPECT_EQ(unit.Force(50), 0);
  unit.SetImpArray(Times{0});
  EXPECT_EQ(unit.Force(0), 0);
  EXPECT_EQ(unit.Force(-3), 0);
  EXPECT_NEAR(static_cast<double>(unit.Force(20)), 1.0, 1e-15);
  EXPECT_LT(unit.Force(19), unit.Force(20));
  EXPECT_LT(unit.Force(21), unit.Force(20));
  EXPECT_GT(unit.Force(1e-3L), 0);

  // LeadT delays the twitch.
  unit.LeadT = 5;
  EXPECT_EQ(unit.Force(5), 0);
  EXPECT_NEAR(static_cast<double>(unit.Force(25)), 1.0, 1e-15);
}

TEST(MotorUnit, FatigueLowersLaterPeaks) {
  // Tref 10, Tf 100, Pow 1: the impulse at 10 has one earlier impulse in its window, so its
  // peak is Fmax + (Fmin - Fmax) * 10 / 100.
  TMotorUnit unit(nullptr, "MU", 0, 100, 1, 1, 20, 10, 40, 100, 0);
  unit.SetImpArray(Times{0, 10});
  const long double m = unit.ShapeExponent();
  const auto twitch = [m](long double peak, long double tau) {
    return peak * std::pow(tau / 20, m) * std::exp(m - tau * m / 20);
  };
  const long double t = 30;
  const long double expected = twitch(1, 30) + twitch(0.9L, 20);
  EXPECT_NEAR(static_cast<double>(unit.Force(t)), static_cast<double>(expected), 1e-15);
}

TEST(MotorUnit, FaultsResetTheSum) {
  // Tc = 0: every started twitch divides by zero.
  TMotorUnit flat(nullptr, "MU", 0.5L, 100, 1, 1, 20, 5, 40, 100, 0);
  flat.SetImpArray(Times{0, 10, 20});
  flat.SetTc(0);
  for (long double t : {5.0L, 15.0L, 100.0L}) EXPECT_EQ(flat.Force(t), 0) << t;

  // Tf = 0: every peak is 0 / 0.
  TMotorUnit unwindowed(nullptr, "MU", 0.5L, 0, 1, 1, 20, 5, 40, 100, 0);
  unwindowed.SetImpArray(Times{0, 10});
  EXPECT_EQ(unwindowed.Force(30), 0);

  // A negative Pow faults every impulse without an earlier one in its window (0 to a negative
  // power); the sum restarts after the last such impulse.
  TMotorUnit negative(nullptr, "MU", 0.5L, 100, -1, 1, 20, 10, 40, 100, 0);
  negative.SetImpArray(Times{0, 10});
  TMotorUnit alone(nullptr, "MU", 0.5L, 100, -1, 1, 20, 10, 40, 100, 0);
  alone.SetImpArray(Times{10});
  // The second impulse's peak is 1 + (0.5 - 1) * (10 / 100)^-1 = -4.
  const long double m = negative.ShapeExponent();
  EXPECT_NEAR(static_cast<double>(negative.Force(30)),
              static_cast<double>(-4 * std::pow(20.0L / 20, m) * std::exp(m - 20 * m / 20)), 1e-15);
  EXPECT_EQ(alone.Force(30), 0);  // its only impulse faults
  // A faulting peak after the started impulses leaves 0 as well.
  negative.SetImpArray(Times{0, 10, 500});
  EXPECT_EQ(negative.Force(30), 0);
}

TEST(MotorUnit, ForceFollowsParameterChangesAfterEarlierCalls) {
  TMotorUnit unit(nullptr, "MU", 0.2L, 100, 2, 1, 20, 5, 40, 100, 0);
  unit.SetImpArray(Times{0, 6, 12, 30});
  const long double before = unit.Force(40);
  for (auto change : {+[](TMotorUnit& u) { u.Fmax = 3; }, +[](TMotorUnit& u) { u.Fmin = 0.9L; },
                      +[](TMotorUnit& u) { u.Pow = 0.5L; }, +[](TMotorUnit& u) { u.Tf = 20; },
                      +[](TMotorUnit& u) { u.Tref = 1; }, +[](TMotorUnit& u) { u.LeadT = 4; },
                      +[](TMotorUnit& u) { u.SetTc(15); }, +[](TMotorUnit& u) { u.SetTr(70); },
                      +[](TMotorUnit& u) {
                        u.SetImpArray(Times{0, 35});
                      }}) {
    change(unit);
    const long double literal = unit.ForceLiteral(40);
    EXPECT_LE(std::fabs(unit.Force(40) - literal), 1e-15L * std::fabs(literal));
  }
  EXPECT_NE(unit.Force(40), before);
}

TEST(MotorUnit, RecordWithoutImpulsesAndRoundTrip) {
  RegisterModelClasses();
  TMotorUnit idle(nullptr, "Idle", 0.5L, 100, 1, 1, 20, 5, 40, 100, 0);
  std::string bytes;
  TWriter writer(bytes);
  writer.WriteComponent(idle);
  EXPECT_NE(bytes.find(std::string("\x06ImpCnt\x02\xFF", 9)), std::string::npos);
  EXPECT_EQ(bytes.find("ImpArray"), std::string::npos);

  TMotorUnit unit(nullptr, "MU1", 0.25L, 300, 1.5L, 2, 25, 4, 60, 150, 1);
  unit.TARef = 0.5L;
  unit.SetImpArray(Times{30, 10, 20});
  bytes.clear();
  writer.WriteComponent(unit);
  TReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  TStreamComponent* created = reader.ReadComponentCreate(nullptr);
  auto* read = dynamic_cast<TMotorUnit*>(created);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->ImpArray(), unit.ImpArray());
  EXPECT_EQ(read->ImpCnt, 2);
  EXPECT_EQ(read->ShapeExponent(), unit.ShapeExponent());
  EXPECT_EQ(read->TARef, 0.5L);
  EXPECT_EQ(read->Force(40), unit.Force(40));
  std::string again;
  TWriter(again).WriteComponent(*read);
  EXPECT_EQ(again, bytes);
  delete created;
}

TEST(MotorUnit, StoredTrainIsTakenAsReadWhateverImpCntClaims) {
  RegisterModelClasses();
  std::string bytes;
  TWriter writer(bytes);
  writer.WriteShortString("TMotorUnit");
  writer.WriteShortString("");
  writer.WriteShortString("Tc");
  writer.WriteFloat(20);
  writer.WriteShortString("Tr");
  writer.WriteFloat(40);
  writer.WriteShortString("Fmax");
  writer.WriteFloat(1);
  writer.WriteShortString("Tf");
  writer.WriteFloat(100);
  writer.WriteShortString("Pow");
  writer.WriteFloat(1);
  writer.WriteShortString("ImpCnt");
  writer.WriteInteger(1000000000);  // far more than follow: no room is made for them
  writer.WriteShortString("ImpArray");
  writer.WriteListBegin();
  writer.WriteFloat(15);
  writer.WriteFloat(5);  // out of order, as a foreign file may have it
  writer.WriteListEnd();
  writer.WriteByte(0);
  writer.WriteByte(0);
  TMotorUnit unit;
  TReader reader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  reader.ReadComponent(unit);
  EXPECT_EQ(unit.ImpArray(), (Times{15, 5}));
  EXPECT_EQ(unit.ImpCnt, 1);
  for (long double t : {10.0L, 25.0L, 60.0L}) {
    const long double literal = unit.ForceLiteral(t);
    EXPECT_GT(literal, 0) << t;
    EXPECT_LE(std::fabs(unit.Force(t) - literal), 1e-15L * literal) << t;
  }
}

}  // namespace
}  // namespace sarvanta
