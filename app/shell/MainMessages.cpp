#include "shell/MainMessages.h"

QEvent::Type TMainMessageEvent::EventType()
{
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}
