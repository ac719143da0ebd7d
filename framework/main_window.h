// The program's main window, which document frames are made inside. It
// is the application object's m_pMainWnd while there is an application
// object; without one (a test of frames alone) it is kept here. When the
// main window is destroyed it stops being the main window, and with an
// application object the program's message loop is told to end.
#pragma once

namespace framework {

class CWnd;

void AfxSetMainWnd(CWnd* window);
// Null until one is set.
CWnd* AfxGetMainWnd();

}  // namespace framework
