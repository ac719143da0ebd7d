#include "dialogs/product_profile.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/paths.h"
#include "platform/profile.h"

using framework::CString;
using namespace platform;

namespace {

constexpr char kMakerRoot[] = "Software\\ZNT";
constexpr char kSeparator = '\\';
constexpr char kDirectoriesKey[] = "Directories";
constexpr char kProductDirValue[] = "ProductDir";
constexpr char kProductFileValue[] = "ProductFile";
constexpr char kSpeechServerProduct[] = "Orvo";
constexpr DWORD kProductDirSize = 261;
constexpr DWORD kProductFileSize = 257;

REGSAM AccessFor(HKEY root) { return root == HKEY_LOCAL_MACHINE ? KEY_READ : KEY_ALL_ACCESS; }

// The string value into `buffer`; false unless it is a string that fits.
bool ReadString(CProductProfile& profile, const char* name, char* buffer, DWORD size) {
  DWORD stored = size;
  if (profile.QueryValue(name, buffer, &stored) != ERROR_SUCCESS || stored == 0) return false;
  buffer[std::min(stored, size) - 1] = '\0';
  return true;
}

struct ProductPaths {
  char folder[kProductDirSize] = {};
  char file[kProductFileSize] = {};
};

bool FindIn(HKEY root, const char* product, ProductPaths& found) {
  CProductProfile profile;
  profile.root = root;
  profile.SetProduct(product);
  if (profile.Open(kDirectoriesKey) != ERROR_SUCCESS) return false;
  return ReadString(profile, kProductDirValue, found.folder, sizeof found.folder) &&
         ReadString(profile, kProductFileValue, found.file, sizeof found.file);
}

// `part` without one leading backslash.
std::string_view WithoutLeadingSeparator(const CString& part) {
  std::string_view text = part.View();
  if (!text.empty() && text.front() == kSeparator) text.remove_prefix(1);
  return text;
}

}  // namespace

CProductProfile::~CProductProfile() { Close(); }

LONG CProductProfile::Close() {
  if (key_ == nullptr) return ERROR_SUCCESS;
  const LONG result = RegCloseKey(key_);
  key_ = nullptr;
  return result;
}

int CProductProfile::BuildPath(CString& path, const char* keyName) const {
  path = kMakerRoot;
  if (!product_.IsEmpty()) path = CString(JoinPath(path.View(), product_.View()));
  if (keyName != nullptr && keyName[0] != '\0') path = CString(JoinPath(path.View(), keyName));
  return path.GetLength();
}

void CProductProfile::SetProduct(const char* product) {
  product_ = product;
  BuildPath(fullPath_, nullptr);
}

LONG CProductProfile::Open(const char* keyName) {
  Close();
  BuildPath(fullPath_, keyName);
  const LONG result = RegOpenKeyEx(root, fullPath_, 0, AccessFor(root), &key_);
  if (result != ERROR_SUCCESS) key_ = nullptr;
  return result;
}

LONG CProductProfile::SetDword(const char* name, DWORD value) {
  return RegSetValueEx(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
}

LONG CProductProfile::SetString(const char* name, const char* text) {
  if (text == nullptr) return ERROR_INVALID_PARAMETER;
  return RegSetValueEx(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(std::strlen(text) + 1));
}

LONG CProductProfile::QueryValue(const char* name, void* buffer, DWORD* size) {
  return RegQueryValueEx(key_, name, nullptr, nullptr, static_cast<BYTE*>(buffer), size);
}

int CProductProfile::GetIniInt(const char* key, int defaultValue) const {
  return static_cast<int>(GetPrivateProfileInt(iniSection_, key, defaultValue, iniFile_));
}

DWORD CProductProfile::GetIniString(const char* key, char* buffer, DWORD size) const {
  return GetIniStringDef(key, "", buffer, size);
}

DWORD CProductProfile::GetIniStringDef(const char* key, const char* defaultValue, char* buffer,
                                       DWORD size) const {
  return GetPrivateProfileString(iniSection_, key, defaultValue, buffer, size, iniFile_);
}

int FindProductPath(const char* product, char* path) {
  ProductPaths found;
  bool ok = FindIn(HKEY_LOCAL_MACHINE, product, found);
  if (!ok) {
    // A machine key that lacks either value is looked up again, whole.
    found = ProductPaths{};
    ok = FindIn(HKEY_CURRENT_USER, product, found);
  }
  if (path != nullptr) {
    const std::string joined = ok ? JoinPath(found.folder, found.file) : std::string();
    const size_t length = std::min(joined.size(), static_cast<size_t>(kProductPathSize - 1));
    std::memcpy(path, joined.data(), length);
    path[length] = '\0';
  }
  return ok ? 1 : 0;
}

int CProductPathFinder::FindSpeechServerPath(char* path) {
  return FindProductPath(kSpeechServerProduct, path);
}

CRegValueReader::~CRegValueReader() { Reset(); }

void CRegValueReader::SetKey(HKEY root, const char* keyPath, const char* subkeyPath) {
  Reset();
  root_ = root;
  keyPath_ = keyPath;
  subkeyPath_ = subkeyPath;
  chosenAccess_ = AccessFor(root);
}

void CRegValueReader::Reset() {
  if (key_ != nullptr) RegCloseKey(key_);
  key_ = nullptr;
  root_ = nullptr;
  open_ = 0;
  keyPath_.Empty();
  subkeyPath_.Empty();
  chosenAccess_ = 0;
  usedAccess_ = 0;
}

int CRegValueReader::Open() {
  if (open_ != 0) return open_;
  CString path;
  BuildPath(path);
  usedAccess_ = chosenAccess_;
  if (RegOpenKeyEx(root_, path, 0, usedAccess_, &key_) == ERROR_SUCCESS) {
    open_ = 1;
  } else {
    key_ = nullptr;
  }
  return open_;
}

void CRegValueReader::BuildPath(CString& path) const {
  const std::string_view key = WithoutLeadingSeparator(keyPath_);
  const std::string_view subkey = WithoutLeadingSeparator(subkeyPath_);
  path = CString(key.empty() || subkey.empty() ? std::string(key.empty() ? subkey : key)
                                               : JoinPath(key, subkey));
}

DWORD CRegValueReader::GetValueSize(const char* name) {
  if (!Open()) return 0;
  DWORD size = 0;
  if (RegQueryValueEx(key_, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return 0;
  return size;
}

const CString& CRegValueReader::GetString(const char* name, CString& text,
                                          const char* defaultValue) {
  text = defaultValue;
  const DWORD size = GetValueSize(name);
  if (size == 0) return text;
  std::vector<char> buffer(size + 1, '\0');
  DWORD stored = size;
  if (RegQueryValueEx(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()),
                      &stored) == ERROR_SUCCESS)
    text = CString(buffer.data());
  return text;
}
