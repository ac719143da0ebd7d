// The format commands of the 3500s, and the display (4000s) and spoken
// feedback (5000s) dispatchers.
#include <algorithm>

#include "engine/command_param.h"
#include "engine/wp_ctrl.h"
#include "model/units.h"

namespace {

// Characters to twips and back; reading rounds up so that an indent that
// is not on the pitch is never shown smaller than it is.
int32_t CharsToTwips(uint16_t chars, int32_t pitch) { return int32_t{chars} * pitch; }
uint16_t TwipsToChars(int32_t twips, int32_t pitch) {
  if (pitch <= 0 || twips <= 0) return 0;
  return static_cast<uint16_t>((twips + pitch - 1) / pitch);
}

}  // namespace

ParaFormat CVedWpCtrl::ToParaFormat(const ParagraphLayoutRecord& record) const {
  const ResolutionPair dpi{appliedStyle_.resolutionX, appliedStyle_.resolutionY};
  const int32_t pitch = appliedStyle_.charPitch;
  ParaFormat format;
  format.mask = record.mask;
  format.alignment = static_cast<uint8_t>(record.alignment);
  format.lineGap = TenthMmToTwipsY(dpi, record.lineGap);
  format.paragraphGap = TenthMmToTwipsY(dpi, record.paragraphGap);
  format.firstIndent = CharsToTwips(record.firstIndent, pitch);
  format.leftIndent = CharsToTwips(record.leftIndent, pitch);
  format.rightIndent = CharsToTwips(record.rightIndent, pitch);
  return format;
}

ParagraphLayoutRecord CVedWpCtrl::ToLayoutRecord(const ParaFormat& format) const {
  const ResolutionPair dpi{appliedStyle_.resolutionX, appliedStyle_.resolutionY};
  const int32_t pitch = appliedStyle_.charPitch;
  ParagraphLayoutRecord record;
  record.mask = format.mask;
  record.alignment = format.alignment;
  record.lineGap = TwipsToTenthMmY(dpi, format.lineGap);
  record.paragraphGap = TwipsToTenthMmY(dpi, format.paragraphGap);
  record.firstIndent = TwipsToChars(format.firstIndent, pitch);
  record.leftIndent = TwipsToChars(format.leftIndent, pitch);
  record.rightIndent = TwipsToChars(format.rightIndent, pitch);
  return record;
}

int CVedWpCtrl::HandleFormatCommand(int code, intptr_t arg, intptr_t value) {
  const auto direction = static_cast<int>(arg);
  ChangeRecord change;
  int changed = 0;
  switch (code) {
    case WPC_SET_DEFAULT_CHARFORMAT:
      root_->SetDefaultCharFormat(As<const CharFormat>(value));
      return 0;
    case WPC_GET_DEFAULT_CHARFORMAT:
      if (auto* format = As<CharFormat>(value)) root_->CDocObjContainer::GetCharFormat(format);
      return 0;
    case WPC_GET_CHAR_FONT: {
      const auto* font = As<const int32_t>(value);
      return font != nullptr ? root_->GetCharFontValue(*font) : 0;
    }
    case WPC_SET_CHAR_FONT:
      changed = root_->SetCharFont(direction, As<const CharFormat>(value), &change);
      break;
    case WPC_GET_CHAR_FONT_RECORD:
      return root_->GetCharFont(direction, As<CharFormat>(value));
    case WPC_SET_CHAR_DECORATION:
      changed = root_->SetCharDecoration(direction, As<const CharDecoration>(value), &change);
      break;
    case WPC_GET_CHAR_DECORATION:
      return root_->GetCharDecoration(direction, As<CharDecoration>(value));
    case WPC_SET_CHAR_DESIGN:
      changed = root_->SetCharDesign(direction, As<const CharDesign>(value), &change);
      break;
    case WPC_GET_CHAR_DESIGN:
      return root_->GetCharDesign(direction, As<CharDesign>(value));
    case WPC_CLEAR_CHAR_ATTRIBUTES:
      changed = root_->SetCharFormat(CDocBunsObj::kCharKindAll, direction,
                                     As<const CDocBunsObj::CharAttributes>(value), &change);
      break;
    case WPC_SET_PARAGRAPH: {
      const auto* record = As<const ParagraphLayoutRecord>(value);
      if (record == nullptr) return 0;
      const ParaFormat format = ToParaFormat(*record);
      changed = root_->SetParagraphLayout(direction, &format, &change);
      break;
    }
    case WPC_GET_PARAGRAPH: {
      auto* record = As<ParagraphLayoutRecord>(value);
      if (record == nullptr) return 0;
      ParaFormat format;
      const int answer = root_->GetParagraphLayout(direction, &format);
      if (answer != 0) *record = ToLayoutRecord(format);
      return answer;
    }
    case WPC_STEP_INDENT: {
      const int selector = static_cast<int>((value >> 16) & 0xFFFF);
      const auto steps = static_cast<int16_t>(value & 0xFFFF);
      // The indent keys hear the indent they reached; the deletion echo
      // belongs to a forward delete that steps an indent back.
      constexpr int kSpeakAsIndent = 0;
      changed = root_->StepIndent(selector, direction, steps * appliedStyle_.charPitch, &change,
                                  kSpeakAsIndent);
      break;
    }
    case WPC_GET_CARET_CHARFORMAT:
      return root_->GetCursorFormat(direction, As<CharFormat>(value));
    default:
      return 0;
  }
  FinishEdit(change, changed, direction);
  return 0;
}

int CVedWpCtrl::FeedbackCommand(int code, int arg, void* record) {
  std::lock_guard lock(commandLock_);
  constexpr int kDefaultPlayFlags = 2;
  switch (code) {
    case WPC_SET_SPEECH_OPTIONS:
      if (record != nullptr) root_->SetSpeechOptions(*static_cast<const SpeechOptions*>(record));
      return 0;
    case WPC_GET_SPEECH_OPTIONS:
      if (record != nullptr) root_->GetSpeechOptions(*static_cast<SpeechOptions*>(record));
      return 0;
    case WPC_SET_SPEECH:
      return root_->SetSpeechEnabled(arg);
    case WPC_SET_SOUND:
      return root_->SetSoundEnabled(arg);
    case WPC_SPEAK_UNIT: {
      const int wasOn = root_->SetSpeechEnabled(1);
      const int answer = root_->SpeakUnitText(arg, 1);
      root_->SetSpeechEnabled(wasOn);
      return answer;
    }
    case WPC_SPEAK_CARET_CHAR: {
      const int wasOn = root_->SetSpeechEnabled(1);
      const int answer = root_->SpeakCaretChar(arg, 1);
      root_->SetSpeechEnabled(wasOn);
      return answer < 0 ? 1 : answer;
    }
    case WPC_PLAY_CUE: {
      const auto flags = reinterpret_cast<intptr_t>(record);
      root_->PlayCue(arg, 1, flags != 0 ? static_cast<int>(flags) : kDefaultPlayFlags);
      return 0;
    }
    default:
      return 0;
  }
}
