#include "sources/BootFileText.h"

#include <gtest/gtest.h>

TEST(BootLines, CarriageReturnEndsLine) {
    EXPECT_EQ(ReadBootLines("a\rb\r\nc"), (std::vector<std::string>{"a", "b", "c"}));
}
