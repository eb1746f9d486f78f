// Keyboard order from the layout table (see TabOrder.h).
#include "controls/TabOrder.h"

#include <algorithm>
#include <climits>

namespace {

bool IsContainer(ControlKind kind) {
  return kind == ControlKind::PageControl || kind == ControlKind::Page ||
         kind == ControlKind::GroupBox || kind == ControlKind::Panel;
}

// Returns the children of parent, ordered by tab order, then creation order.
std::vector<const LayoutRow*> ChildrenInTabOrder(const LayoutRow* rows, std::size_t count,
                                                 int parent) {
  std::vector<const LayoutRow*> children;
  for (std::size_t i = 0; i < count; ++i) {
    if (rows[i].parent == parent) children.push_back(&rows[i]);
  }
  auto key = [](const LayoutRow* r) { return r->tabOrder == kNoTabStop ? INT_MAX : r->tabOrder; };
  std::stable_sort(children.begin(), children.end(),
                   [&](const LayoutRow* a, const LayoutRow* b) { return key(a) < key(b); });
  return children;
}

void Visit(const LayoutRow* rows, std::size_t count, int parent, int activePage,
           std::vector<int>& out) {
  for (const LayoutRow* row : ChildrenInTabOrder(rows, count, parent)) {
    if (row->kind == ControlKind::Page && row->id != activePage) continue;  // hidden
    if (TakesFocus(row->kind) && row->tabOrder != kNoTabStop) out.push_back(row->id);
    if (IsContainer(row->kind)) Visit(rows, count, row->id, activePage, out);
  }
}

}  // namespace

bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::PageControl || kind == ControlKind::Edit ||
         kind == ControlKind::Button || kind == ControlKind::ComboBox;
}

std::vector<int> FocusSequence(const LayoutRow* rows, std::size_t count, int activePage) {
  std::vector<int> out;
  Visit(rows, count, kFormParent, activePage, out);
  return out;
}

int NextInSequence(const std::vector<int>& seq, int current, bool backwards) {
  if (seq.empty()) return 0;
  const auto it = std::find(seq.begin(), seq.end(), current);
  if (it == seq.end()) return backwards ? seq.back() : seq.front();
  const std::size_t i = static_cast<std::size_t>(it - seq.begin());
  const std::size_t n = seq.size();
  return seq[backwards ? (i + n - 1) % n : (i + 1) % n];
}
