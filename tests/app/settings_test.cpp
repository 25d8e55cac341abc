#include <gtest/gtest.h>

#include "app/settings.h"

TEST(Settings, DefaultsSit) {
    Settings s = DefaultSettings();
    EXPECT_EQ(s.pieceCount, 20);
}
