#include "maps/FormVisibility.h"

#include "maps/FrameGisLayer.h"

#include <QToolButton>

#include <algorithm>

TFVisibility* FVisibility = nullptr;

TFVisibility::TFVisibility(QWidget* owner) : TFSized(owner, QStringLiteral("FVisibility"))
{
  setObjectName("FVisibility");
  setWindowTitle("Отображаемые объекты");
  setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setMinimumSize(150, 100);
  resize(367, 257);
  GisLayer = new TFmGisLayer(this);
  GisLayer->setObjectName("GisLayer");
  Bok = new QToolButton(this);
  Bok->setObjectName("Bok");
  Bok->setText("Ok");
  Bok->setAutoRaise(true);
  Bok->resize(75, 25);
  connect(Bok, &QToolButton::clicked, this, [this] { done(1); });
  FormResize();
  RestorePlacement();
}

void TFVisibility::resizeEvent(QResizeEvent* event)
{
  TFSized::resizeEvent(event);
  FormResize();
}

void TFVisibility::FormResize()
{
  GisLayer->setGeometry(0, 0, width(), std::max(0, height() - 32));
  Bok->move((width() - Bok->width()) / 2, height() - Bok->height() - 4);
}
