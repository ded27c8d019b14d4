#pragma once
// The main window's one-shot idle task: one pending job code, run once when
// the event loop next runs idle (a zero-time timer), then cleared. Arming a
// task while another is pending replaces its code, so only the last one runs.
//
// Codes: 1 after the first show of the main window, 21 when a code box of the
// screening page takes the focus.

#include <QObject>
#include <QTimer>
#include <cstdint>

inline constexpr int32_t kIdleTaskFirstShow = 1;
inline constexpr int32_t kIdleTaskCodeBoxFocus = 21;

class IdleTaskSlot : public QObject {
  Q_OBJECT
 public:
  explicit IdleTaskSlot(QObject* parent = nullptr);

  void Arm(int32_t code);
  // The pending code; 0 when none is pending.
  int32_t Pending() const { return code_; }

 signals:
  // Emitted once per armed task with its code. The code is already cleared.
  void run(int32_t code);

 private:
  void RunPending();

  int32_t code_ = 0;
  QTimer timer_;
};
