// RAII owners for the Win32 handles the platform, jwsim and the test driver take, so that
// every early return gives back what was taken.
#pragma once

#include "platform/win32/WinInclude.h"

#include <utility>

namespace platform {

// A kernel handle released with CloseHandle. Treats both NULL and INVALID_HANDLE_VALUE as
// "none", since CreateFile and CreateProcess disagree on which one means failure.
class ScopedHandle {
  public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE h) : h_(h) {}
    ScopedHandle(ScopedHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            Close();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Close(); }

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    // Closes now and reports whether the close succeeded (a file's last chance to fail).
    bool Close() {
        bool ok = true;
        if (valid()) {
            ok = ::CloseHandle(h_) != FALSE;
        }
        h_ = nullptr;
        return ok;
    }

  private:
    HANDLE h_ = nullptr;
};

class ScopedRegKey {
  public:
    ScopedRegKey() = default;
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;
    ~ScopedRegKey() {
        if (key_ != nullptr) {
            ::RegCloseKey(key_);
        }
    }
    HKEY get() const { return key_; }
    HKEY* out() { return &key_; }

  private:
    HKEY key_ = nullptr;
};

// Locks a global memory block for the lifetime of the object.
class ScopedGlobalLock {
  public:
    explicit ScopedGlobalLock(HANDLE mem) : mem_(mem), data_(mem ? ::GlobalLock(mem) : nullptr) {}
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    ~ScopedGlobalLock() {
        if (data_ != nullptr) {
            ::GlobalUnlock(mem_);
        }
    }
    void* data() const { return data_; }
    SIZE_T size() const { return data_ ? ::GlobalSize(mem_) : 0; }

  private:
    HANDLE mem_;
    void* data_;
};

}  // namespace platform
