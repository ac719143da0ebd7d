#include "converters/rtf_writer.h"

#include <cstdio>

namespace converters::rtf {

namespace {

constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fcharset128 "
    "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\\f0 ";  // ＭＳ 明朝
constexpr unsigned char kLastPlainByte = 0x7F;

}  // namespace

Writer::Writer() : out_(kHeader) {}

void Writer::Text(std::string_view cp932) {
  for (char c : cp932) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\' || c == '{' || c == '}') {
      out_ += '\\';
      out_ += c;
    } else if (byte > kLastPlainByte) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\'%02x", byte);
      out_ += hex;
    } else if (c == '\t') {
      out_ += "\\tab ";
    } else if (byte >= ' ') {
      out_ += c;
    }
  }
}

void Writer::Paragraph() { out_ += "\\par\n"; }

void Writer::LineBreak() { out_ += "\\line "; }

void Writer::BeginFormat(std::string_view controlWord) {
  out_ += "{\\";
  out_ += controlWord;
  out_ += ' ';
}

void Writer::EndFormat() { out_ += '}'; }

std::string Writer::Finish() { return out_ + "}"; }

}  // namespace converters::rtf
