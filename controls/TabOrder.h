// Keyboard order of the main window, computed from the layout table: the
// tab order per parent, depth first, skipping hidden pages. Portable.
//
//   std::vector<int> seq = FocusSequence(kMainLayout, kMainLayoutCount, ID_tsRus);
//   int next = NextInSequence(seq, ID_Edit3, /*backwards=*/false);
#pragma once

#include <cstddef>
#include <vector>

#include "resources/Layout.h"

// Returns the ids of the controls that take the focus, in Tab order, when
// activePage is the visible page: a control is visited when it is a tab stop
// of a focusable kind; containers are entered in their own tab order.
std::vector<int> FocusSequence(const LayoutRow* rows, std::size_t count, int activePage);

// Returns the id after current in seq (before it when backwards), wrapping
// around; the first (last) id when current is not in seq; 0 for an empty seq.
int NextInSequence(const std::vector<int>& seq, int current, bool backwards);

// Returns true for the kinds that can hold the keyboard focus.
bool TakesFocus(ControlKind kind);
