#include "window/ModulePath.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{
    TEST(ModulePath, NamesTheRunningExecutable)
    {
        const std::string path = Platform::GetModulePath();
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(path.front(), '/');
        EXPECT_TRUE(std::filesystem::equivalent(path, "/proc/self/exe"));
        EXPECT_EQ(path.find('\\'), std::string::npos);
    }

    TEST(ModulePath, OverrideReplacesTheAnswerUntilCleared)
    {
        const std::string real = Platform::GetModulePath();
        Platform::SetModulePathOverride("/somewhere/bin/Game");
        EXPECT_EQ(Platform::GetModulePath(), "/somewhere/bin/Game");
        Platform::SetModulePathOverride(std::string());
        EXPECT_EQ(Platform::GetModulePath(), "");
        Platform::SetModulePathOverride(std::nullopt);
        EXPECT_EQ(Platform::GetModulePath(), real);
    }
}
