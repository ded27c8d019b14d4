#include "win32/copy_data_frame.h"

namespace win32 {

namespace {

void AppendLittleEndian(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

std::string EncodeCopyDataFrame(int32_t tag, std::string_view data) {
  std::string frame;
  frame.reserve(8 + data.size());
  AppendLittleEndian(frame, static_cast<uint32_t>(tag));
  AppendLittleEndian(frame, static_cast<uint32_t>(data.size()));
  frame += data;
  return frame;
}

std::string EncodeCopyDataReply(int32_t result) {
  std::string reply;
  AppendLittleEndian(reply, static_cast<uint32_t>(result));
  return reply;
}

std::optional<int32_t> DecodeCopyDataReply(std::string_view bytes) {
  if (bytes.size() < 4) return std::nullopt;
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
  return static_cast<int32_t>(value);
}

}  // namespace win32
