// Writes RTF in CP932 for the document converter to read: text is given
// in CP932, its bytes above 0x7F written as \'hh pairs.
#pragma once

#include <string>
#include <string_view>

namespace converters::rtf {

class Writer {
 public:
  Writer();
  void Text(std::string_view cp932);
  void Paragraph();
  void LineBreak();
  // A group of its own for a run of formatted text: "b", "i" or "ul".
  void BeginFormat(std::string_view controlWord);
  void EndFormat();
  // The document, its groups closed.
  std::string Finish();

 private:
  std::string out_;
};

}  // namespace converters::rtf
