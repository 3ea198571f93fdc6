// The generated test pages keep the properties the download tests rely on:
// the same bytes every run, and sizes on both sides of the usable page size.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "listing_server.h"
#include "program_harness.h"

namespace {

constexpr uintmax_t kLargestUnusableSize = 19455;

std::string Generate(const std::string& name, const std::vector<std::string>& more = {}) {
  const fs::path file = fs::path("page_" + std::to_string(more.size()) + ".html");
  EXPECT_TRUE(listing_test::WriteListingPage(name, file, more));
  return ReadBytes(file);
}

TEST(ListingPages, SizesLieOnBothSidesOfTheUsableSizeAndRepeatExactly) {
  if (listing_test::FindPython().empty()) GTEST_SKIP() << listing_test::kNoPython;
  TempWorkFolder folder;
  struct Case {
    const char* name;
    bool usable;
  };
  const Case cases[] = {{"hotbird", true}, {"astra", true}, {"plain", true}, {"small", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string page = Generate(c.name);
    EXPECT_EQ(page.size() > kLargestUnusableSize, c.usable) << page.size();
  }
  EXPECT_EQ(Generate("hotbird"), Generate("hotbird"));
  // Padding reaches the size asked for exactly, just below and just above the limit.
  for (uintmax_t size : {kLargestUnusableSize, kLargestUnusableSize + 1}) {
    EXPECT_EQ(Generate("small", {"--size", std::to_string(size)}).size(), size);
  }
  // The ISO-8859-1 form holds other characters as numeric references.
  const std::string latin1 = Generate("hotbird", {"--latin1"});
  EXPECT_NE(latin1.find("&#917;&#929;&#932; World"), std::string::npos);
  EXPECT_NE(latin1.find("charset=iso-8859-1"), std::string::npos);
}

}  // namespace
