#pragma once
// The bytes of one data message to another program's window and of its
// answer, as they travel over a local socket (see copy_data_sender.h):
//
//   message: int32 tag, uint32 n, then n bytes of data
//   answer:  int32 result
//
// Every integer is four bytes, least significant byte first. The data are
// taken as they are; a text is sent with its terminating zero byte counted
// in n.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace win32 {

// The message bytes for `tag` and `data`. `data` must be shorter than 4 GiB.
std::string EncodeCopyDataFrame(int32_t tag, std::string_view data);

// The answer bytes for `result`.
std::string EncodeCopyDataReply(int32_t result);

// The result of an answer, once its four bytes have arrived; nullopt while
// fewer bytes are there. Bytes after the fourth are ignored.
std::optional<int32_t> DecodeCopyDataReply(std::string_view bytes);

}  // namespace win32
