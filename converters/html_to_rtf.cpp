#include "converters/html_to_rtf.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

#include "converters/rtf_writer.h"
#include "platform/sjis.h"

namespace converters::html {

namespace {

constexpr int kParseOptions =
    HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
constexpr char kUnconvertible = '?';

constexpr const char* kSkipped[] = {"script", "style", "head", "title", "noscript", "template"};
constexpr const char* kBlocks[] = {
    "p",  "div",     "h1",      "h2",     "h3",     "h4",         "h5",      "h6",
    "li", "tr",      "pre",     "table",  "ul",     "ol",         "dl",      "dt",
    "dd", "section", "article", "header", "footer", "blockquote", "address", "hr"};
struct Format {
  const char* element;
  const char* controlWord;
};
constexpr Format kFormats[] = {{"b", "b"},  {"strong", "b"}, {"i", "i"},
                               {"em", "i"}, {"u", "ul"},     {"ins", "ul"}};

template <size_t N>
bool IsOneOf(const char* name, const char* const (&names)[N]) {
  for (const char* candidate : names) {
    if (std::strcmp(name, candidate) == 0) return true;
  }
  return false;
}

size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

// UTF-8 as CP932, a character CP932 lacks written as '?'.
std::string ToCp932(std::string_view utf8) {
  if (auto whole = platform::Utf8ToSjis(utf8)) return std::string(whole->begin(), whole->end());
  std::string out;
  for (size_t at = 0; at < utf8.size();) {
    const size_t length =
        std::min(SequenceLength(static_cast<unsigned char>(utf8[at])), utf8.size() - at);
    const auto one = platform::Utf8ToSjis(utf8.substr(at, length));
    if (one && !one->empty()) {
      out.append(one->begin(), one->end());
    } else {
      out += kUnconvertible;
    }
    at += length;
  }
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

class PageWalker {
 public:
  void Walk(const xmlNode* first) {
    for (const xmlNode* node = first; node != nullptr; node = node->next) Node(node);
  }
  std::string Finish() {
    EndParagraph();
    return writer_.Finish();
  }

 private:
  void Node(const xmlNode* node) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content != nullptr) Text(reinterpret_cast<const char*>(node->content));
    } else if (node->type == XML_ELEMENT_NODE) {
      Element(node);
    }
  }

  void Element(const xmlNode* node) {
    const char* name = reinterpret_cast<const char*>(node->name);
    if (IsOneOf(name, kSkipped)) return;
    if (std::strcmp(name, "br") == 0) {
      writer_.LineBreak();
      lineStart_ = true;
      return;
    }
    for (const Format& format : kFormats) {
      if (std::strcmp(name, format.element) == 0) {
        writer_.BeginFormat(format.controlWord);
        Walk(node->children);
        writer_.EndFormat();
        return;
      }
    }
    const bool block = IsOneOf(name, kBlocks);
    const bool pre = std::strcmp(name, "pre") == 0;
    if (block) EndParagraph();
    preDepth_ += pre;
    Walk(node->children);
    preDepth_ -= pre;
    if (block) EndParagraph();
  }

  void Text(std::string_view utf8) {
    std::string text;
    if (preDepth_ > 0) {
      text = utf8;
    } else {
      for (char c : utf8) {
        if (!IsBlank(c)) {
          text += c;
          lineStart_ = false;
        } else if (!lineStart_ && (text.empty() || text.back() != ' ')) {
          text += ' ';
        }
      }
    }
    if (text.empty()) return;
    writer_.Text(ToCp932(text));
    written_ = true;
  }

  void EndParagraph() {
    if (!written_) return;
    writer_.Paragraph();
    written_ = false;
    lineStart_ = true;
  }

  rtf::Writer writer_;
  bool written_ = false;
  bool lineStart_ = true;
  int preDepth_ = 0;
};

struct DocumentFree {
  void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};

}  // namespace

std::optional<std::string> ToRtf(std::string_view bytes) {
  if (bytes.empty()) return std::nullopt;
  std::unique_ptr<xmlDoc, DocumentFree> document(htmlReadMemory(
      bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, kParseOptions));
  if (!document) return std::nullopt;
  const xmlNode* root = xmlDocGetRootElement(document.get());
  if (root == nullptr) return std::nullopt;
  PageWalker walker;
  walker.Walk(root);
  return walker.Finish();
}

}  // namespace converters::html
