// Resource names as text: identifiers, "#" numbers and their normal spelling.
#include "resource_names.h"

#include <gtest/gtest.h>

using resname::NormalResourceName;
using resname::ResourceId;
using resname::ResourceNameText;

TEST(ResourceNames, NumbersAndIdentifiers)
{
    const struct {
        LPCTSTR name;
        UINT id;
    } cases[] = {
        {"#153", 153}, {"#1", 1}, {"#65535", 65535},
        {"#0", 0},        // an ordinary text name
        {"#65536", 0},    // no integer identifier holds it
        {"#4294967297", 0}, {"#99999999999999999999", 0},
        {"#12a", 0}, {"#", 0}, {"#-1", 0}, {"ZLI_FILE", 0}, {"153", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResourceId(c.name), c.id) << c.name;
    EXPECT_EQ(ResourceId(reinterpret_cast<LPCTSTR>(uintptr_t{10})), 10u);
    EXPECT_STREQ(ResourceNameText(reinterpret_cast<LPCTSTR>(uintptr_t{10})), "#10");
    EXPECT_STREQ(ResourceNameText("#0153"), "#153");
    EXPECT_STREQ(ResourceNameText("#70000"), "#70000");
    EXPECT_STREQ(ResourceNameText("Splash"), "Splash");
}

TEST(ResourceNames, NormalSpellingIgnoresCaseHashesAndBlanks)
{
    EXPECT_STREQ(NormalResourceName("#00042"), "#42");
    EXPECT_STREQ(NormalResourceName(reinterpret_cast<LPCTSTR>(uintptr_t{42})), "#42");
    EXPECT_STREQ(NormalResourceName("splash screen"), "SPLASH_SCREEN");
    EXPECT_EQ(NormalResourceName("##Splash\tScreen"), NormalResourceName("__SPLASH SCREEN"));
    EXPECT_EQ(NormalResourceName("a\nb"), NormalResourceName("A B"));
    EXPECT_STREQ(NormalResourceName("A#B"), "A#B");  // only leading "#" is replaced
    EXPECT_STREQ(NormalResourceName("#0"), "_0");
    EXPECT_STREQ(NormalResourceName("#70000"), "_70000");
}
