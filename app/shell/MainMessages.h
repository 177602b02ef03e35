#pragma once
// The main window's own messages. They travel as posted events, so they are
// handled one after another in the order they were posted, like window messages.

#include "model/worker/CalcMessages.h"

#include <QEvent>

inline constexpr int WM_CLOSE_MAIN = 0x0010;
inline constexpr int WM_TOOLMODE_CHANGED = 601;
inline constexpr int WM_OPEN_START_PROJECT = 602;
inline constexpr int WM_START_CALCULATION = 603;

class TMainMessageEvent : public QEvent {
public:
  explicit TMainMessageEvent(int message) : QEvent(EventType()), FMessage(message) {}

  int Message() const { return FMessage; }
  static QEvent::Type EventType();

private:
  int FMessage;
};
