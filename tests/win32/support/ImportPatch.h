// Faults made inside the test program: one function this program imports from a system
// library is replaced by the test's own for as long as the object lives. The program under
// test is linked into the test program, so its calls go through the same import slots.
#pragma once

#include <windows.h>

class ImportReplacement {
  public:
    // Replaces `function` of `module` (e.g. "kernel32.dll", "WriteFile"); throws when this
    // program does not import it.
    ImportReplacement(const char* module, const char* function, void* replacement);
    ~ImportReplacement();
    ImportReplacement(const ImportReplacement&) = delete;
    ImportReplacement& operator=(const ImportReplacement&) = delete;

    // The system's own function, for the replacement to call on.
    template <typename Function> Function Original() const { return reinterpret_cast<Function>(original_); }

  private:
    ULONG_PTR* slot_ = nullptr;
    void* original_ = nullptr;
};
