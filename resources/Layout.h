// The main window's layout: one row per control, in creation order.
//
//   for (const LayoutRow& row : kMainLayout) CreateControl(row);
//
// Positions and sizes are pixels at 96 dots per inch, relative to the
// parent's client area; the window is built from this table alone. The
// table is portable data (no <windows.h>) so the host build can check it.
#pragma once

#include <cstddef>

#include "resources/ControlIds.h"

enum class ControlKind {
  PageControl,  // tab strip with pages (SysTabControl32)
  Page,         // one page of the page control
  GroupBox,     // framed container with a caption
  Panel,        // container with a raised one-pixel edge
  Label,        // static text
  LinkLabel,    // static text drawn as a web link, clickable
  Edit,         // single-line edit
  Button,       // push button
  ComboBox,     // editable drop-down combo box
  Image,        // the program icon at 32 x 32
};

// Parent value of the controls that sit directly on the form.
inline constexpr int kFormParent = 0;
// Tab order value of controls that are never tab stops.
inline constexpr int kNoTabStop = -1;

struct LayoutRow {
  const char* name;          // member name, e.g. "Edit3"
  ControlKind kind;
  int id;                    // ControlId, also the window's control id
  int parent;                // ControlId of the parent, or kFormParent
  int left, top, width, height;
  const char16_t* caption;   // built-in caption, exact (spaces included)
  int tabOrder;              // per parent; kNoTabStop for none
  const char* handler;       // event handler name, or nullptr
};

// The form's own properties at the design resolution.
inline constexpr int kFormClientWidth = 553;
inline constexpr int kFormClientHeight = 577;
inline constexpr int kDesignTextHeight = 13;  // Tahoma 8 pt at 96 dpi
inline constexpr int kTabStripHeight = 24;
inline constexpr char16_t kFormCaption[] = u"Tessarin";

extern const LayoutRow kMainLayout[];
extern const std::size_t kMainLayoutCount;

// Returns the row with this control id, or nullptr.
const LayoutRow* FindLayoutRow(int id);
