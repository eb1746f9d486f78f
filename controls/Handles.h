// Owning wrappers for the GDI and window handles of the component layer.
//
//   GdiObject<HFONT> font(CreateFontIndirectW(&lf));
//   SelectObject(dc, font.get());
#pragma once

#include <windows.h>

#include <utility>

// Owns one GDI object (font, brush) and deletes it.
template <class H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H h) : h_(h) {}
  GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    reset(std::exchange(o.h_, nullptr));
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { reset(); }
  H get() const { return h_; }
  void reset(H h = nullptr) {
    if (h_ != nullptr) DeleteObject(h_);  // nothing to do if it fails
    h_ = h;
  }

 private:
  H h_ = nullptr;
};

// Owns a screen device context taken with GetDC(nullptr).
class ScreenDC {
 public:
  ScreenDC() : dc_(GetDC(nullptr)) {}
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  ~ScreenDC() {
    if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a DC for the lifetime of the guard.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  ~SelectGuard() {
    if (old_ != nullptr) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Owns a window and destroys it.
class WindowHandle {
 public:
  WindowHandle() = default;
  explicit WindowHandle(HWND h) : h_(h) {}
  WindowHandle(const WindowHandle&) = delete;
  WindowHandle& operator=(const WindowHandle&) = delete;
  ~WindowHandle() { reset(); }
  HWND get() const { return h_; }
  void reset(HWND h = nullptr) {
    if (h_ != nullptr && IsWindow(h_)) DestroyWindow(h_);  // already gone: nothing to do
    h_ = h;
  }

 private:
  HWND h_ = nullptr;
};
