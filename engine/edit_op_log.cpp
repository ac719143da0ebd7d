#include "engine/edit_op_log.h"

#include <new>
#include <utility>

bool EditDataHolder::Open() {
  Reset();
  try {
    file_ = std::make_unique<platform::CMemFile>(kFileGrowBytes);
    archive_ = std::make_unique<platform::CArchive>(file_.get(), platform::CArchive::kStore,
                                                    kArchiveBufferBytes);
  } catch (const std::bad_alloc&) {
    Reset();
    return false;
  }
  return true;
}

void EditDataHolder::Reset() {
  archive_.reset();
  file_.reset();
}

void EditDataHolder::TakeFrom(EditDataHolder& other) {
  if (&other == this) return;
  Reset();
  file_ = std::move(other.file_);
  archive_ = std::move(other.archive_);
}

std::optional<std::vector<uint8_t>> EditDataHolder::TakeBytes() {
  if (!HasData()) return std::nullopt;
  std::optional<std::vector<uint8_t>> bytes;
  try {
    archive_->Close();
    const uint8_t* data = file_->Data();
    bytes.emplace(data, data + file_->GetLength());
  } catch (const platform::CFileException&) {
    bytes.reset();
  } catch (const std::bad_alloc&) {
    bytes.reset();
  }
  Reset();
  return bytes;
}

void CEditOpLog::BeginGroup() {
  active_ = 1;
  suppressed_ = 0;
  Clear();
}

void CEditOpLog::SetSuppressed(int32_t value) {
  suppressed_ = value;
  Clear();
}

EditDataHolder* CEditOpLog::OpenDataArchive() { return current_.Open() ? &current_ : nullptr; }

void CEditOpLog::AddOperation(int32_t kind, const CVedTextPos* first, const CVedTextPos* second,
                              const CVedTextPos* third, EditDataHolder* holder, EditOpValue value) {
  if (IsSuppressed()) return;
  auto record = std::make_unique<EditOpRecord>();
  record->kind = kind;
  if (first != nullptr) record->first = *first;
  if (second != nullptr) record->second = *second;
  if (third != nullptr) record->third = *third;
  record->value = std::move(value);
  records_.push_back(std::move(record));
  // Taken only once the operation is logged, so that content is never lost
  // between the holder and the record.
  if (holder != nullptr) records_.back()->data.TakeFrom(*holder);
}

int32_t CEditOpLog::Rewind() {
  next_ = 0;
  return static_cast<int32_t>(records_.size());
}

EditOpRecord* CEditOpLog::GetNext() {
  if (next_ >= records_.size()) return nullptr;
  return records_[next_++].get();
}

void CEditOpLog::Clear() {
  records_.clear();
  records_.shrink_to_fit();
  // The iterator must not outlive the records it walked.
  next_ = 0;
}
