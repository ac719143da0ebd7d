#include "app/reg_string_list.h"

#include <cstdint>
#include <vector>

#include "platform/file.h"

using framework::CString;
using framework::POSITION;
using namespace platform;

namespace {

constexpr uint8_t kShortLengthEscape = 0xFF;
constexpr uint16_t kMediumLengthEscape = 0xFFFF;
// A 16-bit length the format never writes: the image is damaged there.
constexpr uint16_t kDamagedLength = 0xFFFE;

// One entry's bytes; raises kBadCount at a damaged length.
std::string ReadEntry(CArchive& archive) {
  uint8_t shortLength = 0;
  archive >> shortLength;
  uint32_t length = shortLength;
  if (shortLength == kShortLengthEscape) {
    uint16_t mediumLength = 0;
    archive >> mediumLength;
    if (mediumLength == kDamagedLength)
      throw CArchiveException(CArchiveException::kBadCount, "damaged entry length");
    length = mediumLength;
    if (mediumLength == kMediumLengthEscape) archive >> length;
  }
  if (length > archive.RemainingBytes())
    throw CArchiveException(CArchiveException::kEndOfFile, "entry longer than the image");
  std::string bytes(length, '\0');
  archive.ReadExact(bytes.data(), length);
  return bytes;
}

}  // namespace

CRegStringList::CRegStringList(const char* valueName, const char* subkey, HKEY root)
    : framework::CStringList(kBlockSize), valueName_(valueName), subkey_(subkey), root_(root) {}

void CRegStringList::Serialize(CArchive& archive) {
  if (archive.IsStoring()) {
    archive.WriteCount(static_cast<uint32_t>(GetCount()));
    for (POSITION place = GetHeadPosition(); place != nullptr;)
      archive.WriteString(GetNext(place).View());
    return;
  }
  const uint32_t count = archive.ReadCount();
  for (uint32_t i = 0; i < count; ++i) AddTail(CString(ReadEntry(archive)));
}

int CRegStringList::Load() {
  HKEY key = nullptr;
  if (RegOpenKeyEx(root_, subkey_, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return -1;
  DWORD type = REG_NONE;
  DWORD size = 0;
  std::vector<BYTE> image;
  if (RegQueryValueEx(key, valueName_, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_BINARY && size > 0) {
    image.resize(size);
    if (RegQueryValueEx(key, valueName_, nullptr, &type, image.data(), &size) != ERROR_SUCCESS)
      image.clear();
    image.resize(size);
  }
  RegCloseKey(key);
  if (image.empty()) return -1;
  CMemFile file(image.data(), image.size());
  CArchive archive(&file, CArchive::kLoad, kArchiveBuffer);
  try {
    Serialize(archive);
  } catch (const CArchiveException&) {
    return -1;
  } catch (const CFileException&) {
    return -1;
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return 0;
}

int CRegStringList::Save() {
  CMemFile file(kMemFileGrowth);
  try {
    CArchive archive(&file, CArchive::kStore, kArchiveBuffer);
    Serialize(archive);
    archive.Close();
  } catch (const CArchiveException&) {
    return -1;
  } catch (const CFileException&) {
    return -1;
  } catch (const std::bad_alloc&) {
    return -1;
  }
  if (file.GetLength() == 0) return -1;
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyEx(root_, subkey_, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                     &key, &disposition) != ERROR_SUCCESS)
    return -1;
  const LONG written = RegSetValueEx(key, valueName_, 0, REG_BINARY, file.Data(),
                                     static_cast<DWORD>(file.GetLength()));
  RegCloseKey(key);
  return written == ERROR_SUCCESS ? 0 : -1;
}

void CRegStringList::AddUniqueHead(const char* text) {
  if (text == nullptr || text[0] == '\0') return;
  for (POSITION place = GetHeadPosition(); place != nullptr;) {
    const POSITION here = place;
    if (GetNext(place).CompareNoCase(text) == 0) {
      RemoveAt(here);
      break;
    }
  }
  AddHead(CString(text));
}

void CRegStringList::RemoveEntry(const char* text) {
  if (text == nullptr || text[0] == '\0') return;
  if (const POSITION place = Find(CString(text)); place != nullptr) RemoveAt(place);
}

void CRegStringList::TrimToCount(int count) {
  while (GetCount() > count && GetCount() > 0) RemoveTail();
}

CString CRegStringList::GetAt(int index) const {
  const POSITION place = FindIndex(index);
  return place != nullptr ? framework::CStringList::GetAt(place) : CString();
}
