// Reads what the screen shows: which system icon a dialog's icon control
// draws, whether a control shows a text in a given font, by their pixels;
// and saves a window's picture.
//
//   std::wstring kind = IdentifySystemIcon(iconStatic);  // L"error"
//   SaveWindowImage(mainWindow, L"Z:\\tmp\\shot.bmp");
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Returns "error", "information", "warning" or "question" for the system icon
// that the control shows on the screen, or "" when none matches. Icon handles
// of another process cannot be compared or read under Wine, so the control's
// pixels are compared with each system icon drawn here on the same background.
std::wstring IdentifySystemIcon(HWND iconControl);

// Returns how many pixels of part (client coordinates of window) differ
// from text drawn here in font and color, from part's top-left corner, on
// the colour that most of the screen's pixels there have. The text may be
// placed up to kTextShift pixels off that corner either way (centred text
// rounds); the best placement counts. 0 means the window paints that text in
// that font there (anti-aliasing included: both are drawn by the same
// system). -1 when the screen cannot be read.
inline constexpr int kTextShift = 2;
int TextPixelDifferences(HWND window, RECT part, HFONT font, const std::wstring& text,
                         COLORREF color);

// Writes what the screen shows of the window (frame included) to a 24-bit
// BMP file; returns false when the screen or the file cannot be written.
bool SaveWindowImage(HWND window, const std::wstring& path);

}  // namespace e2e
