#include <gtest/gtest.h>

#include "TestPlugin.h"

using oskel::ByteChunk;

// The values a cut chunk holds are checked on the built bundle; here, the value the chunk is cut
// in stays as it was (nothing is read past the end) and every change hook still runs.
TEST(IPluginBase, ShortChunkReportsFailureAndRunsEveryHook) {
  TestPlugin p(4);
  p.GetParam(1)->Set(7.0);
  ByteChunk chunk;
  chunk.Put(1.0);
  chunk.PutBytes("abcd", 4);
  EXPECT_EQ(p.UnserializeParams(chunk, 0), -1);
  EXPECT_EQ(p.GetParam(1)->Value(), 7.0);
  EXPECT_EQ(p.changes.size(), 4u);
  double v = 3.0;
  EXPECT_EQ(chunk.Get(&v, 8) + chunk.Get(&v, -1), -2);
  EXPECT_EQ(v, 3.0);  // a refused read writes nothing
}
