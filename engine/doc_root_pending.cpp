// TEAM NOTE: temporary stubs, see the note at the top of doc_root.h. Each
// stub answers "nothing done". Delete a stub when its operation is defined
// for real; this file goes once it is empty.
#include "engine/doc_root.h"

// (recording)

// (caret)
int CDocBunsObj::Move(int, int) { return 0; }
int CDocBunsObj::IsAtBoundary(int, const CVedTextPos*) { return 0; }
int CDocBunsObj::MoveToPoint(int, const CVedTextPos*, int32_t, int32_t) { return 0; }
int CDocBunsObj::GoToLineColumn(int, const CVedTextPos*, const int32_t[2], int) { return 0; }
int CDocBunsObj::ClearSelection(int) { return 0; }
void CDocBunsObj::GetSelection(CVedTextRange&) {}
void CDocBunsObj::SelectRange(const CVedTextPos*, const CVedTextPos*, int) {}
void CDocBunsObj::GetCaretAndAnchor(CVedTextRange&) const {}
void CDocBunsObj::GetSelectionEnds(CVedTextRange&) const {}
int CDocBunsObj::BeginRangeMarking() { return 0; }
void CDocBunsObj::EndRangeMarking(int) {}
void CDocBunsObj::SetDisplayOptions(const DocObjOptions&) {}
bool CDocBunsObj::HasSelection() const { return false; }
bool CDocBunsObj::HasPlainSelection() const { return false; }
bool CDocBunsObj::SelectionSpansChildren() const { return false; }
int32_t CDocBunsObj::GetSelectionUnit(int, int) { return 0; }
int CDocBunsObj::DescribeObjectAt(ObjectDescription*, int, const CVedTextPos*) { return 0; }
int32_t CDocBunsObj::EnableRedraw(int32_t) { return 0; }
platform::RECT* CDocBunsObj::GetPointRect(platform::RECT* out, int, const CVedTextPos*, int32_t,
                                          int32_t) {
  return out;
}
int32_t CDocBunsObj::PositionFromPoint(const CVedTextPos*, int32_t, int32_t, CVedTextPos*) {
  return 0;
}
int CDocBunsObj::GetLineColumn(int32_t[2], int, const CVedTextPos*, const CVedTextPos*) {
  return 0;
}
int32_t CDocBunsObj::GetCaretFlags(const CVedTextPos*, int) { return 0; }
int32_t CDocBunsObj::GetTopOffset(int) { return 0; }
int CDocBunsObj::CancelSelection() { return 0; }
int CDocBunsObj::Find(int, int, std::string_view) { return 0; }

// (speech and unit text)

// (input)

// (stream)
int CDocBunsObj::InsertFromArchive(uint32_t, platform::CArchive&, EditResult*, int) { return 9; }
int CDocBunsObj::ReadContent(platform::CArchive&, int, int, EditResult*) { return 9; }
int CDocBunsObj::ReadContent(platform::CArchive&) { return 0; }
int CDocBunsObj::ReadStreamHeader(platform::CArchive&, int32_t*, int) { return 11; }
int CDocBunsObj::WriteToArchive(uint32_t, platform::CArchive&, int) { return 4; }
int CDocBunsObj::WriteContent(platform::CArchive&, int, const CVedTextPos*, const CVedTextPos*,
                              int) {
  return 4;
}
int CDocBunsObj::WriteStreamHeader(platform::CArchive&, int32_t*, const CVedTextPos*,
                                   const CVedTextPos*, int) {
  return 4;
}
int CDocBunsObj::WriteRangeToMemory(const CVedTextPos*, const CVedTextPos*, int,
                                    std::vector<uint8_t>*) {
  return 1;
}

// (transfer)
int CDocBunsObj::Cut(int, EditResult*) { return 0; }
int CDocBunsObj::Copy() { return 0; }
int CDocBunsObj::CopyToClipboard() { return 0; }
int CDocBunsObj::Paste(int, EditResult*) { return 0; }
int CDocBunsObj::ReadClipboard(EditResult*) { return 0; }
int CDocBunsObj::CanPaste() { return 0; }

// (formats)
void CDocBunsObj::SetDrawOffset(int32_t, int32_t) {}
int CDocBunsObj::SetSpeechEnabled(int) { return 0; }
