#include "viewer/Paragraphs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using viewer::IndexParagraphs;

TEST(Paragraphs, Table) {
  struct TCase {
    std::string text;
    std::vector<std::int32_t> bounds;  // Bounds[0..ParaCount]
  } cases[] = {
      {"", {0, 0}},
      {"one line", {0, 8}},
      {"a\r\nb", {0, 4}},
      {"a\r\n\r\nb", {0, 1, 6}},
      {"a\r\n\r\nb\r\n\r\n", {0, 1, 6, 10}},  // ends with a separator alone
      {"\r\n\r\n", {0, 0, 4}},
      // a run of empty lines: separators at every fourth position
      {"a\r\n\r\n\r\n\r\nb", {0, 1, 5, 10}},
      {"a\r\n\r\n\r\nb", {0, 1, 8}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    const auto index = IndexParagraphs(c.text);
    ASSERT_EQ(index.ParaCount + 1, static_cast<std::int32_t>(c.bounds.size()));
    EXPECT_EQ(
        std::vector<std::int32_t>(index.Bounds.begin(), index.Bounds.begin() + index.ParaCount + 1),
        c.bounds);
    EXPECT_EQ(index.BoundsCapacity, 1024);
    EXPECT_EQ(static_cast<std::int32_t>(index.Bounds.size()), index.BoundsCapacity);
  }
}

TEST(Paragraphs, TableGrowsByStepsKeepingFourFree) {
  std::string text;
  for (int k = 0; k < 1021; ++k)
    text += "x\r\n\r\n";
  text += "end";
  const auto index = IndexParagraphs(text);
  EXPECT_EQ(index.ParaCount, 1022);
  // 1021 separators: growth happens when more than capacity - 4 are in use.
  EXPECT_EQ(index.BoundsCapacity, 2048);
  EXPECT_EQ(index.Bounds[1021], 1020 * 5 + 1);
  EXPECT_EQ(index.Bounds[1022], static_cast<std::int32_t>(text.size()));

  std::string fewer;
  for (int k = 0; k < 1020; ++k)
    fewer += "x\r\n\r\n";
  EXPECT_EQ(IndexParagraphs(fewer).BoundsCapacity, 1024);
}
