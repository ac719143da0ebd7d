#include "platform/dialog_template.h"

#include <cctype>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>

#include "platform/button.h"
#include "platform/sjis.h"
#include "platform/window.h"

namespace platform {

namespace {

class TemplateStore {
 public:
  void Put(LoadedDialog dialog) {
    std::lock_guard lock(mutex_);
    const int32_t id = dialog.id;
    dialogs_[id] = std::make_shared<const LoadedDialog>(std::move(dialog));
  }
  std::shared_ptr<const LoadedDialog> Find(int32_t id) {
    std::lock_guard lock(mutex_);
    const auto it = dialogs_.find(id);
    return it == dialogs_.end() ? nullptr : it->second;
  }

 private:
  std::mutex mutex_;
  std::map<int32_t, std::shared_ptr<const LoadedDialog>> dialogs_;
};

TemplateStore& Store() {
  static TemplateStore store;
  return store;
}

bool IsClass(const DialogControlTemplate& control, std::string_view name) {
  std::string_view actual = control.className;
  if (actual.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(actual[i])) !=
        std::tolower(static_cast<unsigned char>(name[i]))) {
      return false;
    }
  }
  return true;
}

bool IsButtonOfKind(const DialogControlTemplate& control, DWORD kind) {
  return IsClass(control, kButtonClass) && ButtonKindOf(control.style) == kind;
}

bool OpensGroup(const DialogControlTemplate& control) { return (control.style & WS_GROUP) != 0; }

std::string Named(const DialogControlTemplate& control) {
  return "control " + std::to_string(control.id);
}

void CheckIds(const DialogTemplate& dialog, std::vector<std::string>* faults) {
  std::set<int32_t> seen;
  for (const DialogControlTemplate& control : dialog.controls) {
    if (control.id == IDC_STATIC) continue;
    if (!seen.insert(control.id).second)
      faults->push_back("id " + std::to_string(control.id) + " is used twice");
  }
}

void CheckUpDowns(const DialogTemplate& dialog, std::vector<std::string>* faults) {
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    if (!IsClass(dialog.controls[i], kUpDownClass)) continue;
    if (i == 0 || !IsClass(dialog.controls[i - 1], kEditClass))
      faults->push_back(Named(dialog.controls[i]) + " (up-down) does not follow an edit");
  }
}

void CheckRadioGroups(const DialogTemplate& dialog, std::vector<std::string>* faults) {
  const std::vector<DialogControlTemplate>& controls = dialog.controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    const bool radio = IsButtonOfKind(controls[i], BS_AUTORADIOBUTTON);
    const bool afterRadio = i > 0 && IsButtonOfKind(controls[i - 1], BS_AUTORADIOBUTTON);
    if (radio && !afterRadio && !OpensGroup(controls[i]))
      faults->push_back(Named(controls[i]) + " opens a radio group without WS_GROUP");
    if (!radio && afterRadio && !OpensGroup(controls[i]))
      faults->push_back(Named(controls[i]) + " closes a radio group without WS_GROUP");
  }
}

void CheckDefaultButton(const DialogTemplate& dialog, std::vector<std::string>* faults) {
  size_t defaults = 0;
  for (const DialogControlTemplate& control : dialog.controls)
    if (IsButtonOfKind(control, BS_DEFPUSHBUTTON)) ++defaults;
  if (defaults != 1)
    faults->push_back(std::to_string(defaults) + " default push buttons instead of one");
}

std::optional<std::string> Cp932(const char* utf8) {
  return Utf8ToSjis(utf8 != nullptr ? utf8 : "");
}

}  // namespace

bool RegisterDialogTemplate(const DialogTemplate& dialog) {
  LoadedDialog loaded;
  loaded.id = dialog.id;
  loaded.units = SIZE{dialog.cx, dialog.cy};
  loaded.points = dialog.points;
  std::optional<std::string> caption = Cp932(dialog.captionUtf8);
  std::optional<std::string> face = Cp932(dialog.faceUtf8);
  if (!caption || !face) return false;
  loaded.caption = std::move(*caption);
  loaded.face = std::move(*face);
  for (const DialogControlTemplate& control : dialog.controls) {
    std::optional<std::string> text = Cp932(control.textUtf8);
    if (!text) return false;
    loaded.controls.push_back(
        LoadedControl{control.id, control.className, control.style, std::move(*text),
                      RECT{control.x, control.y, control.x + control.cx, control.y + control.cy}});
  }
  Store().Put(std::move(loaded));
  return true;
}

std::shared_ptr<const LoadedDialog> FindDialogTemplate(int32_t id) { return Store().Find(id); }

std::vector<std::string> CheckDialogTemplate(const DialogTemplate& dialog) {
  std::vector<std::string> faults;
  CheckIds(dialog, &faults);
  CheckUpDowns(dialog, &faults);
  CheckRadioGroups(dialog, &faults);
  CheckDefaultButton(dialog, &faults);
  return faults;
}

}  // namespace platform
