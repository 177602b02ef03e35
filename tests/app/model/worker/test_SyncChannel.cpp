#include "model/worker/SyncChannel.h"
#include "model/worker/WorkerReleased.h"

#include "WorkerTestSupport.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace std::chrono_literals;

namespace {

struct TRecorder {
  std::vector<TCalcMessage> handled;
  TSyncChannel::THandler Handler() {
    return [this](const TCalcMessage &m) { handled.push_back(m); };
  }
};

TEST(SyncChannel, SendWaitsUntilTheHandlerHasRun) {
  TSyncChannel channel;
  std::atomic<int> wakes{0};
  channel.SetWaker([&] { ++wakes; });
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    channel.Send(WM_CALC_OUTPUT, 1, 7);
    returned = true;
  });
  std::this_thread::sleep_for(30ms);
  EXPECT_FALSE(returned.load()) << "a send returns only once handled";
  bool inside = false;
  ASSERT_TRUE(ServeUntil(channel, [&](const TCalcMessage &m) {
    EXPECT_EQ(m.id, WM_CALC_OUTPUT);
    EXPECT_EQ(m.wParam, 1);
    EXPECT_TRUE(m.sent);
    inside = channel.IsServingSendOf(7) && !channel.IsServingSendOf(8);
  }, [&] { return returned.load(); }));
  worker.join();
  EXPECT_TRUE(inside);
  EXPECT_FALSE(channel.IsServingSendOf(7));
  EXPECT_GE(wakes.load(), 1);
}

struct TNoticeCase {
  std::vector<int> posted;
  int delivered;
};

class NoticeMerge : public testing::TestWithParam<TNoticeCase> {};

TEST_P(NoticeMerge, OneNoticeInFlightAndStopOutranksPause) {
  TSyncChannel channel;
  for (int id : GetParam().posted)
    channel.PostNotice(id, 0);
  TRecorder recorder;
  channel.Serve(recorder.Handler());
  ASSERT_EQ(recorder.handled.size(), 1u);
  EXPECT_EQ(recorder.handled[0].id, GetParam().delivered);
}

INSTANTIATE_TEST_SUITE_P(Pairs, NoticeMerge,
                         testing::Values(TNoticeCase{{WM_CALC_PAUSED, WM_CALC_PAUSED}, WM_CALC_PAUSED},
                                         TNoticeCase{{WM_CALC_PAUSED, WM_CALC_STOPPED}, WM_CALC_STOPPED},
                                         TNoticeCase{{WM_CALC_STOPPED, WM_CALC_PAUSED}, WM_CALC_STOPPED},
                                         TNoticeCase{{WM_CALC_STOPPED, WM_CALC_STOPPED}, WM_CALC_STOPPED}));

TEST(SyncChannel, NoticeWhileOneIsHandledOnlyWhenItOutranksIt) {
  TSyncChannel channel;
  channel.PostNotice(WM_CALC_PAUSED, 0);
  TRecorder inner;
  TRecorder outer;
  channel.Serve([&](const TCalcMessage &m) {
    outer.handled.push_back(m);
    if (outer.handled.size() > 1)
      return;
    channel.PostNotice(WM_CALC_PAUSED, 0);
    EXPECT_EQ(channel.QueuedCount(), 0) << "an equal notice is already in hand";
    channel.PostNotice(WM_CALC_STOPPED, 0);
    EXPECT_EQ(channel.QueuedCount(), 1);
  });
  channel.Serve(inner.Handler());
  ASSERT_EQ(outer.handled.size(), 2u) << "the outer loop also serves what was queued meanwhile";
  EXPECT_EQ(outer.handled[1].id, WM_CALC_STOPPED);
}

TEST(SyncChannel, NoticesOfAnOlderGenerationAreDropped) {
  TSyncChannel channel;
  channel.PostNotice(WM_CALC_STOPPED, 3);
  const auto before = channel.Generation();
  EXPECT_GT(channel.NewGeneration(), before);
  TRecorder recorder;
  EXPECT_EQ(channel.Serve(recorder.Handler()), 0);
  EXPECT_TRUE(recorder.handled.empty());
  channel.PostNotice(WM_CALC_PAUSED, 3);
  EXPECT_EQ(channel.Serve(recorder.Handler()), 1);
}

