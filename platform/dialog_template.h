// Dialog boxes declared in code: a template is a table of its controls,
// each row one control, and the row order is the controls' Z order and
// tab order. Sizes and positions are in dialog units: a quarter of the
// dialog font's average character width across, an eighth of its height
// down. Texts are written in UTF-8 and converted to CP932 once, when the
// template is registered.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/edit_control.h"
#include "platform/up_down.h"
#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

// The id of a control nothing refers to (a plain label).
inline constexpr int32_t IDC_STATIC = -1;

// A dialog's own style bits: its font comes from the template.
inline constexpr DWORD DS_SETFONT = 0x40;
inline constexpr DWORD DS_MODALFRAME = 0x80;

struct DialogControlTemplate {
  int32_t id = IDC_STATIC;
  const char* className = "";
  // The window style (WS_CHILD and WS_VISIBLE are added) with the class's own bits.
  DWORD style = 0;
  const char* textUtf8 = "";
  int16_t x = 0;
  int16_t y = 0;
  int16_t cx = 0;
  int16_t cy = 0;
};

struct DialogTemplate {
  int32_t id = 0;
  const char* captionUtf8 = "";
  int16_t cx = 0;
  int16_t cy = 0;
  // The face's name in UTF-8; empty for the system's dialog face.
  const char* faceUtf8 = "";
  int32_t points = kDefaultDialogPoints;
  std::vector<DialogControlTemplate> controls;

  static constexpr int32_t kDefaultDialogPoints = 9;
};

// A template as the dialog manager uses it, its texts in CP932.
struct LoadedControl {
  int32_t id = IDC_STATIC;
  std::string className;
  DWORD style = 0;
  std::string text;
  RECT units;
};

struct LoadedDialog {
  int32_t id = 0;
  std::string caption;
  SIZE units;
  std::string face;
  int32_t points = DialogTemplate::kDefaultDialogPoints;
  std::vector<LoadedControl> controls;
};

// Registers the template under its id, replacing one of the same id;
// false when a text is not CP932-representable.
bool RegisterDialogTemplate(const DialogTemplate& dialog);
// nullptr for an id never registered. Held by a dialog while it is
// shown, so that registering the id again changes only later dialogs.
std::shared_ptr<const LoadedDialog> FindDialogTemplate(int32_t id);

// What is wrong with a template, one sentence a fault; empty when sound:
// control ids unique (IDC_STATIC aside), each up-down control right
// after an edit (its buddy), each group of auto radio buttons opened by
// WS_GROUP and closed by the next control's WS_GROUP, exactly one default
// push button.
std::vector<std::string> CheckDialogTemplate(const DialogTemplate& dialog);

}  // namespace platform
