#include "model/ModelMessagePump.h"

#include <QCoreApplication>
#include <QEvent>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#endif

namespace {

// Qt hands the event from the posting thread to ours under locks that the
// thread sanitizer cannot see; tell it so, or it takes the event's memory
// for shared without order.
void HandOver(QEvent *event) {
#if defined(__SANITIZE_THREAD__)
  __tsan_release(event);
#else
  (void)event;
#endif
}

void TakeOver(QEvent *event) {
#if defined(__SANITIZE_THREAD__)
  __tsan_acquire(event);
#else
  (void)event;
#endif
}

const QEvent::Type WakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

TModelMessagePump::TModelMessagePump(std::function<void()> serve) : serve(std::move(serve)) {}

void TModelMessagePump::Wake() {
  auto *event = new QEvent(WakeEvent);
  HandOver(event);
  QCoreApplication::postEvent(this, event, Qt::HighEventPriority);
}

void TModelMessagePump::Disconnect() {
  serve = nullptr;
  // Wakes still queued are delivered (and freed) here rather than dropped by
  // the destructor, so that only their hand-over ever frees them.
  QCoreApplication::sendPostedEvents(this, WakeEvent);
  if (depth > 0)
    deleteLater();
  else
    delete this;
}

void TModelMessagePump::customEvent(QEvent *event) {
  TakeOver(event);
  if (event->type() != WakeEvent)
    return;
  // The model may be destroyed by what it serves; keep our own copy.
  const auto fn = serve;
  if (!fn)
    return;
  ++depth;
  fn();
  --depth;
}
