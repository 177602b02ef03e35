#include "plots/info/FormInfoView.h"

#include "data/TagStream.h"

#include <QEvent>
#include <QMdiSubWindow>

TFInfoView::TFInfoView(TFMain* mainWindow, QWidget* owner, TFModel* model, int kind, int32_t recordGroup)
    : TFGisView(mainWindow, owner), Model(model), FRecordGroup(recordGroup)
{
  SetTag(kind);
  setAttribute(Qt::WA_DeleteOnClose);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
}

void TFInfoView::SaveToStream(TTagStream* stream)
{
  TFGisView::SaveToStream(stream);
  stream->SetGroup(FRecordGroup);
}

void TFInfoView::LoadFromStream(TTagStream* stream)
{
  TFGisView::LoadFromStream(stream);
  stream->SetGroup(FRecordGroup);
}

bool TFInfoView::event(QEvent* event)
{
  // Refilled each time the sub-window that holds it becomes the active one.
  if (event->type() == QEvent::ParentChange)
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
      connect(sub, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
        if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive))
          Refresh();
      });
  return TFGisView::event(event);
}
