// What the program was asked to do at start: nothing (a new document), a
// file to open, "/p file" to print it, or "/pt file printer driver port"
// to print it on that printer. The splash flag is on unless a print
// switch is given.
#pragma once

#include <string_view>
#include <vector>

#include "framework/cstring.h"

namespace framework {

class CCommandLineInfo {
 public:
  enum ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo };

  CCommandLineInfo() = default;
  virtual ~CCommandLineInfo() = default;

  // One argument, in order; `flag` when it began with '/' or '-' (which
  // `param` no longer holds), `last` for the final one.
  virtual void ParseParam(const char* param, bool flag, bool last);

  bool m_bShowSplash = true;
  ShellCommand m_nShellCommand = FileNew;
  CString m_strFileName;
  CString m_strPrinterName;
  CString m_strDriverName;
  CString m_strPortName;

 private:
  void ParseParamFlag(std::string_view flag);
  void ParseParamNotFlag(const char* param);
};

// Splits a command line into its arguments: spaces and tabs outside
// double quotes separate them, and the quotes themselves are dropped. A
// backslash is an ordinary character, so a folder ending in one and a
// trail byte 0x5C ("表") are kept as written.
std::vector<CString> SplitCommandLine(std::string_view line);

// Hands each argument of the line to `info`, flags without their switch
// character.
void ParseCommandLine(std::string_view line, CCommandLineInfo& info);

}  // namespace framework
