// Control bars: windows along an edge of their frame (toolbars, the
// status bar) that show the state of commands. A bar keeps its bar
// style (CBRS_*) apart from its window style. When the application is
// idle each bar is sent WM_IDLEUPDATECMDUI and asks the command target
// of its parent, through CCmdUI, how each of its items should look.
//
// A bar is docked at one of the frame's four edges; a bar at the left or
// right edge lays its items out top to bottom. Bars do not float.
// RepositionBars puts the visible bars of a frame along their edges, in
// the order they were made, and gives what is left of the client area to
// the pane window. SaveBarState and LoadBarState keep which bars are
// shown and at which edge in a profile.
#pragma once

#include "framework/cstring.h"
#include "framework/framework_ids.h"
#include "framework/resource_toolbars.h"
#include "framework/wnd.h"

namespace framework {

using platform::SIZE;

// The bar-style bits; the rest of a style given to Create is the
// window's.
inline constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
inline constexpr DWORD CBRS_TOOLTIPS = 0x0010;
inline constexpr DWORD CBRS_FLYBY = 0x0020;
inline constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
inline constexpr DWORD CBRS_BORDER_TOP = 0x0200;
inline constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
inline constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
inline constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
inline constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
inline constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
inline constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
inline constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
inline constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
inline constexpr DWORD CBRS_GRIPPER = 0x00400000;
inline constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
inline constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
inline constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
inline constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;
inline constexpr DWORD CBRS_ALL = 0x0040FFFF;

// The ids of the frame's own children.
inline constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
inline constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;

// Sent to each bar when the application is idle; wParam non-zero: a
// command without a handler is shown disabled.
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;

class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)

 public:
  DWORD GetBarStyle() const { return m_dwStyle; }
  // A side edge in `style` is not taken by a bar that cannot be
  // vertical: it keeps the edge it had.
  void SetBarStyle(DWORD style);
  // The edge the bar is docked at: one CBRS_ALIGN_* bit.
  DWORD GetEdge() const;
  bool IsAtBottom() const { return GetEdge() == CBRS_ALIGN_BOTTOM; }
  // At the left or the right edge.
  bool IsVertical() const { return (GetEdge() & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) != 0; }
  // Moves the bar to `edge` (one CBRS_ALIGN_* bit) with the border on
  // its inner side; false, and the bar stays, for an edge it cannot take.
  bool SetEdge(DWORD edge);
  // A bar whose items only go left to right keeps off the side edges.
  virtual bool CanBeVertical() const { return true; }

  // The edges (CBRS_ALIGN_* bits) the frame may dock the bar at.
  void EnableDocking(DWORD dockStyle) { m_dwDockStyle = dockStyle & CBRS_ALIGN_ANY; }
  DWORD GetDockingStyle() const { return m_dwDockStyle; }

  // The bar's size when it spans `length` pixels of its edge: the
  // frame's width at the top or bottom, its height at a side.
  virtual SIZE CalcFixedLayout(int32_t length, bool horizontal) const = 0;
  // Asks `target` for the look of each of the bar's commands.
  virtual void OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) = 0;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Creates the window with the window bits of `style`, keeping the bar
  // bits.
  bool CreateBar(const char* windowName, DWORD style, CWnd* parent, UINT id);

  DWORD m_dwStyle = 0;
  DWORD m_dwDockStyle = 0;
};

// Places the visible bars among `parent`'s children, in the order they
// were made, along their edges, each taking its room from what the bars
// before it left, and moves the child
// `leftOverId` (if there is one) into what remains. Answers what remains.
RECT RepositionBars(CWnd* parent, UINT leftOverId = AFX_IDW_PANE_FIRST);
// Shows or hides the bar and places its frame's bars again.
void ShowControlBar(CControlBar* bar, bool show);
// Sends WM_IDLEUPDATECMDUI to each of the frame's bars; the application
// calls it when idle.
void UpdateBarsWhenIdle(CWnd* frame, bool disableIfNoHandler = true);

// The profile the bar state is kept in: strings by section and entry.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // `defaultValue` when the entry is not there.
  virtual CString GetProfileString(const char* section, const char* entry,
                                   const char* defaultValue) = 0;
  virtual bool WriteProfileString(const char* section, const char* entry, const char* value) = 0;
};

// Each bar of the frame is one entry of section `profileName`, named
// "Bar" and its control id in decimal, whose value is "shown" or
// "hidden", a comma, and "top", "bottom", "left" or "right".
bool SaveBarState(CWnd* frame, ProfileStore& profile, const char* profileName);
// A bar without an entry, with one that does not read, or with an edge
// it cannot take, stays as it is. The bars are placed again.
void LoadBarState(CWnd* frame, ProfileStore& profile, const char* profileName);

}  // namespace framework
