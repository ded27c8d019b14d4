#include "library_fixture.h"

#include <iconv.h>

#include <cstring>
#include <stdexcept>

#include "hosts.h"
#include "library_state.h"

namespace ticvane::test {

std::string Encoded(std::string_view utf8, const char* encoding) {
  iconv_t cd = iconv_open(encoding, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
  std::string in(utf8);
  std::string out(in.size() * 3 + 4, '\0');
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) throw std::runtime_error("iconv: " + in);
  out.resize(out.size() - outLeft);
  return out;
}

vcl::TStringList PageOf(const Lines& utf8Lines) {
  vcl::TStringList page;
  for (const std::string& line : utf8Lines) page.Add(Cp932(line));
  return page;
}

Lines Join(std::initializer_list<Lines> parts) {
  Lines lines;
  for (const Lines& part : parts) lines.insert(lines.end(), part.begin(), part.end());
  return lines;
}

void SelectSource(int32_t source, int cursor) {
  State().currentSource = source;
  State().pageCursor = cursor;
}

ShortText Short(std::string_view bytes) {
  ShortText text{};
  text.length = static_cast<uint8_t>(std::min<size_t>(bytes.size(), 255));
  std::memcpy(text.bytes, bytes.data(), text.length);
  return text;
}

std::string FromShort(const ShortText& text) { return std::string(text.bytes, text.length); }

LibraryFixture::LibraryFixture(int timeoutSeconds, uint8_t pumpMessages, int32_t longDateFormat) {
  const std::string target = ":80:127.0.0.1:" + std::to_string(server_.Port());
  testing::SetConnectTo({std::string(hosts::kSourceADetail) + target,
                         std::string(hosts::kSourceAHistory) + target,
                         std::string(hosts::kSourceB) + target});
  testing::SetToday([] { return CalendarDate{2009, 9, 24}; });
  testing::SetPumpObserver([this] { ++pumps_; });
  TicvaneInit(pumpMessages, longDateFormat, timeoutSeconds);
}

LibraryFixture::~LibraryFixture() {
  TicvaneEnd();
  testing::SetPumpObserver({});
  testing::SetToday({});
  testing::SetConnectTo({});
}

std::vector<PastDataRecord> Records(const vcl::TList& list) {
  std::vector<PastDataRecord> out;
  for (int i = 0; i < list.Count(); ++i) {
    out.push_back(*static_cast<const PastDataRecord*>(list.Get(i)));
  }
  return out;
}

}  // namespace ticvane::test
