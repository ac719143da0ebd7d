#include "platform/profile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/sjis.h"

namespace platform {
namespace {

constexpr mode_t kProfileMode = 0644;
constexpr char kWindowsLineEnd[] = "\r\n";
constexpr int kDecimalBase = 10;

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }

// Trims blanks at both ends, walking forward so that the end found is
// always a character boundary.
std::string_view Trim(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  size_t end = start;
  for (size_t at = start; at < text.size();) {
    const size_t length = CharLengthAt(text, at);
    if (length > 1 || !IsBlank(text[at])) end = at + length;
    at += length;
  }
  return text.substr(start, end - start);
}

// One line of a profile, read for what it is.
struct Line {
  enum class Kind { kOther, kSection, kEntry };

  std::string text;  // without its line end
  Kind kind = Kind::kOther;
  std::string_view name;   // the section's or the key's
  std::string_view value;  // an entry's

  explicit Line(std::string raw) : text(std::move(raw)) { Classify(); }
  Line(const Line& other) : Line(other.text) {}
  Line& operator=(const Line& other) {
    text = other.text;
    Classify();
    return *this;
  }

  void Classify() {
    const std::string_view body = Trim(text);
    kind = Kind::kOther;
    if (body.empty() || body.front() == ';') return;
    if (body.front() == '[') {
      const size_t close = FindDbcs(body, "]", 1);
      kind = Kind::kSection;
      name = Trim(body.substr(1, close == std::string_view::npos ? body.size() - 1 : close - 1));
      return;
    }
    const size_t equals = FindDbcs(body, "=");
    if (equals == std::string_view::npos) return;
    kind = Kind::kEntry;
    name = Trim(body.substr(0, equals));
    value = Trim(body.substr(equals + 1));
  }
};

// A profile file as lines, with the line end it uses.
class Profile {
 public:
  explicit Profile(std::string hostPath) : path_(std::move(hostPath)) {
    std::optional<std::string> text = ReadWholeFile(path_);
    if (!text) return;
    const size_t firstEnd = text->find('\n');
    if (firstEnd != std::string::npos && (firstEnd == 0 || (*text)[firstEnd - 1] != '\r'))
      lineEnd_ = "\n";
    std::string_view rest = *text;
    while (!rest.empty()) {
      const size_t end = rest.find('\n');
      std::string_view line = rest.substr(0, end);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.emplace_back(std::string(line));
    }
  }

  // The first section of that name: its heading's index and the end of
  // its lines; nullopt when there is none.
  std::optional<std::pair<size_t, size_t>> Section(std::string_view asked) const {
    const std::string_view name = Trim(asked);
    for (size_t at = 0; at < lines_.size(); ++at) {
      if (lines_[at].kind != Line::Kind::kSection || !SameRegistryName(lines_[at].name, name))
        continue;
      size_t end = at + 1;
      while (end < lines_.size() && lines_[end].kind != Line::Kind::kSection) ++end;
      return std::pair{at, end};
    }
    return std::nullopt;
  }

  std::optional<size_t> Entry(std::string_view section, std::string_view key) const {
    const auto range = Section(section);
    if (!range) return std::nullopt;
    for (size_t at = range->first + 1; at < range->second; ++at)
      if (lines_[at].kind == Line::Kind::kEntry && SameRegistryName(lines_[at].name, Trim(key)))
        return at;
    return std::nullopt;
  }

