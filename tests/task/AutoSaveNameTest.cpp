#include "task/AutoSaveName.h"

#include <gtest/gtest.h>

using namespace sarvanta;

TEST(AutoSaveName, StampsBeforeTheFirstDotAndReplacesAnEarlierStamp) {
  const TTimeOfDay first{14, 5, 9};
  const TTimeOfDay second{14, 6, 0};
  const std::string saved = AutoSaveName("C:\\m\\arm.svt", true, first);
  EXPECT_EQ(saved, "C:\\m\\arm(14-05-09).svt");
  EXPECT_EQ(AutoSaveName(saved, true, second), "C:\\m\\arm(14-06-00).svt");
  EXPECT_EQ(AutoSaveName("/data/arm.old.svt", true, {9, 0, 1}), "/data/arm(09-00-01).old.svt");
}

TEST(AutoSaveName, PlainNamesAndNamesThatCannotBeStamped) {
  EXPECT_EQ(AutoSaveName("C:\\m\\arm.svt", false, {14, 5, 9}), "C:\\m\\arm.svt");
  EXPECT_EQ(AutoSaveName("", false, {}), "Reult");
  EXPECT_EQ(AutoSaveName("", true, {14, 5, 9}), "Reult");
  EXPECT_EQ(AutoSaveName("/data/arm", true, {14, 5, 9}), "/data/arm");
}

TEST(AutoSaveName, FoldersKeepTheirDotsAndBrackets) {
  // Only the file's own name is stamped: the project still lands in its folder.
  EXPECT_EQ(AutoSaveName("/home/ann/v1.2/arm.svt", true, {1, 2, 3}),
            "/home/ann/v1.2/arm(01-02-03).svt");
  EXPECT_EQ(AutoSaveName("/runs (old)/arm.svt", true, {1, 2, 3}), "/runs (old)/arm(01-02-03).svt");
  // A bracket that is not a stamp stays.
  EXPECT_EQ(AutoSaveName("/m/arm (left).svt", true, {1, 2, 3}), "/m/arm (left)(01-02-03).svt");
  EXPECT_EQ(AutoSaveName("C:\\v1.0\\arm", true, {1, 2, 3}), "C:\\v1.0\\arm");
}
