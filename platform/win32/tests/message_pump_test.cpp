#include "win32/message_pump.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>

namespace {

TEST(MessagePumpTest, RunsTheEventsPendingForTheThread) {
  int argc = 1;
  char name[] = "message_pump_test";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);

  QObject receiver;
  int calls = 0;
  QMetaObject::invokeMethod(
      &receiver, [&calls] { ++calls; }, Qt::QueuedConnection);
  QMetaObject::invokeMethod(
      &receiver, [&calls] { ++calls; }, Qt::QueuedConnection);
  ASSERT_EQ(calls, 0);

  win32::ProcessPendingMessages();
  EXPECT_EQ(calls, 2);

  win32::ProcessPendingMessages();  // nothing left
  EXPECT_EQ(calls, 2);
}

TEST(MessagePumpTest, DoesNothingWithoutAnApplication) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  QObject receiver;
  int calls = 0;
  QMetaObject::invokeMethod(
      &receiver, [&calls] { ++calls; }, Qt::QueuedConnection);

  win32::ProcessPendingMessages();
  EXPECT_EQ(calls, 0);
}

}  // namespace
