#include "model/worker/Event.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

struct TResetCase {
  TEvent::TResetKind kind;
  bool stillSetAfterWait;
};

class EventReset : public testing::TestWithParam<TResetCase> {};

TEST_P(EventReset, WaitTakesTheSignalOnlyForAutomaticReset) {
  TEvent event(GetParam().kind);
  EXPECT_FALSE(event.Peek());
  EXPECT_FALSE(event.Wait(0ms));
  event.Set();
  EXPECT_TRUE(event.Peek());
  EXPECT_TRUE(event.Peek()) << "peeking never consumes";
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_EQ(event.Peek(), GetParam().stillSetAfterWait);
  event.Set();
  event.Wait();
  EXPECT_EQ(event.Peek(), GetParam().stillSetAfterWait);
  event.Reset();
  EXPECT_FALSE(event.Peek());
}

INSTANTIATE_TEST_SUITE_P(Kinds, EventReset,
                         testing::Values(TResetCase{TEvent::ManualReset, true}, TResetCase{TEvent::AutoReset, false}));

TEST(Event, TimedWaitRunsOutWhenNothingSignals) {
  TEvent event(TEvent::ManualReset);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(event.Wait(20ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
}

TEST(Event, ManualEventReleasesEveryWaiterAutomaticOnlyOne) {
  TEvent manual(TEvent::ManualReset);
  std::thread a([&] { manual.Wait(); });
  std::thread b([&] { manual.Wait(); });
  manual.Set();
  a.join();
  b.join();

  TEvent automatic(TEvent::AutoReset);
  std::atomic<int> passed{0};
  std::thread c([&] { passed += automatic.Wait(2000ms); });
  std::thread d([&] { passed += automatic.Wait(2000ms); });
  automatic.Set();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(passed.load(), 1);
  automatic.Set();
  c.join();
  d.join();
  EXPECT_EQ(passed.load(), 2);
}

TEST(Event, InitiallySignalled) {
  TEvent event(TEvent::AutoReset, true);
  EXPECT_TRUE(event.Wait(0ms));
  EXPECT_FALSE(event.Peek());
}

} // namespace
