#include "platform/sjis.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

size_t CharLengthAt(std::string_view text, size_t pos, LeadByteRange range) {
  if (pos + 1 < text.size() && IsLeadByte(static_cast<uint8_t>(text[pos]), range)) {
    return 2;
  }
  return 1;
}

uint16_t CharCodeAt(std::string_view text, size_t pos, LeadByteRange range) {
  const auto lead = static_cast<uint8_t>(text[pos]);
  if (CharLengthAt(text, pos, range) == 2) {
    return CharCode(lead, static_cast<uint8_t>(text[pos + 1]));
  }
  return lead;
}

size_t FindDbcs(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty()) {
    return from <= text.size() ? from : std::string_view::npos;
  }
  for (size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) {
    if (pos >= from && text.substr(pos, needle.size()) == needle) {
      return pos;
    }
  }
  return std::string_view::npos;
}

std::vector<std::string> SplitDbcs(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t pos = 0; pos < text.size(); pos += CharLengthAt(text, pos)) {
    if (text[pos] == separator) {
      parts.emplace_back(text.substr(start, pos - start));
      start = pos + 1;
    }
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

namespace {

// One iconv conversion descriptor for the duration of a call.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

std::optional<std::string> Convert(const char* to, const char* from, std::string_view input) {
  IconvHandle cd(to, from);
  if (!cd.valid()) return std::nullopt;
  std::string in(input);
  std::string out(input.size() * 4 + 16, '\0');
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  if (iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
    return std::nullopt;
  }
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

std::optional<std::string> SjisToUtf8(std::string_view sjis) {
  return Convert("UTF-8", "CP932", sjis);
}

std::optional<SjisString> Utf8ToSjis(std::string_view utf8) {
  return Convert("CP932", "UTF-8", utf8);
}

}  // namespace platform
