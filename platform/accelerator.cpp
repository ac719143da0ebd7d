#include "platform/accelerator.h"

#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/menu.h"
#include "platform/window.h"

namespace platform {

namespace {

constexpr BYTE kModifierFlags = FSHIFT | FCONTROL | FALT;
constexpr SHORT kKeyDownBit = static_cast<SHORT>(0x8000);

class AcceleratorTables {
 public:
  HACCEL Add(std::vector<ACCEL> entries) {
    std::lock_guard lock(mutex_);
    const HACCEL handle = next_++;
    tables_[handle] = std::move(entries);
    return handle;
  }
  bool Remove(HACCEL table) {
    std::lock_guard lock(mutex_);
    return tables_.erase(table) != 0;
  }
  std::optional<std::vector<ACCEL>> Find(HACCEL table) {
    std::lock_guard lock(mutex_);
    const auto it = tables_.find(table);
    if (it == tables_.end()) return std::nullopt;
    return it->second;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    tables_.clear();
  }

 private:
  std::mutex mutex_;
  HACCEL next_ = kFirstTable;
  std::unordered_map<HACCEL, std::vector<ACCEL>> tables_;

  static constexpr HACCEL kFirstTable = 0x30000000;
};

AcceleratorTables& Tables() {
  static AcceleratorTables tables;
  return tables;
}

bool Held(int vk) { return (GetKeyState(vk) & kKeyDownBit) != 0; }

BYTE HeldModifiers() {
  BYTE held = 0;
  if (Held(VK_SHIFT)) held |= FSHIFT;
  if (Held(VK_CONTROL)) held |= FCONTROL;
  if (Held(VK_MENU)) held |= FALT;
  return held;
}

bool IsKeyDown(UINT message) { return message == WM_KEYDOWN || message == WM_SYSKEYDOWN; }
bool IsCharacter(UINT message) { return message == WM_CHAR || message == WM_SYSCHAR; }

bool Matches(const ACCEL& entry, const MSG& msg, BYTE held) {
  if ((entry.fVirt & FVIRTKEY) != 0) {
    return IsKeyDown(msg.message) && entry.key == msg.wParam &&
           (entry.fVirt & kModifierFlags) == held;
  }
  if (!IsCharacter(msg.message) || entry.key != msg.wParam) return false;
  return ((entry.fVirt & FALT) != 0) == (msg.message == WM_SYSCHAR);
}

}  // namespace

HACCEL CreateAcceleratorTable(const ACCEL* entries, int count) {
  if (entries == nullptr || count <= 0) return kNoAccelerators;
  return Tables().Add(std::vector<ACCEL>(entries, entries + count));
}

bool DestroyAcceleratorTable(HACCEL table) { return Tables().Remove(table); }

int TranslateAccelerator(HWND window, HACCEL table, const MSG* msg) {
  if (msg == nullptr || !IsWindow(window)) return 0;
  if (!IsKeyDown(msg->message) && !IsCharacter(msg->message)) return 0;
  const std::optional<std::vector<ACCEL>> entries = Tables().Find(table);
  if (!entries) return 0;
  const BYTE held = HeldModifiers();
  for (const ACCEL& entry : *entries) {
    if (!Matches(entry, *msg, held)) continue;
    SendMessage(window, WM_COMMAND, MakeWParam(entry.cmd, kCommandFromAccelerator), 0);
    return 1;
  }
  return 0;
}

void ResetAccelerators() { Tables().Clear(); }

}  // namespace platform
