// The braille event module, standing in for the braille driver: it only
// reads the braille command definition file it is given and answers 0
// when it could be read, 1 when not.
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "platform/system_info.h"

namespace {

constexpr int kRead = 0;
constexpr int kUnreadable = 1;

int ReadDefinitionFile(const char* path) {
  if (path == nullptr) return kUnreadable;
  const std::optional<std::string> host = platform::HostPath(path);
  if (!host) return kUnreadable;
  std::ifstream file(*host, std::ios::binary);
  if (!file) return kUnreadable;
  const std::string contents{std::istreambuf_iterator<char>(file),
                             std::istreambuf_iterator<char>()};
  return file.bad() ? kUnreadable : kRead;
}

}  // namespace

extern "C" {

void CallEvents() {}
int SetEventBrlCommand(const char* path) { return ReadDefinitionFile(path); }
int SetEventRoundCommand(const char* path) { return ReadDefinitionFile(path); }
void TovelStatus() {}
void TovelSendCommand() {}
void TovelGetStatus() {}
void TovelSetStatus() {}

}  // extern "C"
