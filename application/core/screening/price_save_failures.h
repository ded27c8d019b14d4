#pragma once
// The price files a screening run could not save, each once, in the order
// they first failed, and the one message that tells the user of them when
// the run has ended: the status texts that named them are soon replaced, and
// those codes go on with the prices they had.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class PriceSaveFailures {
 public:
  // The number of files a summary names; the rest are counted.
  static constexpr size_t kNamedFiles = 5;

  // `message` ("ファイル "<file>" を保存できません: <reason>", code page 932)
  // for the price file of `code`; a code already noted keeps its first one.
  void Add(const std::string& code, std::string message);
  bool Empty() const { return failures_.empty(); }
  size_t Count() const { return failures_.size(); }

  // "" when nothing failed; else how many files failed and what that means,
  // the messages of the first kNamedFiles files and how many more there were,
  // one to a line.
  std::string Summary() const;

 private:
  std::vector<std::pair<std::string, std::string>> failures_;  // code, message
};
