// Screen reading for the driver: a control's pixels compared with the system
// icons or a text drawn in this process; a window's picture saved to a file.
#include "Screen.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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

// Copies the screen's pixels of r (screen coordinates) into canvas.
bool CopyScreen(const Canvas& canvas, const RECT& r) {
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  const BOOL copied = BitBlt(canvas.Dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen,
                            r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return copied != 0;
}

COLORREF AsColorRef(DWORD pixel) {
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

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
  if (!shown.Ok() || !CopyScreen(shown, r)) return L"";
  // Icons leave their corners transparent: the corner shows the background.
  const COLORREF fill = AsColorRef(shown.Pixel(0, 0));

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

int TextPixelDifferences(HWND window, RECT part, HFONT font, const std::wstring& text,
                         COLORREF color) {
  RECT client{};
  if (!GetClientRect(window, &client)) return -1;
  InflateRect(&part, kTextShift, kTextShift);
  if (!IntersectRect(&part, &part, &client)) return -1;
  RECT onScreen = part;
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
  const int w = part.right - part.left, h = part.bottom - part.top;
  Canvas shown(w, h);
  if (!shown.Ok() || !CopyScreen(shown, onScreen)) return -1;
  std::map<DWORD, int> counts;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ++counts[shown.Pixel(x, y)];
  DWORD background = 0;
  int most = 0;
  for (const auto& [pixel, n] : counts)
    if (n > most) most = n, background = pixel;
  int best = -1;
  for (int dy = -kTextShift; dy <= kTextShift; ++dy) {
    for (int dx = -kTextShift; dx <= kTextShift; ++dx) {
      Canvas drawn(w, h);
      if (!drawn.Ok()) return -1;
      HBRUSH brush = CreateSolidBrush(AsColorRef(background));
      RECT all{0, 0, w, h};
      FillRect(drawn.Dc(), &all, brush);
      DeleteObject(brush);
      HGDIOBJ old = SelectObject(drawn.Dc(), font);
      SetBkMode(drawn.Dc(), TRANSPARENT);
      SetTextColor(drawn.Dc(), color);
      RECT at{kTextShift + dx, kTextShift + dy, w, h};
      DrawTextW(drawn.Dc(), text.c_str(), static_cast<int>(text.size()), &at,
                DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(drawn.Dc(), old);
      const int diff = Differences(shown, drawn);
      if (best < 0 || diff < best) best = diff;
    }
  }
  return best;
}

bool SaveWindowImage(HWND window, const std::wstring& path) {
  RECT r{};
  if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top) return false;
  const int w = r.right - r.left, h = r.bottom - r.top;
  Canvas shown(w, h);
  if (!shown.Ok() || !CopyScreen(shown, r)) return false;
  const int rowBytes = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = w;
  info.biHeight = h;  // bottom-up rows
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(rowBytes * h);
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  std::vector<char> row(static_cast<std::size_t>(rowBytes), 0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const DWORD p = shown.Pixel(x, y);
      row[static_cast<std::size_t>(x) * 3] = static_cast<char>(p & 0xFF);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
    }
    out.write(row.data(), rowBytes);
  }
  return static_cast<bool>(out);
}

}  // namespace e2e
