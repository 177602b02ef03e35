#pragma once

#include "model/worker/CalcMessages.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

// The way from a worker thread to the user-interface thread of its model.
// A worker sends a message and waits until the user-interface thread has
// handled it, or posts a notice and goes on; the user-interface thread is
// woken through the waker and serves the queue in order. Unlike a blocking
// queued call, the owner can keep serving sends while it waits for the worker
// to end, and can let a worker go that is blocked in a send.
class TSyncChannel {
public:
  using THandler = std::function<void(const TCalcMessage &)>;
  using TWaker = std::function<void()>;

  // Called, under the channel's lock, whenever something is queued.
  void SetWaker(TWaker waker);

  // Worker side. Blocks until the message has been handled. Raises
  // EWorkerReleased when the sender has been released or the channel closed,
  // before or during the wait: the worker must then leave at once.
  void Send(int id, int wParam, std::uint64_t sender);
  // A pause or stop notice. At most one notice of the current generation is
  // in flight: a second one merges into the queued one (a stop outranks a
  // pause) or is dropped when an equal or higher one is being handled.
  void PostNotice(int id, std::uint64_t sender);
  void MarkEnded(std::uint64_t sender);

  // User-interface side.
  // Starts a new run generation; queued notices of older ones are dropped.
  std::uint64_t NewGeneration();
  std::uint64_t Generation() const;
  // Handles what is queued, in order; returns the number handled.
  int Serve(const THandler &handler);
  // Handles sent messages (posted ones stay queued) until the sender has
  // ended (true), or was released or the channel closed (false).
  bool ServeSendsUntilEnded(std::uint64_t sender, const THandler &handler);
  // True while the user-interface thread is inside the handler of a message
  // that this sender sent and still waits on.
  bool IsServingSendOf(std::uint64_t sender) const;
  // Lets a sender go: its current and later sends raise EWorkerReleased and
  // its queued messages are dropped.
  void Release(std::uint64_t sender);
  // Releases every sender and serves nothing more; the waker is dropped.
  void Close();
  bool IsClosed() const;
  int QueuedCount() const;

private:
  struct TEntry {
    TCalcMessage message;
    bool done = false;
  };

  static int NoticeRank(int id);
  bool IsReleasedLocked(std::uint64_t sender) const;
  void QueueLocked(std::shared_ptr<TEntry> entry);
  void HandleEntry(const std::shared_ptr<TEntry> &entry, const THandler &handler);

  mutable std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::shared_ptr<TEntry>> queue;
  std::vector<std::shared_ptr<TEntry>> beingHandled;
  std::set<std::uint64_t> released;
  std::set<std::uint64_t> ended;
  TWaker waker;
  std::uint64_t generation = 1;
  bool closed = false;
};
