// The system's error codes, answered by the registry calls and kept per
// thread as the last error by the calls that report through it.
#pragma once

#include <cstdint>

namespace platform {

using LONG = int32_t;

enum : LONG {
  ERROR_SUCCESS = 0,
  ERROR_FILE_NOT_FOUND = 2,
  ERROR_PATH_NOT_FOUND = 3,
  ERROR_ACCESS_DENIED = 5,
  ERROR_INVALID_HANDLE = 6,
  ERROR_NOT_ENOUGH_MEMORY = 8,
  ERROR_FILE_EXISTS = 80,
  ERROR_INVALID_PARAMETER = 87,
  ERROR_INSUFFICIENT_BUFFER = 122,
  ERROR_INVALID_NAME = 123,
  ERROR_ALREADY_EXISTS = 183,
  ERROR_MORE_DATA = 234,
  ERROR_NO_MORE_ITEMS = 259,
  ERROR_KEY_DELETED = 1018,
};

uint32_t GetLastError();
void SetLastError(uint32_t error);

}  // namespace platform
