#include "screening/ordered_hand_out.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

using std::chrono::milliseconds;

TEST(OrderedHandOutTest, HandsUnitsOutInOrderNoFurtherAheadThanAllowed) {
  OrderedHandOut handOut(5, 2);
  EXPECT_EQ(handOut.Take(), 0u);
  EXPECT_EQ(handOut.Take(), 1u);
  // A third unit waits until the first is delivered.
  std::optional<size_t> third;
  std::thread worker([&] { third = handOut.Take(); });
  EXPECT_FALSE(handOut.WaitDone(0, milliseconds(1)));
  handOut.Done(0);
  EXPECT_TRUE(handOut.WaitDone(0, milliseconds(1000)));
  handOut.Delivered(0);
  worker.join();
  EXPECT_EQ(third, 2u);
  handOut.Stop();
  EXPECT_EQ(handOut.Take(), std::nullopt);
  EXPECT_TRUE(handOut.Stopping());
}

TEST(OrderedHandOutTest, NoUnitIsLeftAfterTheLast) {
  OrderedHandOut handOut(1, 4);
  EXPECT_EQ(handOut.Take(), 0u);
  EXPECT_EQ(handOut.Take(), std::nullopt);
  EXPECT_FALSE(handOut.Stopping());
}

TEST(OrderedHandOutTest, AWorkersErrorStopsTheOthersAndTheDelivery) {
  OrderedHandOut handOut(8, 2);
  ASSERT_EQ(handOut.Take(), 0u);
  ASSERT_EQ(handOut.Take(), 1u);
  std::optional<size_t> blocked = 99;
  std::thread waiting([&] { blocked = handOut.Take(); });  // two ahead already
  handOut.Done(1);
  handOut.Fail(std::make_exception_ptr(std::runtime_error("first")));
  handOut.Fail(std::make_exception_ptr(std::runtime_error("second")));
  waiting.join();
  EXPECT_EQ(blocked, std::nullopt);
  EXPECT_TRUE(handOut.Stopping());
  // The delivery learns of it at once, without waiting out its poll.
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(handOut.WaitDone(0, milliseconds(60000)));
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  ASSERT_NE(handOut.Error(), nullptr);
  try {
    std::rethrow_exception(handOut.Error());
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "first");
  }
}

}  // namespace
