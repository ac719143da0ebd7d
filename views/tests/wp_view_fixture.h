// A headless MDI program around one framework view: a main frame, a
// template of framework documents shown in child frames with a framework
// view each, and a document of the test's style (ten double-byte
// characters a line, twenty lines a page, over the synthetic face).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/tests/doc_root_fixture.h"
#include "engine/tests/wp_ctrl_fixture.h"
#include "framework/doc_template.h"
#include "framework/main_window.h"
#include "framework/mdi_wnd.h"
#include "platform/input.h"
#include "platform/window.h"
#include "views/ed_view.h"
#include "views/wp_doc.h"
#include "views/wp_view.h"

namespace views_test {

using framework::CMDIChildWnd;

// A framework document that starts in the test's style.
class CTestWpDoc : public CVedWpDoc {
  DECLARE_DYNCREATE(CTestWpDoc)

 public:
  bool OnNewDocument() override {
    DocStyle style = doc_root_test::TestStyle();
    GetEngine()->StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
    return GetEngine()->DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr) == kWpcOk;
  }
};

class WpViewTest : public ::testing::Test {
 protected:
  static constexpr char kDocStrings[] = "\ntest\n\n\n.lxc\nlxcFile\ntest";

  WpViewTest() {
    platform::ResetWindowMessages();
    platform::ResetInput();
    main_ = new framework::CMDIFrameWnd;
    EXPECT_TRUE(main_->LoadFrame({}, 0, nullptr));
    mainHandle_ = main_->m_hWnd;
    framework::AfxSetMainWnd(main_);
    main_->ShowWindow(platform::SW_SHOW);
    template_ = std::make_unique<framework::CMultiDocTemplate>(
        kDocStrings, framework::FrameResources{}, RUNTIME_CLASS(CTestWpDoc),
        RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CVedWpView));
  }
  ~WpViewTest() override {
    if (platform::IsWindow(mainHandle_)) main_->DestroyWindow();
    template_.reset();
    framework::AfxSetMainWnd(nullptr);
    framework::CWnd::DeleteTempMap();
    platform::ResetInput();
    platform::ResetWindowMessages();
  }

  // Opens a new document; its view is not painted yet.
  CVedWpView& Open() {
    document_ = static_cast<CTestWpDoc*>(template_->OpenDocumentFile(nullptr));
    EXPECT_NE(document_, nullptr);
    view_ = document_->GetView();
    return *view_;
  }
  // Opens and runs the paint cycle.
  CVedWpView& OpenShown() {
    Open();
    Pump();
    return *view_;
  }

  CVedWpCtrl& engine() { return *document_->GetEngine(); }

  // The way the program's loop hands messages on.
  void Pump() {
    platform::MSG msg;
    while (platform::PeekMessage(&msg, platform::kNoWindow, 0, 0, platform::PM_REMOVE)) {
      if (framework::WalkPreTranslateTree(mainHandle_, &msg)) continue;
      platform::TranslateMessage(&msg);
      platform::DispatchMessage(&msg);
    }
  }
  void Press(platform::BYTE key) {
    platform::keybd_event(key, 0, 0, 0);
    platform::keybd_event(key, 0, platform::KEYEVENTF_KEYUP, 0);
    Pump();
  }

  std::string Text() {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      engine().DocumentCommand(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText, &archive);
      archive.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }

  doc_root_test::TestEnvironment environment_;
  framework::CMDIFrameWnd* main_ = nullptr;  // goes with its window
  platform::HWND mainHandle_ = platform::kNoWindow;
  std::unique_ptr<framework::CMultiDocTemplate> template_;
  CTestWpDoc* document_ = nullptr;
  CVedWpView* view_ = nullptr;
};

}  // namespace views_test
