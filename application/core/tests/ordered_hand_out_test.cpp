#include "screening/ordered_hand_out.h"

#include <gtest/gtest.h>

#include <atomic>
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

TEST(OrderedHandOutTest, TheDeliveryWaitsForEachUnitInTurn) {
  OrderedHandOut handOut(3, 3);
  ASSERT_EQ(handOut.Take(), 0u);
  ASSERT_EQ(handOut.Take(), 1u);
  ASSERT_EQ(handOut.Take(), 2u);
  // A later unit done first, with its wake-up, leaves the delivery waiting.
  std::atomic<bool> answered = false;
  bool firstDone = false;
  std::thread delivery([&] {
    firstDone = handOut.WaitDone(0, milliseconds(60000));
    answered = true;
  });
  std::this_thread::sleep_for(milliseconds(50));  // the delivery waits by now
  handOut.Done(1);
  std::this_thread::sleep_for(milliseconds(50));
  EXPECT_FALSE(answered);
  handOut.Done(0);
  delivery.join();
  EXPECT_TRUE(firstDone);

  // Only the next unit is waited for and delivered, and only once done.
  EXPECT_THROW(handOut.WaitDone(1, milliseconds(0)), std::logic_error);
  EXPECT_THROW(handOut.Delivered(1), std::logic_error);
  handOut.Delivered(0);
  EXPECT_THROW(handOut.WaitDone(0, milliseconds(0)), std::logic_error);
  EXPECT_THROW(handOut.Delivered(0), std::logic_error);
  EXPECT_TRUE(handOut.WaitDone(1, milliseconds(0)));
  handOut.Delivered(1);
  EXPECT_FALSE(handOut.WaitDone(2, milliseconds(1)));
  EXPECT_THROW(handOut.Delivered(2), std::logic_error);
  handOut.Done(2);
  EXPECT_TRUE(handOut.WaitDone(2, milliseconds(0)));
  handOut.Delivered(2);
  EXPECT_THROW(handOut.WaitDone(3, milliseconds(0)), std::logic_error);  // none is left
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
