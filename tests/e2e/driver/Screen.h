// Reads what the screen shows: which system icon a dialog's icon control
// draws, by its pixels.
//
//   std::wstring kind = IdentifySystemIcon(iconStatic);  // L"error"
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Returns "error", "information", "warning" or "question" for the system icon
// that the control shows on the screen, or "" when none matches. Icon handles
// of another process cannot be compared or read under Wine, so the control's
// pixels are compared with each system icon drawn here on the same background.
std::wstring IdentifySystemIcon(HWND iconControl);

}  // namespace e2e
