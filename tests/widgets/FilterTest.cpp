// The filter strings of the file dialogs and the matching of names against them.
#include <gtest/gtest.h>

#include "host/dialogs/FileFilter.h"

namespace vantora::host {
namespace {

TEST(FileFilterTest, ParsesTheClassicStrings) {
  const auto filters = ParseFileFilter("Labels|*.lbl|Bitmap (*.bmp)|*.bmp");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].description, "Labels");
  EXPECT_EQ(filters[0].patterns, std::vector<std::string>{"*.lbl"});
  EXPECT_EQ(filters[1].description, "Bitmap (*.bmp)");

  const auto several = ParseFileFilter("FulgoComponents|*.LBL; *.BTN ;*.PNL;");
  ASSERT_EQ(several.size(), 1u);
  EXPECT_EQ(several[0].patterns, (std::vector<std::string>{"*.LBL", "*.BTN", "*.PNL"}))
      << "spaces round patterns and empty patterns go";

  EXPECT_TRUE(ParseFileFilter("").empty());
  const auto lone = ParseFileFilter("Everything");
  ASSERT_EQ(lone.size(), 1u);
  EXPECT_EQ(lone[0].patterns, std::vector<std::string>{"*"}) << "a description without patterns shows all";
  const auto odd = ParseFileFilter("Text|*.txt|All");
  ASSERT_EQ(odd.size(), 2u);
  EXPECT_EQ(odd[1].patterns, std::vector<std::string>{"*"});
  EXPECT_EQ(ParseFileFilter("||").size(), 2u);
}

TEST(FileFilterTest, MatchesWithoutRegardToCase) {
  EXPECT_TRUE(MatchesPattern("face.LBL", "*.lbl"));
  EXPECT_TRUE(MatchesPattern("face.lbl", "*.LBL"));
  EXPECT_FALSE(MatchesPattern("face.lbl.bak", "*.lbl"));
  EXPECT_TRUE(MatchesPattern("a.b.lbl", "*.lbl"));
  EXPECT_TRUE(MatchesPattern("x", "?"));
  EXPECT_FALSE(MatchesPattern("", "?"));
  EXPECT_TRUE(MatchesPattern("", "*"));
  EXPECT_TRUE(MatchesPattern("photo-2.jpeg", "photo-?.jp*g"));
  EXPECT_FALSE(MatchesPattern("photo-22.jpeg", "photo-?.jp*g"));
  EXPECT_TRUE(MatchesPattern("abcabcabd", "*abd"));
  EXPECT_TRUE(MatchesPattern("aaaa", "*a*a*a*"));
  // Letters beyond ASCII are compared as they stand.
  EXPECT_TRUE(MatchesPattern("caf\xC3\xA9.txt", "caf\xC3\xA9.*"));
  EXPECT_FALSE(MatchesPattern("caf\xC3\x89.txt", "caf\xC3\xA9.*"));
  // Many stars over a long name stay quick (no exponential backtracking).
  EXPECT_FALSE(MatchesPattern(std::string(5000, 'a'), std::string(50, '*') + "b"));

  const TFileFilter all = ParseFileFilter("All|*.*")[0];
  EXPECT_TRUE(MatchesFilter("readme", all)) << "*.* takes names without a dot too";
  const TFileFilter components = ParseFileFilter("C|*.lbl;*.btn")[0];
  EXPECT_TRUE(MatchesFilter("x.BTN", components));
  EXPECT_FALSE(MatchesFilter("x.pnl", components));
}

}  // namespace
}  // namespace vantora::host
