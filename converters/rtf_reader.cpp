#include "converters/rtf_reader.h"

#include <cctype>
#include <map>

#include "platform/sjis.h"

namespace converters::rtf {

namespace {

constexpr std::string_view kSignature = "{\\rtf";
constexpr int kMaxDepth = 512;
constexpr int kShiftJisCharset = 128;
constexpr int kShiftJisCodePage = 932;
constexpr int kNoCharset = -1;
constexpr int kDefaultSkip = 1;
constexpr long kParameterLimit = 1L << 30;
constexpr int kUnicodeWrap = 65536;
constexpr char kUnconvertible = '?';

// Destinations whose text is not document text.
constexpr std::string_view kSkippedDestinations[] = {
    "stylesheet",   "info",      "pict",     "header",    "headerl",
    "headerr",      "headerf",   "footer",   "footerl",   "footerr",
    "footerf",      "footnote",  "object",   "listtable", "listoverridetable",
    "rsidtbl",      "generator", "xmlnstbl", "themedata", "colorschememapping",
    "latentstyles", "datastore", "fldinst",  "bkmkstart", "bkmkend",
    "annotation"};

enum class Destination { kText, kSkipped, kFontTable, kColorTable };

struct Font {
  std::string name;
  int charset = kNoCharset;
};

struct GroupState {
  CharFormat format;
  int font = -1;
  int skip = kDefaultSkip;
  Destination destination = Destination::kText;
};

std::string CodePointToCp932(uint32_t code) {
  std::string utf8;
  if (code < 0x80) {
    utf8 += static_cast<char>(code);
  } else if (code < 0x800) {
    utf8 += static_cast<char>(0xC0 | (code >> 6));
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    utf8 += static_cast<char>(0xE0 | (code >> 12));
    utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (code & 0x3F));
  }
  const auto sjis = platform::Utf8ToSjis(utf8);
  if (!sjis || sjis->empty()) return std::string(1, kUnconvertible);
  return std::string(sjis->begin(), sjis->end());
}

// A byte of a one-byte Western code page as CP932.
std::string WesternByteToCp932(unsigned char byte) {
  if (byte < 0x80) return std::string(1, static_cast<char>(byte));
  return CodePointToCp932(byte);  // Latin-1 is the code point itself
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : in_(bytes) {}

  std::optional<Document> Run() {
    if (in_.substr(0, kSignature.size()) != kSignature) return std::nullopt;
    while (at_ < in_.size()) {
      const char c = in_[at_++];
      if (c == '{') {
        if (!Open()) return std::nullopt;
      } else if (c == '}') {
        if (!Close()) return std::nullopt;
        if (groups_.empty()) return Finish();
      } else if (c == '\\') {
        Control();
      } else if (c == '\r' || c == '\n') {
        continue;
      } else {
        Text(std::string(1, c));
      }
    }
    return std::nullopt;  // the outermost group never closed
  }

 private:
  bool Open() {
    if (static_cast<int>(groups_.size()) >= kMaxDepth) return false;
    groups_.push_back(groups_.empty() ? GroupState{} : groups_.back());
    return true;
  }

  bool Close() {
    if (groups_.empty()) return false;
    groups_.pop_back();
    return true;
  }

  std::optional<Document> Finish() {
    Flush();
    return std::move(document_);
  }

  GroupState& State() { return groups_.back(); }

  void Control() {
    if (at_ >= in_.size()) return;
    const char c = in_[at_];
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      ++at_;
      Symbol(c);
      return;
    }
    const size_t start = at_;
    while (at_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[at_]))) ++at_;
    const std::string_view word = in_.substr(start, at_ - start);
    std::optional<long> parameter;
    bool negative = false;
    if (at_ < in_.size() && in_[at_] == '-') {
      negative = true;
      ++at_;
    }
    if (at_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[at_]))) {
      long value = 0;
      while (at_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[at_]))) {
        if (value < kParameterLimit) value = value * 10 + (in_[at_] - '0');
        ++at_;
      }
      parameter = negative ? -value : value;
    }
    if (at_ < in_.size() && in_[at_] == ' ') ++at_;
    Word(word, parameter);
  }

  void Symbol(char c) {
    switch (c) {
      case '\'':
        HexByte();
        break;
      case '*':
        State().destination = Destination::kSkipped;
        break;
      case '~':
        Text(" ");
        break;
      case '_':
        Text("-");
        break;
      case '\\':
      case '{':
      case '}':
        Text(std::string(1, c));
        break;
      case '\r':
      case '\n':
        Paragraph();
        break;
      default:  // optional hyphens and other marks carry no text
        break;
    }
  }

  void HexByte() {
    int value = 0;
    for (int i = 0; i < 2; ++i) {
      if (at_ >= in_.size() || !std::isxdigit(static_cast<unsigned char>(in_[at_]))) return;
      const char h = static_cast<char>(std::tolower(static_cast<unsigned char>(in_[at_++])));
      value = value * 16 + (std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : h - 'a' + 10);
    }
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    const auto byte = static_cast<unsigned char>(value);
    if (State().destination == Destination::kFontTable) {
      fonts_[State().font].name += static_cast<char>(byte);
    } else if (IsCp932()) {
      AppendRaw(std::string(1, static_cast<char>(byte)));
    } else {
      AppendRaw(WesternByteToCp932(byte));
    }
  }

  bool IsCp932() {
    const auto found = fonts_.find(State().font);
    if (found != fonts_.end() && found->second.charset != kNoCharset) {
      return found->second.charset == kShiftJisCharset;
    }
    return codePage_ == kShiftJisCodePage;
  }

  void Word(std::string_view word, std::optional<long> parameter) {
    GroupState& s = State();
    const long value = parameter.value_or(1);
    const bool on = value != 0;
    if (word == "fonttbl") {
      s.destination = Destination::kFontTable;
    } else if (word == "colortbl") {
      s.destination = Destination::kColorTable;
    } else if (IsSkippedDestination(word)) {
      s.destination = Destination::kSkipped;
    } else if (word == "ansicpg") {
      codePage_ = static_cast<int>(value);
    } else if (word == "f") {
      s.font = static_cast<int>(value);
      if (s.destination == Destination::kText) s.format.face = fonts_[s.font].name;
    } else if (word == "fcharset") {
      if (s.destination == Destination::kFontTable)
        fonts_[s.font].charset = static_cast<int>(value);
    } else if (word == "red" || word == "green" || word == "blue") {
      const int shift = word == "red" ? 0 : word == "green" ? 8 : 16;
      pendingColor_ |= (static_cast<uint32_t>(value) & 0xFF) << shift;
    } else if (word == "uc") {
      s.skip = static_cast<int>(value < 0 ? 0 : value);
    } else if (word == "u") {
      Unicode(value);
    } else if (s.destination != Destination::kText) {
      return;
    } else if (word == "par" || word == "line") {
      Paragraph();
    } else if (word == "page") {
      AppendRaw(std::string(1, kPageBreak));
    } else if (word == "tab") {
      Text("\t");
    } else if (word == "plain") {
      s.format = CharFormat{};
    } else if (word == "b") {
      s.format.bold = on;
    } else if (word == "i") {
      s.format.italic = on;
    } else if (word == "ul") {
      s.format.underline = on;
    } else if (word == "ulnone") {
      s.format.underline = false;
    } else if (word == "strike") {
      s.format.strike = on;
    } else if (word == "fs") {
      if (value > 0) s.format.halfPoints = static_cast<int>(value);
    } else if (word == "cf") {
      s.format.color = ColorAt(value);
    } else {
      PageWord(word, value);
    }
  }

  void PageWord(std::string_view word, long value) {
    PageStyle& page = document_.page;
    const int twips = static_cast<int>(value);
    if (word == "paperw") page.paperWidth = twips;
    if (word == "paperh") page.paperHeight = twips;
    if (word == "margl") page.marginLeft = twips;
    if (word == "margr") page.marginRight = twips;
    if (word == "margt") page.marginTop = twips;
    if (word == "margb") page.marginBottom = twips;
    if (word == "landscape") page.landscape = true;
  }

  static bool IsSkippedDestination(std::string_view word) {
    for (std::string_view skipped : kSkippedDestinations) {
      if (word == skipped) return true;
    }
    return false;
  }

  std::optional<uint32_t> ColorAt(long index) const {
    if (index <= 0 || index >= static_cast<long>(colors_.size())) return std::nullopt;
    return colors_[static_cast<size_t>(index)];
  }

  void Unicode(long value) {
    const uint32_t code = static_cast<uint32_t>(value < 0 ? value + kUnicodeWrap : value);
    if (State().destination == Destination::kText) AppendRaw(CodePointToCp932(code));
    pendingSkip_ = State().skip;
  }

  void Paragraph() {
    if (State().destination == Destination::kText) AppendRaw(kParagraphEnd);
  }

  // Text bytes of the document; a \uN fallback is skipped first.
  void Text(const std::string& bytes) {
    GroupState& s = State();
    if (s.destination == Destination::kFontTable) {
      for (char c : bytes) {
        if (c == ';') continue;
        fonts_[s.font].name += c;
      }
      return;
    }
    if (s.destination == Destination::kColorTable) {
      for (char c : bytes) {
        if (c != ';') continue;
        colors_.push_back(pendingColor_);
        pendingColor_ = 0;
      }
      return;
    }
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    AppendRaw(bytes);
  }

  void AppendRaw(const std::string& bytes) {
    GroupState& s = State();
    if (s.destination != Destination::kText) return;
    pendingSkip_ = 0;
    if (!current_.text.empty() && !(current_.format == s.format)) Flush();
    current_.format = s.format;
    current_.text += bytes;
  }

  void Flush() {
    if (current_.text.empty()) return;
    document_.runs.push_back(std::move(current_));
    current_ = {};
  }

  std::string_view in_;
  size_t at_ = 0;
  std::vector<GroupState> groups_;
  std::map<int, Font> fonts_;
  std::vector<uint32_t> colors_;
  uint32_t pendingColor_ = 0;
  int codePage_ = 0;
  int pendingSkip_ = 0;
  Document document_;
  rtf::Run current_;
};

}  // namespace

std::optional<Document> Read(std::string_view bytes) { return Reader(bytes).Run(); }

}  // namespace converters::rtf
