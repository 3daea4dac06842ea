#pragma once
// Scoped owners of Win32 handles and COM pointers, shared by both plug-in DLLs, the setup program and
// the uninstaller. Each owner releases its handle the way it was obtained, exactly once, and cannot be
// copied: a handle has one owner. Borrowed handles (the skin bitmaps and sprites the editor lends to
// its controls) stay plain handles.

#include <windows.h>

#include <string>
#include <utility>

namespace qv {

// A DC from GetDC (or GetDCEx), given back with ReleaseDC. A null window gives the screen's DC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(HWND window, DWORD flags) : window_(window), dc_(GetDCEx(window, nullptr, flags)) {}
    ~WindowDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A memory DC from CreateCompatibleDC, deleted with DeleteDC.
class CompatibleDC {
public:
    explicit CompatibleDC(HDC reference) : dc_(CreateCompatibleDC(reference)) {}
    ~CompatibleDC()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    CompatibleDC(const CompatibleDC&) = delete;
    CompatibleDC& operator=(const CompatibleDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back. A null object selects nothing.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject()
    {
        if (old_ && old_ != HGDI_ERROR)
            SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    // False when nothing was selected (a null DC or object, or a failed selection).
    explicit operator bool() const { return old_ && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A palette selected into a DC, put back on leaving the way it was selected.
class SelectedPalette {
public:
    SelectedPalette(HDC dc, HPALETTE palette, bool background = false)
        : dc_(dc), background_(background ? TRUE : FALSE),
          old_(dc && palette ? SelectPalette(dc, palette, background_) : nullptr)
    {}
    ~SelectedPalette()
    {
        if (old_)
            SelectPalette(dc_, old_, background_);
    }
    SelectedPalette(const SelectedPalette&) = delete;
    SelectedPalette& operator=(const SelectedPalette&) = delete;

private:
    HDC dc_;
    BOOL background_;
    HPALETTE old_;
};

// An owned GDI object (bitmap, brush, pen, font, palette, region), deleted with DeleteObject.
template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) : handle_(handle) {}
    ~GdiObject() { reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : handle_(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(H handle = nullptr)
    {
        if (handle_ && handle_ != handle)
            DeleteObject(handle_);
        handle_ = handle;
    }
    H release() { return std::exchange(handle_, nullptr); }

private:
    H handle_ = nullptr;
};

using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;
using Palette = GdiObject<HPALETTE>;

// An open registry key, closed with RegCloseKey.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { reset(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    // For RegOpenKeyEx and RegCreateKeyEx: closes what is held and hands out the slot.
    HKEY* put()
    {
        reset();
        return &key_;
    }
    void reset()
    {
        if (key_)
            RegCloseKey(key_);
        key_ = nullptr;
    }
    LONG open(HKEY root, const char* path, REGSAM access)
    {
        LONG result = RegOpenKeyExA(root, path, 0, access, put());
        if (result != ERROR_SUCCESS)
            key_ = nullptr;
        return result;
    }
    // Opens the key, making it (and the keys above it) when missing.
    LONG create(HKEY root, const char* path, REGSAM access)
    {
        LONG result = RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, put(), nullptr);
        if (result != ERROR_SUCCESS)
            key_ = nullptr;
        return result;
    }

private:
    HKEY key_ = nullptr;
};

// A string value of the key at `path`, at most MAX_PATH bytes (a stored value need not end with its
// NUL); false when the key or the value is missing or not a string.
inline bool readRegistryString(HKEY root, const char* path, const char* name, std::string& out)
{
    RegKey key;
    if (key.open(root, path, KEY_READ) != ERROR_SUCCESS)
        return false;
    char buffer[MAX_PATH + 1] = {};
    DWORD type = 0;
    DWORD size = MAX_PATH;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    buffer[size < MAX_PATH ? size : MAX_PATH] = '\0';
    out = buffer;
    return true;
}

// A COM pointer that holds one reference and releases it. Not copyable: a copy would hide an AddRef.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(other.detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other)
            attach(other.detach());
        return *this;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    // For a call that hands out a new reference: releases what is held and lends the slot.
    T** put()
    {
        reset();
        return &p_;
    }
    // Holds `p` with a reference of its own.
    void reset(T* p = nullptr)
    {
        if (p)
            p->AddRef();
        if (p_)
            p_->Release();
        p_ = p;
    }
    // Takes over the caller's reference to `p`.
    void attach(T* p)
    {
        if (p_)
            p_->Release();
        p_ = p;
    }
    // Hands the reference on without releasing it.
    T* detach() { return std::exchange(p_, nullptr); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// readRegistryString under HKEY_LOCAL_MACHINE, as the platform-free lookups take it.
struct MachineRegistry {
    bool operator()(const char* path, const char* name, std::string& out) const
    {
        return readRegistryString(HKEY_LOCAL_MACHINE, path, name, out);
    }
};

// A menu from CreatePopupMenu or LoadMenu, destroyed with DestroyMenu.
class Menu {
public:
    explicit Menu(HMENU menu = nullptr) : menu_(menu) {}
    ~Menu()
    {
        if (menu_)
            DestroyMenu(menu_);
    }
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;
    HMENU get() const { return menu_; }
    explicit operator bool() const { return menu_ != nullptr; }

private:
    HMENU menu_;
};

}  // namespace qv
