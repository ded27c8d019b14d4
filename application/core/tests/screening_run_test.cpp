#include "screening/screening_run.h"

#include <gtest/gtest.h>

namespace {

using State = ScreeningRun::State;
using Press = ScreeningRun::CancelPress;

TEST(ScreeningRun, ARunFromStartToItsEndStep) {
  ScreeningRun run;
  ASSERT_TRUE(run.Begin());
  run.WorkerStarted();
  EXPECT_TRUE(run.Busy());
  EXPECT_FALSE(run.CanUseLibrary());
  EXPECT_FALSE(run.CanClose());
  EXPECT_FALSE(run.Begin()) << "a second run beside the first";

  EXPECT_EQ(run.PressCancel(), Press::Requested);
  EXPECT_TRUE(run.StopRequested());
  EXPECT_EQ(run.Cancel().Count(), 1);

  EXPECT_TRUE(run.End()) << "the end step unlocks";
  EXPECT_EQ(run.Cancel().Count(), 0);
  EXPECT_FALSE(run.CanUseLibrary()) << "its thread is still finishing";
  EXPECT_EQ(run.WorkerFinished(), State::Idle) << "nothing left to unlock";
  EXPECT_TRUE(run.CanUseLibrary());
  EXPECT_TRUE(run.Begin());
}

TEST(ScreeningRun, ASecondCancelPressGivesTheWorkerUp) {
  ScreeningRun run;
  ASSERT_TRUE(run.Begin());
  run.WorkerStarted();
  EXPECT_EQ(run.PressCancel(), Press::Requested);
  EXPECT_EQ(run.PressCancel(), Press::Unlocked);
  EXPECT_EQ(run.GetState(), State::Unlocked);
  EXPECT_FALSE(run.Busy());
  EXPECT_EQ(run.Cancel().Count(), 0);
  EXPECT_TRUE(run.Abandoned());
  EXPECT_TRUE(run.StopRequested()) << "the abandoned worker stops at its next poll";
  EXPECT_EQ(run.PressCancel(), Press::Ignored);

  EXPECT_FALSE(run.Begin()) << "not before the abandoned worker has ended";
  EXPECT_FALSE(run.CanClose());
  EXPECT_FALSE(run.End()) << "a late end step of the abandoned worker unlocks nothing";

  EXPECT_EQ(run.WorkerFinished(), State::Unlocked) << "what waited for the worker unlocks now";
  EXPECT_EQ(run.GetState(), State::Idle);
  ASSERT_TRUE(run.Begin());
  EXPECT_FALSE(run.Abandoned()) << "a new run starts clean";
}

TEST(ScreeningRun, AWorkerThatDiesWithoutItsEndStepUnlocks) {
  ScreeningRun run;
  ASSERT_TRUE(run.Begin());
  run.WorkerStarted();
  EXPECT_EQ(run.WorkerFinished(), State::Running) << "the caller must unlock the window";
  EXPECT_EQ(run.GetState(), State::Idle);
  EXPECT_TRUE(run.CanUseLibrary());
}

TEST(ScreeningRun, ALibraryCallOnTheMainThreadKeepsRunsOut) {
  ScreeningRun run;
  {
    LibraryCallScope call(run.LibraryBusy());
    EXPECT_FALSE(run.CanStart());
    EXPECT_FALSE(run.Begin());
    EXPECT_FALSE(run.CanClose());
  }
  EXPECT_TRUE(run.Begin());
}

TEST(ScreeningRun, CancelOutsideARunIsIgnored) {
  ScreeningRun run;
  EXPECT_EQ(run.PressCancel(), Press::Ignored);
  EXPECT_EQ(run.Cancel().Count(), 0);
}

}  // namespace
