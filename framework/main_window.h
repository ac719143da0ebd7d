// The program's main window, which document frames are made inside. The
// application object sets it when it makes its main frame.
#pragma once

namespace framework {

class CWnd;

void AfxSetMainWnd(CWnd* window);
// Null until one is set.
CWnd* AfxGetMainWnd();

}  // namespace framework