TEST(SyncChannel, ReleaseLetsABlockedSenderGoAndDropsItsMessages) {
  TSyncChannel channel;
  std::promise<bool> threw;
  std::thread worker([&] {
    try {
      channel.Send(WM_CALC_REFRESH, 0, 5);
      threw.set_value(false);
    } catch (const EWorkerReleased &) {
      threw.set_value(true);
    }
  });
  while (channel.QueuedCount() == 0)
    std::this_thread::sleep_for(1ms);
  channel.PostNotice(WM_CALC_PAUSED, 5);
  channel.Release(5);
  EXPECT_TRUE(threw.get_future().get());
  worker.join();
  EXPECT_EQ(channel.QueuedCount(), 0);
  EXPECT_THROW(channel.Send(WM_CALC_OUTPUT, 0, 5), EWorkerReleased);
  channel.PostNotice(WM_CALC_PAUSED, 5);
  EXPECT_EQ(channel.QueuedCount(), 0) << "a released worker posts nothing";
}

TEST(SyncChannel, ReleaseFromInsideTheHandlerStillFailsTheSend) {
  TSyncChannel channel;
  std::promise<bool> threw;
  std::thread worker([&] {
    try {
      channel.Send(WM_CALC_SAVESTEP, 0, 9);
      threw.set_value(false);
    } catch (const EWorkerReleased &) {
      threw.set_value(true);
    }
  });
  auto result = threw.get_future();
  ServeUntil(channel, [&](const TCalcMessage &) { channel.Release(9); },
             [&] { return result.wait_for(0ms) == std::future_status::ready; });
  EXPECT_TRUE(result.get()) << "the model that let the worker go wants nothing more of it";
  worker.join();
}

TEST(SyncChannel, ServeSendsUntilEndedLeavesPostsQueued) {
  TSyncChannel channel;
  channel.PostNotice(WM_CALC_PAUSED, 4);
  std::thread worker([&] {
    channel.Send(WM_CALC_OUTPUT, 0, 4);
    channel.Send(WM_CALC_REFRESH, 0, 4);
    channel.MarkEnded(4);
  });
  TRecorder recorder;
  EXPECT_TRUE(channel.ServeSendsUntilEnded(4, recorder.Handler()));
  worker.join();
  ASSERT_EQ(recorder.handled.size(), 2u);
  EXPECT_EQ(recorder.handled[0].id, WM_CALC_OUTPUT);
  EXPECT_EQ(recorder.handled[1].id, WM_CALC_REFRESH);
  EXPECT_EQ(channel.QueuedCount(), 1);
}

TEST(SyncChannel, CloseReleasesEverySenderAndServesNothingMore) {
  TSyncChannel channel;
  std::promise<bool> threw;
  std::thread worker([&] {
    try {
      channel.Send(WM_CALC_OUTPUT, 0, 2);
      threw.set_value(false);
    } catch (const EWorkerReleased &) {
      threw.set_value(true);
    }
  });
  while (channel.QueuedCount() == 0)
    std::this_thread::sleep_for(1ms);
  channel.Close();
  EXPECT_TRUE(threw.get_future().get());
  worker.join();
  EXPECT_FALSE(channel.ServeSendsUntilEnded(2, [](const TCalcMessage &) {}));
  channel.PostNotice(WM_CALC_STOPPED, 0);
  EXPECT_EQ(channel.QueuedCount(), 0);
}

TEST(SyncChannel, AFailingHandlerStillCompletesTheSend) {
  TSyncChannel channel;
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    channel.Send(WM_CALC_OUTPUT, 0, 1);
    returned = true;
  });
  while (channel.QueuedCount() == 0)
    std::this_thread::sleep_for(1ms);
  EXPECT_THROW(channel.Serve([](const TCalcMessage &) { throw std::runtime_error("handler"); }), std::runtime_error);
  worker.join();
  EXPECT_TRUE(returned.load());
}

} // namespace
