// Writes small valid inputs for every loader target, each made by the
// writer the loader reads back: documents saved by the engine, blocks
// stored by containers, texts and tables, the clipboard after a copy and
// wave images. Each file starts with the byte that chooses the target's
// way in (see the target's own comment).
//
//   make_seeds <folder>   writes <folder>/<target>/<name>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "model/container.h"
#include "model/table_object.h"
#include "model/text_object.h"
#include "platform/clipboard.h"
#include "platform/wave.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using lexora_fuzz::Engine;
using lexora_fuzz::Process;

fs::path root;
int written = 0;

void Save(const std::string& target, const std::string& name, uint8_t choice, const Bytes& body) {
  if (body.empty() && choice != 0) return;
  const fs::path folder = root / target;
  fs::create_directories(folder);
  std::ofstream out(folder / name, std::ios::binary);
  out.put(static_cast<char>(choice));
  out.write(reinterpret_cast<const char*>(body.data()), static_cast<std::streamsize>(body.size()));
  ++written;
}

// Documents of increasing variety: plain lines, formatted text with a page
// break, a table with text in its cells.
void BuildDocument(Engine& engine, int kind) {
  engine.Type("ABC\r\x82\xA0\x82\xA2\x82\xA4\x81\x42\rDEF GHI JKL MNO PQR");
  if (kind == 0) return;
  engine.MoveExtend(kMovePrevWord, 2);
  CharDecoration decoration;
  decoration.underline = 1;
  decoration.mask = kMaskEveryField;
  engine->EditCommand(WPC_SET_CHAR_DECORATION, 1, reinterpret_cast<intptr_t>(&decoration));
  engine.Move(kMoveDocumentEnd);
  engine->EditCommand(WPC_INSERT_PAGE_BREAK, 1, 0);
  engine.Type("\x83\x41\x83\x43\t\x83\x45");
  engine->EditCommand(WPC_STEP_INDENT, 1, 1);
  if (kind == 1) return;
  engine.Move(kMoveDocumentStart);
  engine.Move(kMoveNextParagraph);
  engine.CreateTable(2, 3);
  engine.Type("\x82\xA9\x82\xAB");
  engine.Move(kMoveNextChar);
  engine.Type("XY");
}

void EngineSeeds() {
  for (int kind = 0; kind < 3; ++kind) {
    const std::string n = std::to_string(kind);
    Process process;
    Engine engine;
    BuildDocument(engine, kind);
    const Bytes saved = engine.Write(WPC_SAVE_DOCUMENT, kLoadHeader);
    const Bytes bare = engine.Write(WPC_SAVE_DOCUMENT, CDocBunsObj::kStreamOwnFormat);
    const Bytes content = engine.Write(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamOwnFormat);
    const Bytes withRoot = engine.Write(WPC_WRITE_CONTENT, CDocBunsObj::kStreamOwnFormat);
    Save("engine_stream", "load-" + n, 0, saved);
    Save("engine_stream", "load-caret-" + n, 4, saved);
    Save("engine_stream", "load-no-header-" + n, 1, bare);
    Save("engine_stream", "load-into-text-" + n, 2 | (1 << 3), saved);
    Save("engine_stream", "insert-in-cell-" + n, 3 | (3 << 3), withRoot);
    Save("engine_stream", "insert-bare-" + n, 3 | 0x20 | (1 << 3), content);
    Save("engine_stream", "insert-bare-at-table-" + n, 3 | 0x20 | (2 << 3), content);

    Save("plain_text", "text-" + n, 0,
         engine.Write(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText));
    Save("plain_text", "text-over-selection-" + n, 1,
         engine.Write(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText));
    Save("plain_text", "text-in-cell-" + n, 2,
         engine.Write(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText));
    Save("plain_text", "text-check-" + n, 3,
         engine.Write(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText));

    // The clipboard after a copy of everything.
    engine.Move(kMoveDocumentStart);
    engine.MoveExtend(kMoveDocumentEnd);
    engine->EditCommand(WPC_COPY, 1, 0);
    const Bytes own = lexora_fuzz::ClipboardBytes(lexora_fuzz::OwnClipboardFormat());
    const Bytes text = lexora_fuzz::ClipboardBytes(platform::CF_TEXT);
    for (int place = 0; place < 4; ++place) {
      const std::string p = n + "-" + std::to_string(place);
      Save("clipboard", "own-" + p, static_cast<uint8_t>(1 | (place << 1)), own);
      Save("clipboard", "text-" + p, static_cast<uint8_t>(place << 1), text);
    }
  }
}

void ContainerSeeds() {
  for (int kind = 0; kind < 2; ++kind) {
    const std::string n = std::to_string(kind);
    Process process;
    lexora_fuzz::ModelWorld world;
    CDocObjContainer container;
    DocObjOptions options = DocObjOptions::ContainerDefaults();
    options.freeCursor = 0;
    world.Prepare(container, options);
    EditResult result;
    container.InsertText("ABC\r\x82\xA0\x82\xA2\rDEF", &result);
    if (kind == 1) {
      container.InsertTable(2, 2, &result);
      container.InsertText("\x82\xA9", &result);
    }
    const Bytes headed = lexora_fuzz::StoreObject(container, kFormatOwnBlock, 2);
    const Bytes plain = lexora_fuzz::StoreObject(container, kFormatPlainText, 0);
    for (int before = 0; before < 4; ++before) {
      const std::string p = n + "-" + std::to_string(before);
      const auto place = static_cast<uint8_t>(before << 3);
      Save("container_stream", "headed-" + p, place, headed);
      Save("container_stream", "headed-replay-" + p, place | 4, headed);
      Save("container_stream", "cell-" + p, place | 3, headed);
      Save("container_stream", "plain-" + p, place | 2, plain);
    }
    // A single text child's block, unheaded.
    const Bytes text = lexora_fuzz::StoreObject(*container.Children().GetAt(0), kFormatOwnBlock, 0);
    Save("container_stream", "bare-" + n, 1 | (1 << 3), text);
    Save("container_stream", "bare-at-table-" + n, 1 | (2 << 3), text);
  }
}

