#include <gtest/gtest.h>

#include "TestPlugin.h"

using oskel::ByteChunk;

// Whole chunks are checked on the built bundle; a cut one must still run every change hook.
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
