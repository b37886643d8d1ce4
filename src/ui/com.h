// COM on the UI thread: the apartment and an owner for interface pointers.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace ui {

// COM, apartment-threaded, on the creating thread for the owner's lifetime.
class ComApartment {
  public:
    ComApartment() : m_ok(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (m_ok) {
            ::CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // False when the thread had COM in another mode; it can be used all the same.
    bool Initialised() const { return m_ok; }

  private:
    bool m_ok;
};

// Holds one reference to a COM object and releases it.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // For an out parameter; what was held before is released first.
    T** Put() {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset() {
        if (m_p) {
            std::exchange(m_p, nullptr)->Release();
        }
    }

  private:
    T* m_p = nullptr;
};

}  // namespace ui
