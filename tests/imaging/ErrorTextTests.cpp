#include "ErrorCodes.h"
#include "ErrorText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{

TEST(ErrorText, EveryCodeWeProduceHasItsOwnText)
{
    const std::uint32_t codes[] = {kErrorSuccess,      kErrorFileNotFound,    kErrorPathNotFound,
                                   kErrorAccessDenied, kErrorNotEnoughMemory, kErrorInvalidData,
                                   kErrorNotReady,     kErrorInvalidParameter};
    std::set<std::string> seen;
    for (std::uint32_t code : codes)
    {
        const std::string text = ErrorText(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find("Unknown"), std::string::npos) << code;
        EXPECT_EQ(text.back(), '.') << code;
        EXPECT_TRUE(seen.insert(text).second) << "text of " << code << " repeats: " << text;
    }
}

TEST(ErrorText, AnyOtherCodeIsNamedByNumber)
{
    const struct
    {
        std::uint32_t code;
        const char* text;
    } cases[] = {
        {1, "Unknown error (code 1)."},
        {6, "Unknown error (code 6)."},
        {1117, "Unknown error (code 1117)."},
        {4294967295u, "Unknown error (code 4294967295)."},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(ErrorText(c.code), c.text);
    }
}

} // namespace
