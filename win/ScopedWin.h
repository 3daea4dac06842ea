#pragma once
// Scoped owners of Win32 handles and COM pointers, shared by both plug-in DLLs, the setup program and
// the uninstaller. Each owner releases its handle the way it was obtained, exactly once, and cannot be
// copied: a handle has one owner. Borrowed handles (the skin bitmaps and sprites the editor lends to
// its controls) stay plain handles.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <utility>

namespace qv {

// The owner of one handle. `Traits` says what the handle is and how it goes:
//   using Handle = ...;               the handle's type
//   static Handle invalid();          the value that holds nothing (null, or INVALID_HANDLE_VALUE for files)
//   static void close(Handle);        gives back a handle that is not invalid()
// A function, not a constant, because INVALID_HANDLE_VALUE is a cast no constant expression allows.
template <class Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::invalid(); }
    // Gives back what is held, unless it is `handle` itself, and holds `handle`.
    void reset(Handle handle = Traits::invalid())
    {
        if (handle_ != Traits::invalid() && handle_ != handle)
            Traits::close(handle_);
        handle_ = handle;
    }
    // Hands the handle on without giving it back.
    Handle release() { return std::exchange(handle_, Traits::invalid()); }
    // For a call that hands out a new handle: gives back what is held and lends the slot.
    Handle* put()
    {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::invalid();
};

// A DC from GetDC (or GetDCEx), given back with ReleaseDC. A null window gives the screen's DC. Not a
// ScopedHandle: giving it back needs the window too.
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

// A DC we made (CreateCompatibleDC, CreateDC), deleted with DeleteDC.
struct MadeDCTraits {
    using Handle = HDC;
    static Handle invalid() { return nullptr; }
    static void close(Handle dc) { DeleteDC(dc); }
};

// A memory DC compatible with `reference`. It makes its DC itself, so that the reference DC, of the
// same type, can never be taken over by mistake.
class CompatibleDC : public ScopedHandle<MadeDCTraits> {
public:
    explicit CompatibleDC(HDC reference) : ScopedHandle(CreateCompatibleDC(reference)) {}
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
struct GdiObjectTraits {
    using Handle = H;
    static Handle invalid() { return nullptr; }
    static void close(Handle object) { DeleteObject(object); }
};
template <class H>
using GdiObject = ScopedHandle<GdiObjectTraits<H>>;

using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Font = GdiObject<HFONT>;
using Palette = GdiObject<HPALETTE>;

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static void close(Handle key) { RegCloseKey(key); }
};

// An open registry key, closed with RegCloseKey.
class RegKey : public ScopedHandle<RegKeyTraits> {
public:
    LONG open(HKEY root, const char* path, REGSAM access)
    {
        LONG result = RegOpenKeyExA(root, path, 0, access, put());
        if (result != ERROR_SUCCESS)
            release();
        return result;
    }
    // Opens the key, making it (and the keys above it) when missing.
    LONG create(HKEY root, const char* path, REGSAM access)
    {
        LONG result = RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, put(), nullptr);
        if (result != ERROR_SUCCESS)
            release();
        return result;
    }
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
struct MenuTraits {
    using Handle = HMENU;
    static Handle invalid() { return nullptr; }
    static void close(Handle menu) { DestroyMenu(menu); }
};
using Menu = ScopedHandle<MenuTraits>;

// An icon from LoadImage or CreateIconIndirect (not a shared one), destroyed with DestroyIcon.
struct IconTraits {
    using Handle = HICON;
    static Handle invalid() { return nullptr; }
    static void close(Handle icon) { DestroyIcon(icon); }
};
using Icon = ScopedHandle<IconTraits>;

// An image list from ImageList_Create, destroyed with ImageList_Destroy (a program using it links
// comctl32).
struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle invalid() { return nullptr; }
    static void close(Handle images) { ImageList_Destroy(images); }
};
using ImageList = ScopedHandle<ImageListTraits>;

// A file from CreateFile, closed with CloseHandle. A failed CreateFile gives INVALID_HANDLE_VALUE, not null.
struct FileTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Handle file) { CloseHandle(file); }
};
using ScopedFile = ScopedHandle<FileTraits>;

// A DLL from LoadLibrary, freed with FreeLibrary.
struct LibraryTraits {
    using Handle = HMODULE;
    static Handle invalid() { return nullptr; }
    static void close(Handle module) { FreeLibrary(module); }
};
using ScopedLibrary = ScopedHandle<LibraryTraits>;

}  // namespace qv
