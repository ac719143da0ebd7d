// The page style commands: the reference DC, the pending and the applied
// style, and handing the applied style to the parts that lay out and draw
// pages.
#include "engine/wp_ctrl.h"

PageFormat CVedWpCtrl::BuildFormat(const DocStyle& style) const {
  PageFormat format;
  BuildPageFormat(style, ReferenceDC(), format);
  return format;
}

void CVedWpCtrl::DistributeStyle() {
  root_->SetDrawOffset(appliedStyle_.textAreaTwips.left, appliedStyle_.textAreaTwips.top);
  pageTable_->SetPageMetrics(appliedStyle_, appliedStyle_.charPitch);
  pageNumber_->SetSettings(appliedStyle_.pageNumbers);
  pageNumberDevice_.referenceDC = ReferenceDC();
  pageNumberDevice_.resolutionX = appliedStyle_.resolutionX;
  pageNumberDevice_.resolutionY = appliedStyle_.resolutionY;
  pageNumberDevice_.vertical = appliedStyle_.vertical;
  pageNumber_->SetDevice(pageNumberDevice_);
}

int CVedWpCtrl::CheckDocStyle(const DocStyle& style) {
  // A style without positive pitches and resolutions cannot be laid out.
  if (!IsUsableDocStyle(style)) return kFormatTooWide;
  if (root_->HasTallTableLine(nullptr, nullptr, style.textHeight) != 0) return kFormatTooWide;
  const PageFormat format = BuildFormat(style);
  return root_->CheckPageFormat(&format);
}

intptr_t CVedWpCtrl::StyleCommand(int code, void* pointer, DocStyle* style) {
  std::lock_guard lock(commandLock_);
  switch (code) {
    case WPC_SET_REFDC:
      SetReferenceDC(2, static_cast<platform::HDC>(pointer));
      return 0;
    case WPC_GET_REFDC:
      return reinterpret_cast<intptr_t>(ReferenceDC());
    case WPC_SET_DOCSTYLE:
      if (style == nullptr) return 0;
      pendingStyle_ = *style;
      pendingStyleSet_ = 1;
      return 0;
    case WPC_GET_DOCSTYLE:
      if (style != nullptr) *style = pendingStyle_;
      return 0;
    case WPC_CHECK_DOCSTYLE:
      return style != nullptr ? CheckDocStyle(*style) : 0;
    case WPC_APPLY_DOCSTYLE:
      return style != nullptr ? ApplyDocStyle(static_cast<platform::CArchive*>(pointer), *style)
                              : kWpcRefused;
    case WPC_GET_APPLIED_DOCSTYLE:
      if (style != nullptr) *style = appliedStyle_;
      return 0;
    default:
      return 0;
  }
}

void CVedWpCtrl::RepaginateAll() {
  ChangeRecord whole;
  whole.changed = 1;
  pageTable_->Repaginate(&whole);
}

int CVedWpCtrl::ApplyDocStyle(platform::CArchive* archive, const DocStyle& style) {
  // A style refused before anything changed keeps the history: the user
  // would lose undo for nothing.
  if (!IsUsableDocStyle(style)) return kWpcRefused;
  // From here the content is laid out afresh: undo records hold places on
  // pages of the old layout.
  ClearUndoLists();
  const int wasRunning = editRunning_;
  editRunning_ = 1;
  const PageFormat format = BuildFormat(style);
  const int opened = root_->OpenFromArchive(archive, &format);
  if (opened != 0) {
    appliedStyle_ = style;
    DistributeStyle();
    RepaginateAll();
    // The caret went to the document start; the location and caret
    // records the view reads must say so.
    UpdateCaretLocation(nullptr);
    root_->SetModified(1);
    Notify(WM_WPC_CONTENTLOADED, 0, 0);
  }
  editRunning_ = wasRunning;
  return opened != 0 ? kWpcOk : kWpcRefused;
}
