#include "platform/win_error.h"

namespace platform {
namespace {

thread_local uint32_t lastError = ERROR_SUCCESS;

}  // namespace

uint32_t GetLastError() { return lastError; }

void SetLastError(uint32_t error) { lastError = error; }

}  // namespace platform
