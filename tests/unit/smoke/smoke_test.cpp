#include <gtest/gtest.h>
#include "platform/Errors.h"
TEST(FormatText, ReplacesInOrder) {
  EXPECT_EQ(FormatText(u"a %s b %s c %s", {u"1", u"2"}), u"a 1 b 2 c %s");
}
