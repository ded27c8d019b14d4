#include "main/idle_task.h"

IdleTaskSlot::IdleTaskSlot(QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, &IdleTaskSlot::RunPending);
}

void IdleTaskSlot::Arm(int32_t code) {
  code_ = code;
  timer_.start();
}

void IdleTaskSlot::RunPending() {
  const int32_t code = code_;
  code_ = 0;
  if (code != 0) emit run(code);
}
