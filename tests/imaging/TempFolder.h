#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

#include <unistd.h>

// Runs each test inside a fresh temporary folder, which is removed afterwards. Every test runs in
// its own process, so changing the working directory is safe.
class TempFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string("daviz-imaging-") + info->test_suite_name() + "-" +
                                 info->name() + "-" + std::to_string(getpid());
        std::string safe;
        for (char c : name)
        {
            safe += (std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-') ? c : '_';
        }
        m_old = std::filesystem::current_path();
        m_dir = std::filesystem::temp_directory_path() / safe;
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        std::filesystem::current_path(m_dir);
    }

    void TearDown() override
    {
        std::filesystem::current_path(m_old);
        std::error_code ec;
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_dir, ec);
    }

    std::filesystem::path m_old;
    std::filesystem::path m_dir;
};
