#include "core/str_buf.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

// A sequence of operations and the state it must leave: the text (null for
// the null text), its length and the capacity, which callers rely on exactly.
struct StrBufCase {
    const char* name;
    std::function<std::unique_ptr<StrBuf>()> run;
    const char* text;
    int32_t length;
    int32_t capacity;
};

const std::string kSeventyBytes(70, 'x');
const std::string kAbAndSeventyBytes = "ab" + kSeventyBytes;

const StrBufCase kStrBufCases[] = {
    { "DefaultIsNull", [] { return std::make_unique<StrBuf>(); }, nullptr, 0, 0 },
    { "NullText", [] { return std::make_unique<StrBuf>(nullptr); }, nullptr, 0, 0 },
    { "CopyHas64BytesOfSlack", [] { return std::make_unique<StrBuf>("ab"); }, "ab", 2, 66 },
    { "AppendPastTheSlackReallocates",
        [] {
            auto s = std::make_unique<StrBuf>("ab");
            s->append(kSeventyBytes.c_str());
            return s;
        },
        kAbAndSeventyBytes.c_str(), 72, 136 },
    { "AppendWithinTheSlack",
        [] {
            auto s = std::make_unique<StrBuf>("ab");
            s->append("cd");
            s->appendInt(-5);
            return s;
        },
        "abcd-5", 6, 66 },
    { "AssignNullKeepsTheBuffer",
        [] {
            auto s = std::make_unique<StrBuf>("ab");
            s->assign(nullptr);
            s->append("");
            s->append(nullptr);
            return s;
        },
        "", 0, 66 },
    { "AssignToNullAllocates",
        [] {
            auto s = std::make_unique<StrBuf>();
            s->assign("xyz");
            return s;
        },
        "xyz", 3, 67 },
    { "AppendToNullAllocates",
        [] {
            auto s = std::make_unique<StrBuf>();
            s->append("xyz");
            return s;
        },
        "xyz", 3, 67 },
    { "AssignTailOfItself",
        [] {
            auto s = std::make_unique<StrBuf>("abcdef");
            s->assign(s->c_str() + 3);
            return s;
        },
        "def", 3, 70 },
    { "AppendItself",
        [] {
            auto s = std::make_unique<StrBuf>("abc");
            s->append(s->c_str());
            return s;
        },
        "abcabc", 6, 67 },
};

class StrBufSequences : public ::testing::TestWithParam<StrBufCase> { };

TEST_P(StrBufSequences, LeaveTheExpectedTextLengthAndCapacity)
{
    const StrBufCase& c = GetParam();
    std::unique_ptr<StrBuf> s = c.run();
    if (!c.text) {
        EXPECT_TRUE(s->isNull());
    } else {
        ASSERT_FALSE(s->isNull());
        EXPECT_STREQ(s->c_str(), c.text);
    }
    EXPECT_EQ(s->length(), c.length);
    EXPECT_EQ(s->capacity(), c.capacity);
}

INSTANTIATE_TEST_SUITE_P(Operations, StrBufSequences, ::testing::ValuesIn(kStrBufCases),
    [](const ::testing::TestParamInfo<StrBufCase>& param) { return std::string(param.param.name); });

} // namespace
