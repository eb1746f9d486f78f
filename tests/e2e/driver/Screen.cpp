// Screen reading for the driver: a control's pixels compared with the system
// icons drawn in this process.
#include "Screen.h"

#include <cstdlib>
#include <vector>

namespace e2e {

namespace {

// Owns a memory bitmap selected into a memory DC, with its pixels readable.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                               nullptr, 0);
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    if (dc_ && old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  bool Ok() const { return dc_ && bitmap_ && bits_; }
  HDC Dc() const { return dc_; }
  DWORD Pixel(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
};

bool Near(DWORD a, DWORD b) {
  for (int shift = 0; shift < 24; shift += 8) {
    int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(d) > 48) return false;
  }
  return true;
}

// Returns how many pixels differ between the two canvases.
int Differences(const Canvas& a, const Canvas& b) {
  int n = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (!Near(a.Pixel(x, y), b.Pixel(x, y))) ++n;
  return n;
}

struct SystemIcon {
  LPCWSTR id;
  const wchar_t* kind;
};

const SystemIcon kSystemIcons[] = {
    {IDI_ERROR, L"error"},
    {IDI_INFORMATION, L"information"},
    {IDI_WARNING, L"warning"},
    {IDI_QUESTION, L"question"},
};

}  // namespace

std::wstring IdentifySystemIcon(HWND iconControl) {
  RECT r{};
  if (!GetClientRect(iconControl, &r) || r.right <= 0 || r.bottom <= 0) return L"";
  MapWindowPoints(iconControl, nullptr, reinterpret_cast<POINT*>(&r), 2);
  const int w = r.right - r.left, h = r.bottom - r.top;
  Canvas shown(w, h);
  if (!shown.Ok()) return L"";
  HDC screen = GetDC(nullptr);
  if (!screen) return L"";
  const BOOL copied = BitBlt(shown.Dc(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  if (!copied) return L"";
  // Icons leave their corners transparent: the corner shows the background.
  const DWORD background = shown.Pixel(0, 0);
  const COLORREF fill = RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);

  std::wstring best;
  int bestDiff = w * h;
  for (const auto& icon : kSystemIcons) {
    Canvas drawn(w, h);
    if (!drawn.Ok()) continue;
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all{0, 0, w, h};
    FillRect(drawn.Dc(), &all, brush);
    DeleteObject(brush);
    HICON handle = LoadIconW(nullptr, icon.id);  // shared: not destroyed
    if (!handle || !DrawIconEx(drawn.Dc(), 0, 0, handle, w, h, 0, nullptr, DI_NORMAL)) continue;
    const int diff = Differences(shown, drawn);
    if (diff < bestDiff) {
      bestDiff = diff;
      best = icon.kind;
    }
  }
  // Allow a few pixels of blending; anything more is another picture.
  return bestDiff * 20 <= w * h ? best : L"";
}

}  // namespace e2e
