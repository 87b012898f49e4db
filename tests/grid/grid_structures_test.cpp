// The internal structures against plain models of their contracts: the selected-cell map
// against a std::set, the size index against running sums.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "grid/selected_cell_map.h"
#include "grid/size_index.h"

namespace kelvanor::testing {
namespace {

TEST(SelectedCellMapTest, MatchesASetThroughInsertsAndErases) {
  std::mt19937 random(7);
  SelectedCellMap map;
  std::set<CellKey> model;
  for (int step = 0; step < 20000; ++step) {
    const CCellID cell(static_cast<int>(random() % 200), static_cast<int>(random() % 5));
    if (random() % 3 == 0) {
      map.Erase(CellKeyOf(cell.row, cell.col));
      model.erase(CellKeyOf(cell.row, cell.col));
    } else {
      map.Insert(cell);
      model.insert(CellKeyOf(cell.row, cell.col));
    }
  }
  ASSERT_TRUE(map.checkConsistency());
  EXPECT_EQ(map.Count(), static_cast<int>(model.size()));
  std::set<CellKey> seen;
  map.ForEach([&](CCellID cell) { seen.insert(CellKeyOf(cell.row, cell.col)); });
  EXPECT_EQ(seen, model);
}

TEST(SizeIndexTest, PrefixSumsAndSearchFollowEveryChange) {
  std::mt19937 random(3);
  SizeIndex index;
  std::vector<int> sizes;
  for (int i = 0; i < 500; ++i) {
    sizes.push_back(static_cast<int>(random() % 4) * 10);  // zeros are hidden entries
    index.Append(sizes.back());
  }
  for (int big : {17, 18}) index.Set(big, sizes[big] = 2000000000);
  index.Erase(3);
  sizes.erase(sizes.begin() + 3);
  index.Truncate(400);
  sizes.resize(400);
  ASSERT_TRUE(index.checkConsistency());
  std::int64_t sum = 0;
  for (int n = 0; n < 400; sum += sizes[n++]) ASSERT_EQ(index.Prefix(n), sum);
  EXPECT_EQ(index.Total(), sum);
  for (std::int64_t target : {std::int64_t{1}, std::int64_t{55}, std::int64_t{2000000001}, sum}) {
    const int n = index.LowerBound(target);  // the first prefix that reaches the target
    EXPECT_GE(index.Prefix(n), target);
    EXPECT_LT(index.Prefix(n - 1), target);
  }
  EXPECT_EQ(index.LowerBound(0), 0);
  EXPECT_EQ(index.LowerBound(sum + 1), 401);
}

}  // namespace
}  // namespace kelvanor::testing
