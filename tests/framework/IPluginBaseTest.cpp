#include <gtest/gtest.h>

#include "TestPlugin.h"

using oskel::ByteChunk;

TEST(IPluginBase, StateIsEightBytesPerParameterAndReadsBack) {
  TestPlugin a(53);
  for (int i = 0; i < 53; ++i) a.GetParam(i)->Set(i * 0.1);
  ByteChunk chunk;
  ASSERT_TRUE(a.SerializeParams(chunk));
  EXPECT_EQ(chunk.Size(), 424);

  TestPlugin b(53);
  EXPECT_EQ(b.UnserializeParams(chunk, 0), 424);
  for (int i = 0; i < 53; ++i) EXPECT_DOUBLE_EQ(b.GetParam(i)->Value(), a.GetParam(i)->Constrain(i * 0.1));
  // Every parameter's change hook ran once, in index order.
  ASSERT_EQ(b.changes.size(), 53u);
  EXPECT_EQ(b.changes.front(), 0);
  EXPECT_EQ(b.changes.back(), 52);
}

TEST(IPluginBase, ShortChunkRestoresWhatFitsAndReportsFailure) {
  TestPlugin p(4);
  for (int i = 0; i < 4; ++i) p.GetParam(i)->Set(7.0);
  ByteChunk chunk;
  chunk.Put(1.0);
  chunk.Put(2.0);
  chunk.PutBytes("abcd", 4);  // 20 bytes
  EXPECT_EQ(p.UnserializeParams(chunk, 0), -1);
  EXPECT_EQ(p.GetParam(0)->Value(), 1.0);
  EXPECT_EQ(p.GetParam(1)->Value(), 2.0);
  EXPECT_EQ(p.GetParam(2)->Value(), 7.0);
  EXPECT_EQ(p.changes.size(), 4u);  // hooks still run
}

TEST(ByteChunk, ReadPastTheEndReadsNothing) {
  ByteChunk c;
  c.Put(int32_t{42});
  int32_t v = 0;
  EXPECT_EQ(c.Get(&v, 0), 4);
  EXPECT_EQ(v, 42);
  double d = 3.0;
  EXPECT_EQ(c.Get(&d, 0), -1);
  EXPECT_EQ(d, 3.0);
  EXPECT_EQ(c.Get(&v, -1), -1);
}
