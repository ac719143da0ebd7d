#include "platform/window_tree.h"

#include <algorithm>
#include <cctype>

#include "platform/caller_assert.h"
#include "platform/system_classes.h"

namespace platform {

WindowTree::WindowTree() { AddSystemClasses(); }

WindowRecord* WindowTree::Find(HWND window) {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

WindowRecord* WindowTree::FindOrReport(HWND window, const char* call) {
  WindowRecord* record = Find(window);
  if (record == nullptr && window != kNoWindow) ReportMisuse(Misuse::kStaleWindow, call);
  return record;
}

WindowRecord& WindowTree::Add(WindowRecord record) {
  record.handle = nextHandle_++;
  const HWND handle = record.handle;
  WindowRecord& added = windows_.emplace(handle, std::move(record)).first->second;
  std::vector<HWND>& siblings = SiblingsOf(added);
  siblings.insert(siblings.begin(), handle);
  return added;
}

void WindowTree::Remove(HWND window) {
  WindowRecord* record = Find(window);
  if (record == nullptr) return;
  std::vector<HWND>& siblings = SiblingsOf(*record);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
  windows_.erase(window);
}

std::vector<HWND>& WindowTree::SiblingsOf(const WindowRecord& record) {
  return ChildrenOf(record.parent);
}

std::vector<HWND>& WindowTree::ChildrenOf(HWND parent) {
  if (parent == kNoWindow) return topLevel_;
  return Find(parent)->children;
}

void WindowTree::Clear() {
  windows_.clear();
  topLevel_.clear();
  classes_.clear();
  AddSystemClasses();
}

void WindowTree::AddSystemClasses() {
  for (const WNDCLASS& windowClass : SystemClasses()) {
    AddClass(windowClass.lpszClassName, windowClass);
    classes_.at(Folded(windowClass.lpszClassName)).system = true;
  }
}

std::string WindowTree::Folded(const std::string& name) {
  std::string folded = name;
  std::transform(folded.begin(), folded.end(), folded.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return folded;
}

const WNDCLASS* WindowTree::FindClass(const std::string& name) const {
  const auto it = classes_.find(Folded(name));
  return it == classes_.end() ? nullptr : &it->second.windowClass;
}

bool WindowTree::AddClass(const std::string& name, const WNDCLASS& windowClass) {
  const auto [it, added] = classes_.emplace(Folded(name), ClassEntry{windowClass, name});
  if (added) it->second.windowClass.lpszClassName = it->second.name.c_str();
  return added;
}

bool WindowTree::RemoveClass(const std::string& name) {
  const auto it = classes_.find(Folded(name));
  if (it == classes_.end() || it->second.system) return false;
  classes_.erase(it);
  return true;
}

WindowTree& Tree() {
  static WindowTree tree;
  return tree;
}

std::optional<WindowTarget> TargetOf(HWND window) {
  std::lock_guard lock(Tree().mutex());
  const WindowRecord* record = Tree().Find(window);
  if (record == nullptr) return std::nullopt;
  return WindowTarget{record->proc, record->queue};
}

}  // namespace platform