  std::vector<std::string> SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_)
      if (line.kind == Line::Kind::kSection) names.emplace_back(line.name);
    return names;
  }

  std::vector<std::string> KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    if (const auto range = Section(section))
      for (size_t at = range->first + 1; at < range->second; ++at)
        if (lines_[at].kind == Line::Kind::kEntry) names.emplace_back(lines_[at].name);
    return names;
  }

  const Line& At(size_t index) const { return lines_[index]; }

  void Set(std::string_view section, std::string_view key, std::string_view value) {
    if (const std::optional<size_t> entry = Entry(section, key)) {
      lines_[*entry] = Line(std::string(lines_[*entry].name) + '=' + std::string(value));
      return;
    }
    std::optional<std::pair<size_t, size_t>> range = Section(section);
    if (!range) {
      lines_.emplace_back('[' + std::string(section) + ']');
      range = std::pair{lines_.size() - 1, lines_.size()};
    }
    // After the section's last line that is not blank.
    size_t insert = range->second;
    while (insert > range->first + 1 && Trim(lines_[insert - 1].text).empty()) --insert;
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(insert),
                  Line(std::string(key) + '=' + std::string(value)));
  }

  bool DeleteEntry(std::string_view section, std::string_view key) {
    const std::optional<size_t> entry = Entry(section, key);
    if (!entry) return false;
    lines_.erase(lines_.begin() + static_cast<ptrdiff_t>(*entry));
    return true;
  }

  bool DeleteSection(std::string_view section) {
    bool deleted = false;
    while (const auto range = Section(section)) {
      lines_.erase(lines_.begin() + static_cast<ptrdiff_t>(range->first),
                   lines_.begin() + static_cast<ptrdiff_t>(range->second));
      deleted = true;
    }
    return deleted;
  }

  bool Save() const {
    std::string text;
    for (const Line& line : lines_) text += line.text + lineEnd_;
    return WriteFileAtomically(path_, text, kProfileMode);
  }

 private:
  std::string path_;
  std::vector<Line> lines_;
  std::string lineEnd_ = kWindowsLineEnd;
};

// The file a profile name stands for: a system path, drive and all.
std::string ProfileHostPath(const char* fileName) { return HostPath(fileName).value_or(fileName); }

// Cuts at a character boundary to at most `limit` bytes.
std::string_view CutToFit(std::string_view text, size_t limit) {
  size_t end = 0;
  while (end < text.size() && end + CharLengthAt(text, end) <= limit)
    end += CharLengthAt(text, end);
  return text.substr(0, end);
}

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

DWORD CopyString(std::string_view text, char* buffer, DWORD size) {
  const std::string_view fitted = CutToFit(text, size - 1);
  std::memcpy(buffer, fitted.data(), fitted.size());
  buffer[fitted.size()] = '\0';
  return static_cast<DWORD>(fitted.size());
}

// Names one after another, each with its zero, and one more zero at the
// end; a list that does not fit is cut and answers size - 2.
DWORD CopyList(const std::vector<std::string>& names, char* buffer, DWORD size) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

std::optional<std::string> ReadValue(const char* section, const char* key, const char* fileName) {
  if (section == nullptr || key == nullptr || fileName == nullptr) return std::nullopt;
  const Profile profile(ProfileHostPath(fileName));
  const std::optional<size_t> entry = profile.Entry(section, key);
  if (!entry) return std::nullopt;
  return std::string(Unquoted(profile.At(*entry).value));
}

int ParseInt(std::string_view text) {
  size_t at = 0;
  const bool negative = at < text.size() && text[at] == '-';
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  long long number = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    number = std::min<long long>(number * kDecimalBase + (text[at] - '0'), LLONG_MAX / 20);
  number = negative ? -number : number;
  return static_cast<int>(std::clamp<long long>(number, INT_MIN, INT_MAX));
}

}  // namespace

DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, DWORD size, const char* fileName) {
  if (buffer == nullptr || size == 0) return 0;
  if (fileName == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  if (section == nullptr)
    return CopyList(Profile(ProfileHostPath(fileName)).SectionNames(), buffer, size);
  if (key == nullptr)
    return CopyList(Profile(ProfileHostPath(fileName)).KeyNames(section), buffer, size);
  if (std::optional<std::string> value = ReadValue(section, key, fileName))
    return CopyString(*value, buffer, size);
  return CopyString(Trim(defaultValue != nullptr ? defaultValue : ""), buffer, size);
}

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                         const char* fileName) {
  const std::optional<std::string> value = ReadValue(section, key, fileName);
  if (!value || value->empty()) return defaultValue;
  return ParseInt(*value);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName) {
  if (section == nullptr || fileName == nullptr) return false;
  Profile profile(ProfileHostPath(fileName));
  if (key == nullptr) return !profile.DeleteSection(section) || profile.Save();
  if (value == nullptr) return !profile.DeleteEntry(section, key) || profile.Save();
  profile.Set(Trim(section), Trim(key), value);
  return profile.Save();
}

}  // namespace platform
