// The layout table's consistency, and the keyboard order that follows from it.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "controls/TabOrder.h"
#include "resources/Layout.h"

namespace {

// The Tab sequence of each page, as the window is meant to move.
struct SequenceCase {
  int page;
  std::vector<int> expected;
};

const SequenceCase kSequences[] = {
    {ID_tsRus, {ID_pc, ID_Edit3, ID_Button3, ID_Edit6, ID_Edit8, ID_Button7, ID_Edit5, ID_Button5,
                ID_Edit4, ID_Button4, ID_Edit7, ID_Edit2, ID_Button2, ID_Edit1, ID_Button1,
                ID_Button6, ID_Button9}},
    {ID_tsUkr, {ID_pc, ID_Edit9, ID_Edit10, ID_Button8, ID_Button6, ID_Button9}},
    {ID_tsBulg, {ID_pc, ID_Edit11, ID_Button10, ID_Button6, ID_Button9}},
    {ID_tsOptions, {ID_pc, ID_CmbBxLang, ID_Button6, ID_Button9}},
};

TEST(FocusSequence, FollowsTabOrderPerParentForEachPage) {
  for (const auto& c : kSequences) {
    EXPECT_EQ(FocusSequence(kMainLayout, kMainLayoutCount, c.page), c.expected)
        << "page id " << c.page;
  }
}

TEST(NextInSequence, WrapsBothWays) {
  const std::vector<int> seq = kSequences[3].expected;  // pc, box, Close, Help
  struct Case {
    int current;
    bool backwards;
    int expected;
    const char* reason;
  };
  const Case cases[] = {
      {ID_pc, false, ID_CmbBxLang, "forward"},
      {ID_Button9, false, ID_pc, "wraps from the last to the first"},
      {ID_pc, true, ID_Button9, "Shift+Tab wraps from the first to the last"},
      {ID_Button6, true, ID_CmbBxLang, "backward"},
      {0, false, ID_pc, "no focus: the first"},
      {ID_Edit1, true, ID_Button9, "focus outside the sequence, backwards: the last"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextInSequence(seq, c.current, c.backwards), c.expected) << c.reason;
  }
  EXPECT_EQ(NextInSequence({}, ID_pc, false), 0);
}

TEST(Layout, HasOneRowPerControlIdWithItsName) {
  std::set<int> ids;
  for (std::size_t i = 0; i < kMainLayoutCount; ++i) {
    EXPECT_TRUE(ids.insert(kMainLayout[i].id).second) << kMainLayout[i].name << " twice";
  }
  EXPECT_EQ(ids.size(), std::size(kControlNames));
  for (const ControlName& n : kControlNames) {
    const LayoutRow* row = FindLayoutRow(n.id);
    ASSERT_NE(row, nullptr) << "no row for id " << n.id;
    const std::wstring name(n.name);
    EXPECT_EQ(std::string(name.begin(), name.end()), row->name);
  }
}

TEST(Layout, ParentsComeFirstAndAreContainers) {
  std::set<int> created;
  for (std::size_t i = 0; i < kMainLayoutCount; ++i) {
    const LayoutRow& row = kMainLayout[i];
    if (row.parent != kFormParent) {
      EXPECT_TRUE(created.count(row.parent)) << row.name << " before its parent";
      const LayoutRow* parent = FindLayoutRow(row.parent);
      ASSERT_NE(parent, nullptr);
      const bool container = parent->kind == ControlKind::PageControl ||
                             parent->kind == ControlKind::Page ||
                             parent->kind == ControlKind::GroupBox ||
                             parent->kind == ControlKind::Panel;
      EXPECT_TRUE(container) << row.name << " inside a " << parent->name;
      EXPECT_EQ(row.kind == ControlKind::Page, parent->kind == ControlKind::PageControl)
          << row.name << ": pages sit exactly in the page control";
    }
    created.insert(row.id);
  }
}

TEST(Layout, TabOrdersAreUniquePerParentAndOnlyOnTabStops) {
  std::set<std::pair<int, int>> seen;
  for (std::size_t i = 0; i < kMainLayoutCount; ++i) {
    const LayoutRow& row = kMainLayout[i];
    if (row.tabOrder == kNoTabStop) {
      EXPECT_FALSE(TakesFocus(row.kind)) << row.name << ": focusable without tab order";
      continue;
    }
    EXPECT_TRUE(seen.insert({row.parent, row.tabOrder}).second) << row.name;
  }
}

TEST(Layout, HandlersSitOnControlsThatRaiseEvents) {
  std::set<std::string> handlers;
  for (std::size_t i = 0; i < kMainLayoutCount; ++i) {
    const LayoutRow& row = kMainLayout[i];
    const bool raises = row.kind == ControlKind::Button || row.kind == ControlKind::LinkLabel ||
                        row.kind == ControlKind::ComboBox;
    EXPECT_EQ(row.handler != nullptr, raises) << row.name;
    if (row.handler != nullptr) {
      EXPECT_TRUE(handlers.insert(row.handler).second) << row.handler << " bound twice";
      if (row.kind == ControlKind::Button) {
        EXPECT_EQ(std::string(row.name) + "Click", row.handler);
      }
    }
  }
  EXPECT_EQ(handlers.size(), 12u) << "eleven clicks and one change; FormCreate is the form's";
}

TEST(Layout, ControlsFitInsideTheirParents) {
  for (std::size_t i = 0; i < kMainLayoutCount; ++i) {
    const LayoutRow& row = kMainLayout[i];
    int width = kFormClientWidth, height = kFormClientHeight;
    if (const LayoutRow* parent = FindLayoutRow(row.parent)) {
      width = parent->width;
      height = parent->height;
    }
    EXPECT_GE(row.left, 0) << row.name;
    EXPECT_LE(row.left + row.width, width) << row.name;
    EXPECT_LE(row.top + row.height, height) << row.name;
  }
}

}  // namespace
