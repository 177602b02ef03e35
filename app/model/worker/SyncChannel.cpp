#include "model/worker/SyncChannel.h"

#include "model/worker/WorkerReleased.h"

#include <algorithm>

void TSyncChannel::SetWaker(TWaker w) {
  std::lock_guard<std::mutex> lock(mutex);
  waker = std::move(w);
}

int TSyncChannel::NoticeRank(int id) { return id == WM_CALC_STOPPED ? 2 : 1; }

bool TSyncChannel::IsReleasedLocked(std::uint64_t sender) const {
  return closed || (sender != 0 && released.count(sender) != 0);
}

void TSyncChannel::QueueLocked(std::shared_ptr<TEntry> entry) {
  queue.push_back(std::move(entry));
  if (waker)
    waker();
  changed.notify_all();
}

void TSyncChannel::Send(int id, int wParam, std::uint64_t sender) {
  auto entry = std::make_shared<TEntry>();
  entry->message = TCalcMessage{id, wParam, 0, sender, true};
  std::unique_lock<std::mutex> lock(mutex);
  if (IsReleasedLocked(sender))
    throw EWorkerReleased();
  entry->message.generation = generation;
  QueueLocked(entry);
  changed.wait(lock, [&] { return entry->done || IsReleasedLocked(sender); });
  // A handler that let the worker go means that the model no longer wants
  // anything of it, even though the message itself was handled.
  if (IsReleasedLocked(sender))
    throw EWorkerReleased();
}

void TSyncChannel::PostNotice(int id, std::uint64_t sender) {
  std::lock_guard<std::mutex> lock(mutex);
  if (IsReleasedLocked(sender))
    return;
  const int rank = NoticeRank(id);
  for (auto &entry : queue) {
    TCalcMessage &queued = entry->message;
    if (queued.sent || queued.generation != generation)
      continue;
    if (rank > NoticeRank(queued.id))
      queued.id = id;
    return;
  }
  for (const auto &entry : beingHandled) {
    const TCalcMessage &handled = entry->message;
    if (!handled.sent && handled.generation == generation && NoticeRank(handled.id) >= rank)
      return;
  }
  auto entry = std::make_shared<TEntry>();
  entry->message = TCalcMessage{id, 0, generation, sender, false};
  QueueLocked(std::move(entry));
}

void TSyncChannel::MarkEnded(std::uint64_t sender) {
  std::lock_guard<std::mutex> lock(mutex);
  ended.insert(sender);
  changed.notify_all();
}

std::uint64_t TSyncChannel::NewGeneration() {
  std::lock_guard<std::mutex> lock(mutex);
  return ++generation;
}

std::uint64_t TSyncChannel::Generation() const {
  std::lock_guard<std::mutex> lock(mutex);
  return generation;
}

void TSyncChannel::HandleEntry(const std::shared_ptr<TEntry> &entry, const THandler &handler) {
  // The sender must be let go even when the handler fails, or it would wait
  // for ever; the failure itself is the handler's caller's business.
  struct TCompletion {
    TSyncChannel &channel;
    const std::shared_ptr<TEntry> &entry;
    ~TCompletion() {
      std::lock_guard<std::mutex> lock(channel.mutex);
      auto &list = channel.beingHandled;
      list.erase(std::find(list.begin(), list.end(), entry));
      entry->done = true;
      channel.changed.notify_all();
    }
  } completion{*this, entry};
  handler(entry->message);
}

int TSyncChannel::Serve(const THandler &handler) {
  int handled = 0;
  for (;;) {
    std::shared_ptr<TEntry> entry;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (closed || queue.empty())
        return handled;
      entry = queue.front();
      queue.pop_front();
      if (!entry->message.sent && entry->message.generation != generation)
        continue;
      beingHandled.push_back(entry);
    }
    HandleEntry(entry, handler);
    ++handled;
  }
}

bool TSyncChannel::ServeSendsUntilEnded(std::uint64_t sender, const THandler &handler) {
  for (;;) {
    std::shared_ptr<TEntry> entry;
    {
      std::unique_lock<std::mutex> lock(mutex);
      auto firstSent = [this] {
        return std::find_if(queue.begin(), queue.end(), [](const auto &e) { return e->message.sent; });
      };
      changed.wait(lock, [&] {
        return closed || released.count(sender) != 0 || ended.count(sender) != 0 || firstSent() != queue.end();
      });
      if (closed || released.count(sender) != 0)
        return false;
      auto it = firstSent();
      if (it == queue.end())
        return true;
      entry = *it;
      queue.erase(it);
      beingHandled.push_back(entry);
    }
    HandleEntry(entry, handler);
  }
}

bool TSyncChannel::IsServingSendOf(std::uint64_t sender) const {
  std::lock_guard<std::mutex> lock(mutex);
  return std::any_of(beingHandled.begin(), beingHandled.end(), [&](const auto &e) {
    return e->message.sent && e->message.sender == sender;
  });
}

void TSyncChannel::Release(std::uint64_t sender) {
  std::lock_guard<std::mutex> lock(mutex);
  released.insert(sender);
  queue.erase(std::remove_if(queue.begin(), queue.end(),
                             [&](const auto &e) { return e->message.sender == sender; }),
              queue.end());
  changed.notify_all();
}

void TSyncChannel::Close() {
  std::lock_guard<std::mutex> lock(mutex);
  closed = true;
  waker = nullptr;
  queue.clear();
  changed.notify_all();
}

bool TSyncChannel::IsClosed() const {
  std::lock_guard<std::mutex> lock(mutex);
  return closed;
}

int TSyncChannel::QueuedCount() const {
  std::lock_guard<std::mutex> lock(mutex);
  return static_cast<int>(queue.size());
}
