// RAII owners for the Win32 handles the program keeps. Each owner closes its
// handle exactly once and can be moved but not copied.
#pragma once

#include <windows.h>

#include <utility>

namespace ui {

template <typename T, typename Traits>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : m_h(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    T Get() const { return m_h; }
    explicit operator bool() const { return Traits::IsValid(m_h); }
    T Release() { return std::exchange(m_h, Traits::Invalid()); }
    void Reset(T h = Traits::Invalid()) {
        if (Traits::IsValid(m_h)) {
            Traits::Close(m_h);
        }
        m_h = h;
    }

  private:
    T m_h = Traits::Invalid();
};

template <typename T, auto CloseFn, T InvalidValue = nullptr>
struct SimpleTraits {
    static constexpr T Invalid() { return InvalidValue; }
    static bool IsValid(T h) { return h != InvalidValue; }
    static void Close(T h) { CloseFn(h); }
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};

inline void DeleteGdiObject(HGDIOBJ h) {
    ::DeleteObject(h);
}

using UniqueMenu = UniqueHandle<HMENU, SimpleTraits<HMENU, ::DestroyMenu>>;
using UniqueIcon = UniqueHandle<HICON, SimpleTraits<HICON, ::DestroyIcon>>;
using UniqueBitmap = UniqueHandle<HBITMAP, SimpleTraits<HBITMAP, DeleteGdiObject>>;
using UniqueBrush = UniqueHandle<HBRUSH, SimpleTraits<HBRUSH, DeleteGdiObject>>;
using UniqueMemoryDC = UniqueHandle<HDC, SimpleTraits<HDC, ::DeleteDC>>;
using UniqueGlobal = UniqueHandle<HGLOBAL, SimpleTraits<HGLOBAL, ::GlobalFree>>;
using UniqueHandleK = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueHook = UniqueHandle<HHOOK, SimpleTraits<HHOOK, ::UnhookWindowsHookEx>>;
using UniqueModule = UniqueHandle<HMODULE, SimpleTraits<HMODULE, ::FreeLibrary>>;

// Keeps a GDI object selected into a DC for one scope.
class SelectObjectScope {
  public:
    SelectObjectScope(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(::SelectObject(dc, obj)) {}
    ~SelectObjectScope() { ::SelectObject(m_dc, m_old); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

  private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A global memory block locked for one scope.
template <typename T>
class GlobalLock {
  public:
    explicit GlobalLock(HGLOBAL h) : m_h(h), m_p(static_cast<T*>(h ? ::GlobalLock(h) : nullptr)) {}
    ~GlobalLock() {
        if (m_p) {
            ::GlobalUnlock(m_h);
        }
    }
    GlobalLock(const GlobalLock&) = delete;
    GlobalLock& operator=(const GlobalLock&) = delete;
    T* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

  private:
    HGLOBAL m_h;
    T* m_p;
};

// The clipboard, open for one scope. Opening fails at once when another
// program holds it; callers that must succeed retry on their own schedule.
class ClipboardScope {
  public:
    explicit ClipboardScope(HWND owner = nullptr) : m_open(::OpenClipboard(owner) != FALSE) {}
    ~ClipboardScope() {
        if (m_open) {
            ::CloseClipboard();
        }
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool IsOpen() const { return m_open; }

  private:
    bool m_open;
};

}  // namespace ui
