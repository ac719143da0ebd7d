#include "platform/jis_code.h"

namespace platform {

namespace {

constexpr int kLowLeadBase = 0x70;   // leads 0x81-0x9F
constexpr int kHighLeadBase = 0xB0;  // leads 0xE0-0xEF
constexpr int kLastLowLead = 0x9F;
constexpr int kSecondRowTrail = 0x9F;  // trails from here belong to the even row
constexpr int kEvenRowOffset = 0x7E;
constexpr int kTrailGap = 0x80;  // 0x7F is no trail byte

}  // namespace

uint16_t ShiftJisToJis(uint16_t code) {
  if (code < 0x100) return code;
  int lead = code >> 8;
  int trail = code & 0xFF;
  // Each lead byte covers two JIS rows: trails below 0x9F the odd one.
  lead = (lead - (lead <= kLastLowLead ? kLowLeadBase : kHighLeadBase)) * 2 - 1;
  if (trail >= kSecondRowTrail) {
    ++lead;
    trail -= kEvenRowOffset;
  } else {
    trail -= trail >= kTrailGap ? 0x20 : 0x1F;
  }
  return static_cast<uint16_t>(lead * 256 + trail);
}

}  // namespace platform
