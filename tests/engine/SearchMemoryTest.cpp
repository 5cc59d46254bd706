#include <cstring>

#include <gtest/gtest.h>

#include "engine/SearchMemory.h"

TEST(SearchMemory, BlocksGrowWithinTheirReservation) {
  TSearchBlock block(size_t{64} << 20);
  ASSERT_NE(block.Data(), nullptr);
  EXPECT_GE(block.Reserved(), size_t{64} << 20);
  EXPECT_EQ(block.Committed(), 0u);
  ASSERT_TRUE(block.Commit(100));
  const size_t first = block.Committed();
  EXPECT_GE(first, 100u);
  std::memset(block.Data(), 0x5A, first);
  ASSERT_TRUE(block.Commit(first + 1));
  EXPECT_GT(block.Committed(), first);
  EXPECT_EQ(block.Data()[first - 1], 0x5A); // growing keeps what was written
  EXPECT_FALSE(block.Commit(block.Reserved() + 1));

  TSearchBlock::CommitCeiling = block.Committed();
  EXPECT_FALSE(block.Commit(block.Committed() + 1));
  TSearchBlock::CommitCeiling = SIZE_MAX;

  block.Trim(4096);
  EXPECT_EQ(block.Committed(), 4096u);
  EXPECT_EQ(block.Data()[4095], 0x5A);
  ASSERT_TRUE(block.Commit(8192));
  EXPECT_EQ(block.Data()[4096], 0); // trimmed pages come back empty
}

TEST(SearchMemory, ReturnedBlocksServeTheNextSearch) {
  ReleaseSearchBlocks();
  auto block = TakeSearchBlock(size_t{8} << 20);
  ASSERT_NE(block, nullptr);
  ASSERT_TRUE(block->Commit(size_t{1} << 20));
  char* const data = block->Data();
  data[0] = 7;
  ReturnSearchBlock(std::move(block));

  // A smaller request takes the kept block, pages and all; a larger one gets a new block.
  auto again = TakeSearchBlock(size_t{4} << 20);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->Data(), data);
  EXPECT_GE(again->Committed(), size_t{1} << 20);
  EXPECT_EQ(again->Data()[0], 7);
  auto larger = TakeSearchBlock(size_t{16} << 20);
  ASSERT_NE(larger, nullptr);
  EXPECT_NE(larger->Data(), data);

  // At most two blocks are kept; a new one has nothing committed yet.
  auto third = TakeSearchBlock(size_t{1} << 20);
  ASSERT_TRUE(larger->Commit(1) && third->Commit(1));
  ReturnSearchBlock(std::move(again));
  ReturnSearchBlock(std::move(larger));
  ReturnSearchBlock(std::move(third));
  int kept = 0;
  std::unique_ptr<TSearchBlock> taken[3];
  for (auto& block : taken) {
    block = TakeSearchBlock(1);
    kept += block->Committed() > 0;
  }
  EXPECT_EQ(kept, 2);
  ReleaseSearchBlocks();
}
