// The texts of the default exception display: the "." rule, the innermost
// message of wrapped errors, and the text for foreign exceptions.
#include <gtest/gtest.h>

#include "controls/ExceptionText.h"

namespace {

struct StopCase {
  std::u16string text;
  std::u16string expected;
  const char* reason;
};

TEST(AppendFullStop, FollowsTheLastCodeUnit) {
  const StopCase cases[] = {
      {u"File not found", u"File not found.", "letter: above U+002E"},
      {u"Error 5", u"Error 5.", "digit: above U+002E"},
      {u"Done.", u"Done.", "full stop itself: unchanged"},
      {u"Stop!", u"Stop!", "U+0021: unchanged"},
      {u"(see log)", u"(see log)", "U+0029: unchanged"},
      {u"trailing ", u"trailing ", "space: unchanged"},
      {u"Why?", u"Why?.", "U+003F is above U+002E: dot after the question mark"},
      {u"", u"", "empty: stays empty, no dot"},
      {u"a-", u"a-", "U+002D, just below: unchanged"},
      {u"a/", u"a/.", "U+002F, just above: dot"},
      {u"Ошибка", u"Ошибка.", "Cyrillic letter"},
      {u"x\r\n", u"x\r\n", "control characters are below U+002E"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AppendFullStop(c.text), c.expected) << c.reason;
  }
}

std::exception_ptr Wrap(const char16_t* message, std::exception_ptr inner = nullptr) {
  return std::make_exception_ptr(EError(message, std::move(inner)));
}

TEST(InnermostMessage, TakesTheDeepestNonEmptyMessage) {
  struct Case {
    EError error;
    std::u16string expected;
    const char* reason;
  };
  const Case cases[] = {
      {EError(u"outer"), u"outer", "no inner exception"},
      {EError(u"outer", Wrap(u"inner")), u"inner", "one level"},
      {EError(u"outer", Wrap(u"")), u"outer", "empty inner message: the outer one"},
      {EError(u"a", Wrap(u"b", Wrap(u"c"))), u"c", "three levels"},
      {EError(u"a", Wrap(u"b", Wrap(u""))), u"b", "innermost empty: the next one out"},
      {EError(u"a", std::make_exception_ptr(std::runtime_error("x"))), u"a",
       "an inner exception outside the family has no message of ours"},
      {EError(u""), u"", "empty outer message stays empty"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InnermostMessage(c.error), c.expected) << c.reason;
  }
}

TEST(ForeignExceptionText, FillsTheFixedPattern) {
  const std::u16string hex = sizeof(void*) == 8 ? u"00000000000012AF" : u"000012AF";
  EXPECT_EQ(ForeignExceptionText(u"std::runtime_error", u"Tessarin.exe", 0x12AF),
            u"Exception std::runtime_error in module Tessarin.exe at " + hex + u".\r\n\r\n");
  const std::u16string zero(sizeof(void*) * 2, u'0');
  EXPECT_EQ(ForeignExceptionText(u"int", u"Vrifax.dll", 0),
            u"Exception int in module Vrifax.dll at " + zero + u".\r\n\r\n");
}

}  // namespace
