// Owners for the Windows handles and COM pointers the codec adapters use: each
// one releases or closes what it holds when it goes out of scope.
#pragma once
#include <windows.h>

#include <oleauto.h>

#include <string>

namespace tavro {

template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held first.
    T** out() {
        reset();
        return &p_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }

  private:
    T* p_ = nullptr;
};

class RegKey {
  public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    bool open(HKEY root, const std::string& path, REGSAM view = 0) {
        return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key_) == ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

// A VARIANT that is always cleared.
class ScopedVariant {
  public:
    ScopedVariant() { VariantInit(&v_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { VariantClear(&v_); }
    VARIANT* get() { return &v_; }

  private:
    VARIANT v_;
};

// Text conversions at the platform border, in the system's ANSI code page.
std::string narrowText(const wchar_t* text, size_t length);
std::wstring widenText(const std::string& text);

} // namespace tavro
