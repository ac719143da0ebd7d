// Root of the framework's class tree: a virtual destructor and a
// serialisation hook that stores nothing unless a class overrides it.
#pragma once

namespace platform {

class CArchive;

class CObject {
 public:
  virtual ~CObject() = default;
  virtual void Serialize(CArchive& /*archive*/) {}

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

}  // namespace platform
