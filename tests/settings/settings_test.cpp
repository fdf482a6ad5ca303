#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/registry.h"

TEST(Settings, DefaultsWithoutKey)
{
    clearRegistry();
    loadSettings();
    EXPECT_EQ(1, settings.firstRun);
    EXPECT_EQ(256, settings.size);
    EXPECT_EQ(-1, settings.windowX);
    EXPECT_STREQ(L"ORVELLA", settings.logoText);
    EXPECT_STREQ(L"rose.jpg", settings.imagePath);
    EXPECT_STREQ(L"rooster.wav", settings.waveFile);
}
