#include "base/WindowPlacement.h"

#include "data/ByteOrder.h"

#include <QEvent>
#include <QMdiSubWindow>
#include <QVariant>
#include <QWidget>

namespace {

const char* const NormalRectProperty = "kestovarNormalRect";
const char* const TrackedProperty = "kestovarNormalRectTracked";

bool IsNormalState(Qt::WindowStates state)
{
  return !(state & (Qt::WindowMinimized | Qt::WindowMaximized));
}

// Sub-windows have no normal geometry of their own in Qt: remember the last
// rectangle they had while neither minimised nor maximised.
class TNormalRectTracker : public QObject {
public:
  explicit TNormalRectTracker(QObject* parent) : QObject(parent) {}

  bool eventFilter(QObject* watched, QEvent* event) override
  {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
      auto* w = static_cast<QWidget*>(watched);
      if (IsNormalState(w->windowState()))
        w->setProperty(NormalRectProperty, w->geometry());
    }
    return false;
  }
};

void TrackNormalRect(QWidget* w)
{
  if (w->isWindow() || w->property(TrackedProperty).toBool())
    return;
  w->setProperty(TrackedProperty, true);
  w->installEventFilter(new TNormalRectTracker(w));
  if (IsNormalState(w->windowState()))
    w->setProperty(NormalRectProperty, w->geometry());
}

QRect NormalRectOf(QWidget* w)
{
  if (w->isWindow())
    return w->normalGeometry().isValid() ? w->normalGeometry() : w->geometry();
  if (IsNormalState(w->windowState()))
    return w->geometry();
  QVariant stored = w->property(NormalRectProperty);
  return stored.isValid() ? stored.toRect() : w->geometry();
}

void PutInt(std::vector<uint8_t>& bytes, int32_t v)
{
  uint8_t b[4];
  PutInt32LE(b, v);
  bytes.insert(bytes.end(), b, b + 4);
}

} // namespace

void TWindowPlacement::SetNormalRect(const QRect& r)
{
  left = r.left();
  top = r.top();
  right = r.left() + r.width();
  bottom = r.top() + r.height();
}

std::vector<uint8_t> TWindowPlacement::ToBytes() const
{
  std::vector<uint8_t> bytes;
  bytes.reserve(Size);
  for (int32_t v : {length, flags, showCmd, minX, minY, maxX, maxY, left, top, right, bottom})
    PutInt(bytes, v);
  return bytes;
}

bool TWindowPlacement::FromBytes(const std::vector<uint8_t>& bytes)
{
  if (bytes.size() < static_cast<size_t>(Size))
    return false;
  int32_t* fields[] = {&length, &flags, &showCmd, &minX, &minY, &maxX, &maxY, &left, &top, &right, &bottom};
  for (size_t i = 0; i < 11; ++i)
    *fields[i] = GetInt32LE(bytes.data() + 4 * i);
  return true;
}

int32_t ShowCommandOf(Qt::WindowStates state)
{
  if (state & Qt::WindowMinimized)
    return ShowMinimized;
  if (state & Qt::WindowMaximized)
    return ShowMaximized;
  return ShowNormal;
}

void TrackWindowPlacement(QWidget* widget)
{
  TrackNormalRect(PlacedWidget(widget));
}

QWidget* PlacedWidget(QWidget* widget)
{
  if (auto* sub = qobject_cast<QMdiSubWindow*>(widget->parentWidget()))
    return sub;
  return widget;
}

TWindowPlacement GetWindowPlacement(QWidget* widget)
{
  QWidget* w = PlacedWidget(widget);
  TrackNormalRect(w);
  TWindowPlacement p;
  p.SetNormalRect(NormalRectOf(w));
  p.showCmd = ShowCommandOf(w->windowState());
  return p;
}

void SetWindowPlacement(QWidget* widget, const TWindowPlacement& placement)
{
  QWidget* w = PlacedWidget(widget);
  TrackNormalRect(w);
  QRect r = placement.NormalRect();
  if (r.width() > 0 && r.height() > 0) {
    w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    w->setGeometry(r);
    w->setProperty(NormalRectProperty, r);
  }
  switch (placement.showCmd) {
  case ShowHide:
    w->hide();
    break;
  case ShowMinimized:
    w->showMinimized();
    break;
  case ShowMaximized:
    w->showMaximized();
    break;
  default:
    w->showNormal();
    break;
  }
}
