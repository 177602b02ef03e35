#include "model/ModelMessagePump.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

const QEvent::Type WakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

TModelMessagePump::TModelMessagePump(std::function<void()> serve) : serve(std::move(serve)) {}

void TModelMessagePump::Wake() {
  QCoreApplication::postEvent(this, new QEvent(WakeEvent), Qt::HighEventPriority);
}

void TModelMessagePump::Disconnect() {
  serve = nullptr;
  if (depth > 0)
    deleteLater();
  else
    delete this;
}

void TModelMessagePump::customEvent(QEvent *event) {
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