void TextSeeds() {
  const char* texts[] = {
      "A",
      "ABC\x82\xA0\x82\xA2\r\x82\xA4\x81\x41GH\rIJ",
      "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4A\x83\x4C\x83\x4E\x83\x50\r\t1",
  };
  int i = 0;
  for (const char* t : texts) {
    const std::string n = std::to_string(i++);
    Process process;
    lexora_fuzz::ModelWorld world;
    CTextObject text;
    DocObjOptions options = DocObjOptions::ContainerDefaults();
    options.freeCursor = 0;
    world.Prepare(text, options);
    EditResult result;
    text.InsertText(t, &result);
    CharDecoration decoration;
    decoration.underline = 2;
    decoration.mask = kMaskEveryField;
    CVedTextPos start;
    CVedTextPos end;
    const MoveParams still{0, 0, 1};
    text.MoveCursor(kMoveDocumentStart, &still, nullptr, &start);
    text.MoveCursor(kMoveNextChar, &still, &start, &end);
    text.SetCharDecoration(&decoration, &start, &end, &result);
    const Bytes block = lexora_fuzz::StoreObject(text, kFormatOwnBlock, 0);
    for (int choice = 0; choice < 32; choice += 5) {
      Save("text_block", "block-" + n + "-" + std::to_string(choice), static_cast<uint8_t>(choice),
           block);
    }
  }
}

void TableSeeds() {
  Process process;
  lexora_fuzz::ModelWorld world(20);
  CTableObject table;
  world.Prepare(table, DocObjOptions::ContainerDefaults());
  TableLayout layout;
  layout.verticalRuleWidth = lexora_fuzz::kPitch;
  layout.horizontalRuleHeight = lexora_fuzz::kLinePitch / 2;
  EditResult built;
  if (!table.Create(2, 3, 13 * lexora_fuzz::kPitch, layout, &built)) return;
  for (int32_t i = 0; i < 6; ++i) {
    EditResult typed;
    table.CellAt(i)->InsertText(i == 4 ? "\x82\xA0\x82\xA2\r1" : std::string(1, 'a' + i), &typed);
  }
  const Bytes whole = lexora_fuzz::StoreObject(table, kFormatOwnBlock, 0);
  Save("table_stream", "whole", 0, whole);
  Save("table_stream", "paste", 2, whole);
  Save("table_stream", "paste-last-row", 6, whole);
  // A cell's text as the cell takes it in: one bare text block.
  CDocObject* text = table.CellAt(4)->GetFirstChild();
  const Bytes cellText = lexora_fuzz::StoreObject(*text, kFormatOwnBlock, 0);
  Save("table_stream", "cell-block", 1, cellText);
  Save("table_stream", "cell-block-last-row", 5, cellText);
  Save("table_stream", "cell-text", 3, lexora_fuzz::StoreObject(*text, kFormatPlainText, 0));

  Process again;
  lexora_fuzz::ModelWorld small(20);
  CTableObject one;
  small.Prepare(one, DocObjOptions::ContainerDefaults());
  if (one.Create(1, 1, 4 * lexora_fuzz::kPitch, layout, &built)) {
    Save("table_stream", "one-cell", 0, lexora_fuzz::StoreObject(one, kFormatOwnBlock, 0));
  }
}

void WaveSeeds() {
  struct Format {
    uint16_t channels;
    uint32_t rate;
    uint16_t bits;
  };
  const Format formats[] = {{1, 8000, 8}, {2, 22050, 16}, {1, 11025, 16}};
  int i = 0;
  for (const Format& f : formats) {
    platform::WAVEFORMATEX format;
    format.wFormatTag = platform::WAVE_FORMAT_PCM;
    format.nChannels = f.channels;
    format.nSamplesPerSec = f.rate;
    format.wBitsPerSample = f.bits;
    format.nBlockAlign = static_cast<uint16_t>(f.channels * f.bits / 8);
    format.nAvgBytesPerSec = f.rate * format.nBlockAlign;
    Bytes samples;
    for (int k = 0; k < 3 * format.nBlockAlign + i; ++k)
      samples.push_back(static_cast<uint8_t>(k * 37));
    const Bytes image = platform::MakeWaveImage(format, samples);
    // The wave target takes the image whole: no choice byte.
    const fs::path folder = root / "wave";
    fs::create_directories(folder);
    std::ofstream out(folder / ("wave-" + std::to_string(i++)), std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    ++written;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  root = argv[1];
  EngineSeeds();
  ContainerSeeds();
  TextSeeds();
  TableSeeds();
  WaveSeeds();
  std::printf("%d seeds in %s\n", written, root.c_str());
  return 0;
}
