// The operations of one editing command, in the order the document root
// performed them. The engine reads them back after the command and turns
// them into undo records; the content an undo must re-insert travels with
// each operation in a memory file written through a storing archive.
#pragma once

#include <any>
#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "model/position.h"
#include "platform/archive.h"
#include "platform/file.h"

// A storing archive over its own memory file. Whoever holds it owns both;
// it can be handed on whole, or give up the bytes written into it.
class EditDataHolder {
 public:
  static constexpr size_t kFileGrowBytes = 4096;
  static constexpr size_t kArchiveBufferBytes = 4096;

  EditDataHolder() = default;
  ~EditDataHolder() { Reset(); }
  EditDataHolder(const EditDataHolder&) = delete;
  EditDataHolder& operator=(const EditDataHolder&) = delete;

  // Drops what is held and starts an empty file with its archive; false
  // (holding nothing) when memory runs out.
  bool Open();
  // Destroys the archive, then the file it writes into.
  void Reset();
  // Takes over what `other` holds, which then holds nothing.
  void TakeFrom(EditDataHolder& other);
  // Flushes the archive and answers every byte written, then holds
  // nothing. Nothing when no archive is held or the bytes could not be
  // flushed into the file.
  std::optional<std::vector<uint8_t>> TakeBytes();

  bool HasData() const { return archive_ != nullptr; }
  platform::CArchive* archive() const { return archive_.get(); }
  platform::CMemFile* file() const { return file_.get(); }

 private:
  // The archive writes into the file, so it must go first: the file is
  // declared first and therefore outlives it.
  std::unique_ptr<platform::CMemFile> file_;
  std::unique_ptr<platform::CArchive> archive_;
};

// The value an operation keeps besides its positions and content: nothing,
// a number (a column width) or a copy of a record (a paragraph record,
// format data, table attributes). It is always a copy: the records it is
// made from often live only as long as the operation that logged them,
// while the engine reads the log after the whole command.
class EditOpValue {
 public:
  EditOpValue() = default;

  template <typename T>
  static EditOpValue Of(const T& value) {
    static_assert(std::is_trivially_copyable_v<T> && !std::is_pointer_v<T> && !std::is_array_v<T>,
                  "an operation keeps plain records by value, never what they point at");
    EditOpValue made;
    made.value_ = value;
    return made;
  }

  bool IsEmpty() const { return !value_.has_value(); }
  // The kept value when it is of type T, else null.
  template <typename T>
  const T* Get() const {
    return std::any_cast<T>(&value_);
  }

 private:
  std::any value_;
};

struct EditOpRecord {
  int32_t kind = 0;  // the undo kind the engine turns this into
  CVedTextPos first;
  CVedTextPos second;
  CVedTextPos third;
  EditDataHolder data;
  EditOpValue value;
};

class CEditOpLog {
 public:
  CEditOpLog() = default;
  CEditOpLog(const CEditOpLog&) = delete;
  CEditOpLog& operator=(const CEditOpLog&) = delete;

  // Starts a command's group with an empty, unsuppressed log.
  void BeginGroup();
  void EndGroup() { active_ = 0; }
  // While suppressed nothing is logged; the engine then empties both undo
  // lists after the command. Either way the log is emptied.
  void SetSuppressed(int32_t value);

  // A fresh holder for the content of the next operation, replacing one
  // that was never handed to an operation; null when it cannot be made.
  // The holder stays the log's own until AddOperation takes its content.
  EditDataHolder* OpenDataArchive();

  // Appends an operation with copies of the positions (null ones stay
  // empty), taking the archive and file out of `holder`. While suppressed
  // nothing is logged and the holder keeps its content.
  void AddOperation(int32_t kind, const CVedTextPos* first, const CVedTextPos* second,
                    const CVedTextPos* third, EditDataHolder* holder, EditOpValue value = {});

  // Back to the first operation; answers how many there are.
  int32_t Rewind();
  // The next operation in logging order, or null after the last.
  EditOpRecord* GetNext();
  // Destroys every operation with its content.
  void Clear();

  bool IsActive() const { return active_ != 0; }
  bool IsSuppressed() const { return suppressed_ != 0; }

 private:
  std::vector<std::unique_ptr<EditOpRecord>> records_;
  int32_t active_ = 0;
  int32_t suppressed_ = 0;
  size_t next_ = 0;
  EditDataHolder current_;
};
