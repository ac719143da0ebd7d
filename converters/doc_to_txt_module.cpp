// The pre-converter "DocToTxt.dll": DocToRich turns an HTML page into an
// RTF file in CP932 for the document converter. The kind of the source is
// told by its extension.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "converters/html_to_rtf.h"

namespace {

constexpr int kConverted = 0;
constexpr int kFailed = 1;
constexpr const char* kHtmlExtensions[] = {".htm", ".html"};

std::string LowerExtension(const char* path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

bool IsHtml(const char* path) {
  const std::string extension = LowerExtension(path);
  return std::any_of(std::begin(kHtmlExtensions), std::end(kHtmlExtensions),
                     [&](const char* html) { return extension == html; });
}

}  // namespace

extern "C" int DocToRich(const char* sourcePath, const char* rtfPath) {
  if (sourcePath == nullptr || rtfPath == nullptr || !IsHtml(sourcePath)) return kFailed;
  std::ifstream in(sourcePath, std::ios::binary);
  if (!in) return kFailed;
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto rtf = converters::html::ToRtf(bytes);
  if (!rtf) return kFailed;
  std::ofstream out(rtfPath, std::ios::binary | std::ios::trunc);
  out << *rtf;
  out.close();
  return out ? kConverted : kFailed;
}
