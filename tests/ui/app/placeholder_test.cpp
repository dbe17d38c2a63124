#include <gtest/gtest.h>
TEST(UiPlaceholder, Starts) {}
