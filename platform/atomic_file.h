// Whole-file reads and writes for the files the program keeps settings
// in. A write goes to a temporary file in the same folder, is forced to
// disk and renamed over the old file, so that a crash at any point leaves
// the old content or the new, whole.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// nullopt when the file cannot be read; `missing` tells a file that is
// not there from one that cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path, bool* missing = nullptr);

// Replaces the file's content. A new file gets `mode`; a file that was
// there keeps its own permissions. `beforeReplace` runs once the new
// content is on disk, before it takes the old one's place.
bool WriteFileAtomically(const std::string& path, std::string_view content, mode_t mode,
                         const std::function<void()>& beforeReplace = {});

// Makes the folder with any parents missing, each new one with `mode`.
bool MakeFolders(const std::string& path, mode_t mode);

// The folder part of a host path ("." for a bare name).
std::string FolderOf(const std::string& path);

// An exclusive lock on a file, held while the object lives; processes
// taking the same lock wait for each other. The lock is let go when its
// process ends, however it ends.
class FileLock {
 public:
  explicit FileLock(const std::string& lockPath);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace platform
