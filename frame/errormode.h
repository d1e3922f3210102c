// The process error mode for the lifetime of a scope, then put back.  Used
// around loads and drive queries that must not make the system prompt.
#pragma once
#include <windows.h>

namespace gt {

class ErrorModeScope {
public:
    explicit ErrorModeScope(UINT mode) : previous_(SetErrorMode(mode)) {}
    ~ErrorModeScope() { SetErrorMode(previous_); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

private:
    UINT previous_;
};

}  // namespace gt
