#include "EngineFixture.h"

#include "data/QuantityLevels.h"
#include "model/breakdown/ModelSnapshot.h"
#include "model/breakdown/OutputQuantities.h"

#include <atomic>
#include <thread>

namespace {

class ModelSnapshot : public TEngineSuite {
protected:
  void SetUp() override {
    TEngineSuite::SetUp();
    BuildOutputQuantities(*engine, outputs, channel, levels);
  }
  void GrowEngineTree(int n) {
    ASSERT_NE(TTreeSetSize(&engine->Nodes, n), nullptr);
    engine->Nodes.count = n;
    for (int i = 0; i < n; ++i) {
      engine->Nodes.nodes[i] = TNode{};
      engine->Nodes.nodes[i].parent = i - 1;
      engine->Nodes.nodes[i].generation = i;
    }
  }
  TValues_integral outputs, channel;
  TQuantityLevels levels{10};
};

TEST_F(ModelSnapshot, CopiesTheTreeAndTheStatisticsOfThatMoment) {
  TModelSnapshot snapshot;
  GrowEngineTree(7);
  engine->GapI = 3.5;
  engine->TimeBreakdown = 2e-7;
  engine->Flags = 1;
  ASSERT_TRUE(snapshot.Publish(*engine, outputs));
  engine->GapI = 9.0;
  GrowEngineTree(2);
  snapshot.Read([](const TTree &tree, const TEngineStatistics &s) {
    EXPECT_EQ(tree.count, 7);
    EXPECT_EQ(tree.nodes[6].generation, 6);
    EXPECT_EQ(s.Output(211), 3.5);
    EXPECT_EQ(s.timeBreakdown, 2e-7);
    EXPECT_TRUE(s.breakdown);
    EXPECT_EQ(s.nodeCount, 7);
    EXPECT_EQ(s.Output(99999), 0.0);
  });
  engine->Flags = 0;
  engine->TimeBreakdown = 0;
  TTreeSetSize(&engine->Nodes, 0);
}

TEST_F(ModelSnapshot, ReadersNeverSeeAListBeingRefilled) {
  TModelSnapshot snapshot;
  std::atomic<bool> done{false};
  std::atomic<int> bad{0};
  std::thread reader([&] {
    while (!done) {
      snapshot.Read([&](const TTree &tree, const TEngineStatistics &s) {
        if (tree.count != s.nodeCount)
          ++bad;
        for (int i = 0; i < tree.count; ++i)
          if (tree.nodes[i].generation != i)
            ++bad;
      });
    }
  });
  for (int round = 0; round < 200; ++round) {
    GrowEngineTree(1 + (round * 37) % 300);
    snapshot.Publish(*engine, outputs);
  }
  done = true;
  reader.join();
  EXPECT_EQ(bad, 0);
  TTreeSetSize(&engine->Nodes, 0);
}

} // namespace
