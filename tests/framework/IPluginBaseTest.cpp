#include <gtest/gtest.h>

#include "TestPlugin.h"

using oskel::ByteChunk;

// The values a cut chunk holds are checked on the built bundle; here, every change hook still runs.
TEST(IPluginBase, ShortChunkReportsFailureAndRunsEveryHook) {
  TestPlugin p(4);
  ByteChunk chunk;
  chunk.Put(1.0);
  chunk.PutBytes("abcd", 4);
  EXPECT_EQ(p.UnserializeParams(chunk, 0), -1);
  EXPECT_EQ(p.changes.size(), 4u);
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
