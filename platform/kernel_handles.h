// Internal: the process's table of kernel-object handles, shared by the
// named objects and the processes so that one CloseHandle closes either.
#pragma once

#include <memory>

#include "platform/kernel_objects.h"

namespace platform {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

HANDLE AddKernelHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> FindKernelHandle(HANDLE handle);
// The object behind `handle` when it is a T; null otherwise.
template <class T>
std::shared_ptr<T> FindKernelHandleAs(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(FindKernelHandle(handle));
}

}  // namespace platform
