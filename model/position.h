// Position paths: every place in a document (the cursor, the ends of a
// selection or a changed range, the attachment point of a page record or a
// mark) is a list of steps from the document root down to a leaf object,
// outermost first. Each level of the tree reads its own step, keeps it and
// hands the rest down; on the way up it puts its step back in front.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/archive.h"
#include "platform/object.h"

// Container steps. Leaf objects define the tags of their own levels.
inline constexpr uint32_t kTagChildIndex = 0x901;
inline constexpr uint32_t kTagFreeCursor = 0xA01;

struct PosPair {
  uint32_t tag = 0;
  int32_t value = 0;
  bool operator==(const PosPair&) const = default;
};

class CVedTextPos : public platform::CObject {
 public:
  CVedTextPos() = default;
  // Copies take every pair; the copy's depth is the number of pairs.
  CVedTextPos(const CVedTextPos& other);
  CVedTextPos& operator=(const CVedTextPos& other);
  ~CVedTextPos() override = default;

  // Equal when the depths agree and the first `depth` pairs agree; any two
  // paths of depth 0 or less are equal.
  bool operator==(const CVedTextPos& other) const;

  std::vector<PosPair> pairs;
  int32_t depth = 0;

  bool IsEmpty() const { return depth <= 0; }
  // Appends a step at the innermost end.
  void Append(PosPair pair);
  // Puts a container step in front. An empty path stays empty, so that a
  // child's "nothing here" answer is passed up unchanged.
  void PrependChild(int32_t index);
  // Puts any pair in front (depth + 1) or takes the first off (depth - 1).
  void PrependPair(uint32_t tag, int32_t value);
  void PopFirstPair();
};

// One level's step and what it hands down.
struct StrippedPath {
  PosPair step;
  // The path without its first step (pair count and depth one less), or
  // nothing when the path was null or empty: the child then gets null.
  std::optional<CVedTextPos> rest;
  const CVedTextPos* RestOrNull() const { return rest ? &*rest : nullptr; }
};

// Strips the first step of a path. A null or empty path yields the step
// (child index, `defaultIndex`) and no rest.
StrippedPath StripStep(const CVedTextPos* path, int32_t defaultIndex);

// The stored form: the pair count in the archive's count form, then each
// pair as tag and value (int32 LE). The depth is not stored; loading sets it
// to the number of pairs. A count larger than the archive can hold raises
// CArchiveException before anything is allocated.
void WritePathPairs(platform::CArchive& archive, const CVedTextPos& path);
void ReadPathPairs(platform::CArchive& archive, CVedTextPos& path);

struct CVedTextRange {
  CVedTextPos start;
  CVedTextPos end;
};

// Two values tied to something; value2 of -1 means unset.
class CVedTag : public platform::CObject {
 public:
  static constexpr int32_t kUnset = -1;

  CVedTag() = default;
  CVedTag(int32_t value, int32_t value2) : value_(value), value2_(value2) {}
  ~CVedTag() override = default;

  virtual int32_t GetValue() const { return value_; }
  virtual void SetValue(int32_t value) { value_ = value; }
  virtual int32_t GetValue2() const { return value2_; }
  virtual void SetValue2(int32_t value2) { value2_ = value2; }
  virtual void ResetValue2() { value2_ = kUnset; }
  // Copies the two values only.
  virtual void CopyValues(const CVedTag& other);

 private:
  int32_t value_ = 0;
  int32_t value2_ = kUnset;
};

// A tag attached at a position: the page table's page records (kind 1,
// lines) and the document root's marks (kind 2, characters).
class CVedAnchor : public CVedTag {
 public:
  CVedAnchor() = default;
  ~CVedAnchor() override = default;

  // Copies the values and, unless source and target are one object, the
  // position.
  virtual void CopyFrom(const CVedAnchor& other);

  CVedTextPos position;
};
