#pragma once

#include <QObject>

#include <functional>

// Wakes the user-interface thread for a model: any thread may call Wake, and
// the pump then serves the model's messages from the Qt event loop, ahead of
// ordinary events. It lives in the thread that created it.
class TModelMessagePump : public QObject {
public:
  explicit TModelMessagePump(std::function<void()> serve);

  // Thread-safe.
  void Wake();
  // User-interface thread: serves nothing more and frees the pump, later when
  // called from inside its own event.
  void Disconnect();

protected:
  void customEvent(QEvent *event) override;

private:
  ~TModelMessagePump() override = default;

  std::function<void()> serve;
  int depth = 0;
};
