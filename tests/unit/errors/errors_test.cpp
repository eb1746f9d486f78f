// The program's own exception family and its message formatting.
#include <gtest/gtest.h>

#include "platform/Errors.h"

namespace {

struct FormatCase {
  const char16_t* pattern;
  std::initializer_list<std::u16string> args;
  const char16_t* expected;
  const char* reason;
};

TEST(FormatText, FillsPlaceholdersInOrder) {
  const FormatCase cases[] = {
      {u"Cannot open file \"%s\". %s", {u"C:\\a.lng", u"Access denied."},
       u"Cannot open file \"C:\\a.lng\". Access denied.", "two placeholders"},
      {u"Invalid data type for '%s'", {u"Lang"}, u"Invalid data type for 'Lang'", "one"},
      {u"a %s b %s", {u"1"}, u"a 1 b %s", "a placeholder without argument stays"},
      {u"100%", {u"x"}, u"100%", "a lone % at the end stays"},
      {u"%d %s", {u"x"}, u"%d x", "only %s is a placeholder"},
      {u"%s", {u"%s"}, u"%s", "an argument is not scanned again"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatText(c.pattern, c.args), std::u16string(c.expected)) << c.reason;
  }
}

TEST(EError, KeepsMessageAndInner) {
  auto inner = std::make_exception_ptr(EError(u"inner"));
  EError outer(u"outer", inner);
  EXPECT_EQ(outer.Message(), u"outer");
  try {
    std::rethrow_exception(outer.Inner());
    FAIL() << "no inner exception";
  } catch (const EError& e) {
    EXPECT_EQ(e.Message(), u"inner");
  }
  EXPECT_FALSE(EError(u"x").Inner());
}

}  // namespace
