#include "model/position.h"

#include <algorithm>

CVedTextPos::CVedTextPos(const CVedTextPos& other)
    : platform::CObject(other),
      pairs(other.pairs),
      depth(static_cast<int32_t>(other.pairs.size())) {}

CVedTextPos& CVedTextPos::operator=(const CVedTextPos& other) {
  if (this == &other) return *this;
  pairs = other.pairs;
  depth = static_cast<int32_t>(pairs.size());
  return *this;
}

bool CVedTextPos::operator==(const CVedTextPos& other) const {
  if (depth <= 0 && other.depth <= 0) return true;
  if (depth != other.depth) return false;
  const auto n = static_cast<size_t>(depth);
  if (pairs.size() < n || other.pairs.size() < n) return false;
  return std::equal(pairs.begin(), pairs.begin() + depth, other.pairs.begin());
}

void CVedTextPos::Append(PosPair pair) {
  pairs.push_back(pair);
  ++depth;
}

void CVedTextPos::PrependChild(int32_t index) {
  if (depth <= 0) return;
  pairs.insert(pairs.begin(), PosPair{kTagChildIndex, index});
  ++depth;
}

void CVedTextPos::PrependPair(uint32_t tag, int32_t value) {
  pairs.insert(pairs.begin(), PosPair{tag, value});
  ++depth;
}

void CVedTextPos::PopFirstPair() {
  if (pairs.empty()) return;
  pairs.erase(pairs.begin());
  --depth;
}

StrippedPath StripStep(const CVedTextPos* path, int32_t defaultIndex) {
  if (path == nullptr || path->depth <= 0 || path->pairs.empty()) {
    return {PosPair{kTagChildIndex, defaultIndex}, std::nullopt};
  }
  CVedTextPos rest;
  rest.pairs.assign(path->pairs.begin() + 1, path->pairs.end());
  rest.depth = path->depth - 1;
  return {path->pairs.front(), std::move(rest)};
}

namespace {
constexpr uint64_t kStoredPairSize = 8;
}  // namespace

void WritePathPairs(platform::CArchive& archive, const CVedTextPos& path) {
  archive.WriteCount(static_cast<uint32_t>(path.pairs.size()));
  for (const PosPair& pair : path.pairs) {
    archive << pair.tag << pair.value;
  }
}

void ReadPathPairs(platform::CArchive& archive, CVedTextPos& path) {
  const uint32_t count = archive.ReadCount();
  if (count * kStoredPairSize > archive.RemainingBytes()) {
    throw platform::CArchiveException(platform::CArchiveException::kBadCount,
                                      "path longer than the archive");
  }
  std::vector<PosPair> pairs(count);
  for (PosPair& pair : pairs) {
    archive >> pair.tag >> pair.value;
  }
  path.pairs = std::move(pairs);
  path.depth = static_cast<int32_t>(count);
}

void CVedTag::CopyValues(const CVedTag& other) {
  value_ = other.GetValue();
  value2_ = other.GetValue2();
}

void CVedAnchor::CopyFrom(const CVedAnchor& other) {
  CopyValues(other);
  if (this != &other) position = other.position;
}
