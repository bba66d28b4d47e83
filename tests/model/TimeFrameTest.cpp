// The time frame: control windows, moving and growing windows with their restarts, precision.
#include "model/TimeFrame.h"

#include "base/Random.h"

#include <gtest/gtest.h>

#include <string>

namespace sarvanta {
namespace {

TEST(TimeFrameTest, ControlWindowWithAndWithoutPreExtension) {
  TTimeFrame frame;
  int changes = 0;
  frame.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &frame);
    ++changes;
  };
  frame.SetFrame(false, false, 0, 200, 2, 1, 40, 50);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(frame.Changed);
  EXPECT_EQ(frame.CtrlStart, -40.0L);
  EXPECT_EQ(frame.CtrlEnd, 240.0L);
  EXPECT_EQ(frame.CtrlLength, 280.0L);
  EXPECT_EQ(frame.Duration, 200.0L);
  EXPECT_EQ(frame.StartPrec, 2.0L);
  EXPECT_EQ(frame.Precision, 2.0L);
  EXPECT_EQ(frame.StopPrec, 1.0L);

  frame.SetFrame(false, true, 0, 200, 2, 1, 40, 50);
  EXPECT_EQ(frame.CtrlStart, 0.0L);
  EXPECT_EQ(frame.CtrlEnd, 240.0L);
  EXPECT_EQ(frame.CtrlLength, 240.0L);

  frame.Changed = false;
  frame.SetCtrlExt(10);
  EXPECT_TRUE(frame.Changed);
  EXPECT_EQ(frame.CtrlLength, 210.0L);
}

TEST(TimeFrameTest, SlidingWindowRestartsBeforeReachingTheEnd) {
  TTimeFrame frame;
  frame.SetFrame(false, false, 0, 200, 1, 1, 0, 50);
  frame.StartMove();
  EXPECT_EQ(frame.FromMoment, 0.0L);
  EXPECT_EQ(frame.ToMoment, 50.0L);
  frame.FromMoment = 130;
  frame.ToMoment = 180;
  frame.Changed = false;
  frame.MoveFrame(10);
  EXPECT_TRUE(frame.Changed);
  EXPECT_EQ(frame.FromMoment, 140.0L);
  EXPECT_EQ(frame.ToMoment, 190.0L);
  EXPECT_EQ(frame.CtrlEnd, 190.0L);
  frame.MoveFrame(10);  // 200 <= 190 + 10: starts over
  EXPECT_EQ(frame.FromMoment, 0.0L);
  EXPECT_EQ(frame.ToMoment, 50.0L);
  EXPECT_EQ(frame.Duration, 200.0L);  // moving leaves the task's duration alone
}

TEST(TimeFrameTest, GrowingWindowKeepsItsStartAndRestarts) {
  TTimeFrame frame;
  frame.SetFrame(true, false, 0, 200, 1, 1, 5, 50);
  frame.StartMove();
  frame.MoveFrame(10);
  EXPECT_EQ(frame.FromMoment, 0.0L);
  EXPECT_EQ(frame.ToMoment, 60.0L);
  EXPECT_EQ(frame.CtrlStart, -5.0L);
  EXPECT_EQ(frame.CtrlEnd, 65.0L);
  for (int i = 0; i < 13; ++i) frame.MoveFrame(10);
  EXPECT_EQ(frame.ToMoment, 190.0L);
  frame.MoveFrame(10);
  EXPECT_EQ(frame.FromMoment, 0.0L);
  EXPECT_EQ(frame.ToMoment, 50.0L);

  frame.Precision = 0.5;
  frame.ResetFrame();
  EXPECT_EQ(frame.FromMoment, 0.0L);
  EXPECT_EQ(frame.ToMoment, 200.0L);
  EXPECT_EQ(frame.Precision, 1.0L);
}

TEST(TimeFrameTest, PrecisionFractionAndOscillation) {
  TTimeFrame frame;
  frame.SetFrame(false, false, 0, 100, 2, 1, 0, 10);
  frame.Changed = false;
  frame.SetPrecisionFraction(0.5L);
  EXPECT_TRUE(frame.Changed);
  EXPECT_EQ(frame.Precision, 1.5L);

  frame.Changed = false;
  frame.OscRange = 0;
  frame.Oscillate();
  EXPECT_EQ(frame.OscOffset, 0.0L);
  frame.OscRange = 4;
  TRandom::Shared().State = 7;
  TRandom probe;
  probe.State = 7;
  const long double expected = probe.Real() * 4;
  frame.Oscillate();
  EXPECT_EQ(frame.OscOffset, expected);
  EXPECT_GT(frame.OscOffset, 0.0L);
  EXPECT_FALSE(frame.Changed);
}

TEST(TimeFrameTest, WriteReadWriteKeepsTheBytesAndTheControlWindow) {
  TTimeFrame frame;
  frame.SetFrame(true, true, 10, 210, 2, 0.5L, 40, 60);
  frame.OscRange = 3;
  std::string first;
  TWriter(first).WriteComponent(frame);

  TTimeFrame read;
  TReader reader(reinterpret_cast<const uint8_t*>(first.data()), first.size());
  reader.ReadComponent(read);
  EXPECT_TRUE(read.FixedStart());
  EXPECT_TRUE(read.PreCtrlExt);
  EXPECT_EQ(read.CtrlStart, 10.0L);
  EXPECT_EQ(read.CtrlEnd, 250.0L);
  EXPECT_EQ(read.StopPrec, 0.5L);
  EXPECT_EQ(read.OscRange, 3.0L);

  std::string second;
  TWriter(second).WriteComponent(read);
  EXPECT_EQ(first, second);
  // Booleans are always written, even when false.
  TTimeFrame empty;
  std::string bytes;
  TWriter(bytes).WriteComponent(empty);
  EXPECT_NE(bytes.find("\x0A"
                       "FixedStart\x08"),
            std::string::npos);
  EXPECT_NE(bytes.find("\x0A"
                       "PreCtrlExt\x08"),
            std::string::npos);
}

}  // namespace
}  // namespace sarvanta
