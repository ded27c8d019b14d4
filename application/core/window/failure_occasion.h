#pragma once
// The failures told to the user on one occasion: one screening run, or the
// close of the program. A failure that comes back on the same occasion (the
// code table saved again at the run's end, the settings file written by a
// second window at the close) is not told again; a later occasion tells it
// anew. Outside an occasion every failure is told. Texts are the widgets'
// UTF-16.

#include <set>
#include <string>
#include <string_view>

class FailureOccasion {
 public:
  // An occasion begins: nothing told on it yet.
  void Begin();
  // The occasion is over.
  void End();

  // True when `failure` is to be told now: outside an occasion, or the first
  // time on the one under way.
  bool FirstTime(std::u16string_view failure);

 private:
  bool open_ = false;
  std::set<std::u16string, std::less<>> told_;
};
