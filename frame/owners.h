// Owners of the library's own blocks and registry keys.  (GDI objects and
// device contexts have theirs in msgbox/mbxgdi.h.)
#pragma once
#include <windows.h>

#include "gtapi32.h"

namespace gt {

// A block of the library's allocator, released on scope exit unless taken.
class Block {
public:
    explicit Block(void* p) : p_(p) {}
    ~Block() {
        if (p_) gtGlobalFreePtr(p_);
    }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    void* get() const { return p_; }
    void* release() {
        void* p = p_;
        p_ = nullptr;
        return p;
    }

private:
    void* p_;
};

// An open registry key.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { reset(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY get() const { return key_; }
    HKEY* out() {
        reset();
        return &key_;
    }
    HKEY release() {
        HKEY k = key_;
        key_ = nullptr;
        return k;
    }
    explicit operator bool() const { return key_ != nullptr; }
    void reset() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace gt
