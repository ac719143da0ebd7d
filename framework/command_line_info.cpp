#include "framework/command_line_info.h"

namespace framework {
namespace {

constexpr char kPrintFlag[] = "p";
constexpr char kPrintToFlag[] = "pt";

bool IsSeparator(char ch) { return ch == ' ' || ch == '\t'; }
bool IsSwitch(char ch) { return ch == '/' || ch == '-'; }

}  // namespace

void CCommandLineInfo::ParseParam(const char* param, bool flag, bool last) {
  if (flag)
    ParseParamFlag(param);
  else
    ParseParamNotFlag(param);
  if (last && m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) m_nShellCommand = FileOpen;
}

void CCommandLineInfo::ParseParamFlag(std::string_view flag) {
  if (flag == kPrintFlag)
    m_nShellCommand = FilePrint;
  else if (flag == kPrintToFlag)
    m_nShellCommand = FilePrintTo;
  else
    return;
  m_bShowSplash = false;
}

void CCommandLineInfo::ParseParamNotFlag(const char* param) {
  if (m_strFileName.IsEmpty())
    m_strFileName = param;
  else if (m_nShellCommand != FilePrintTo)
    return;
  else if (m_strPrinterName.IsEmpty())
    m_strPrinterName = param;
  else if (m_strDriverName.IsEmpty())
    m_strDriverName = param;
  else if (m_strPortName.IsEmpty())
    m_strPortName = param;
}

std::vector<CString> SplitCommandLine(std::string_view line) {
  std::vector<CString> arguments;
  std::string argument;
  bool inArgument = false;
  bool quoted = false;
  for (const char ch : line) {
    if (ch == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if (IsSeparator(ch) && !quoted) {
      if (inArgument) arguments.emplace_back(std::move(argument));
      argument.clear();
      inArgument = false;
    } else {
      argument += ch;
      inArgument = true;
    }
  }
  if (inArgument) arguments.emplace_back(std::move(argument));
  return arguments;
}

void ParseCommandLine(std::string_view line, CCommandLineInfo& info) {
  const std::vector<CString> arguments = SplitCommandLine(line);
  for (size_t i = 0; i < arguments.size(); ++i) {
    const CString& argument = arguments[i];
    const bool flag = !argument.IsEmpty() && IsSwitch(argument.GetAt(0));
    const bool last = i + 1 == arguments.size();
    info.ParseParam(flag ? argument.GetString() + 1 : argument.GetString(), flag, last);
  }
}

}  // namespace framework
