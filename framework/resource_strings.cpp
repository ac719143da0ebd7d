#include "framework/resource_strings.h"

#include <cstring>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/sjis.h"

namespace framework {

namespace {

ResourceRegistry<std::string>& Strings() {
  static ResourceRegistry<std::string> strings;
  return strings;
}

// The longest start of the text within `limit` bytes that ends at a character boundary.
size_t WholeCharactersWithin(std::string_view text, size_t limit) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t next = end + platform::CharLengthAt(text, end);
    if (next > limit) break;
    end = next;
  }
  return end;
}

}  // namespace

bool RegisterStrings(std::span<const StringResource> entries) {
  std::vector<std::pair<UINT, std::string>> converted;
  std::set<UINT> ids;
  for (const StringResource& entry : entries) {
    if (entry.text == nullptr || Strings().Contains(entry.id) || !ids.insert(entry.id).second)
      return false;
    std::optional<std::string> text = ResourceText(entry.text);
    if (!text) return false;
    converted.emplace_back(entry.id, std::move(*text));
  }
  for (auto& [id, text] : converted) Strings().Add(id, std::move(text));
  return true;
}

const std::string* FindString(UINT id) { return Strings().Find(id); }

int LoadString(UINT id, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  const std::string* text = FindString(id);
  const size_t copied =
      text == nullptr ? 0 : WholeCharactersWithin(*text, static_cast<size_t>(size) - 1);
  if (copied > 0) std::memcpy(buffer, text->data(), copied);
  buffer[copied] = '\0';
  return static_cast<int>(copied);
}

void ResetStrings() { Strings().Clear(); }

}  // namespace framework
