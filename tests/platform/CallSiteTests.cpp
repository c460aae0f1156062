#include <string_view>

#include <gtest/gtest.h>

#include "platform/foundation/CallSite.h"

namespace {

platform::CallSite whereCalledFrom(platform::CallSite site = {}) {
    return site;
}

TEST(CallSite, DefaultedParameterNamesTheCaller) {
    const int expectedLine = __LINE__ + 1;
    const platform::CallSite site = whereCalledFrom();

    EXPECT_EQ(site.line(), expectedLine);
    EXPECT_TRUE(site.file().ends_with("CallSiteTests.cpp")) << site.file();
    EXPECT_NE(site.function().find("TestBody"), std::string_view::npos) << site.function();
}

TEST(CallSite, FixedFunctionNameKeepsFileAndLine) {
    const platform::CallSite site = whereCalledFrom().withFunction("combine()");

    EXPECT_EQ(site.function(), "combine()");
    EXPECT_TRUE(site.file().ends_with("CallSiteTests.cpp"));
    EXPECT_EQ(site.line(), __LINE__ - 4);
}

}  // namespace
