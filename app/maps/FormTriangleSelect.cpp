#include "maps/FormTriangleSelect.h"

#include "base/ModalCalls.h"
#include "gis/GMeshSource.h"
#include "mesh/MeshOperations.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

TFTriangleSelect* theForm = nullptr;

// Shows the form's picture and hands its mouse to the form.
class TMeshImage : public QWidget {
public:
  explicit TMeshImage(TFTriangleSelect* form) : QWidget(form), form(form) { setMinimumSize(100, 100); }

protected:
  void paintEvent(QPaintEvent*) override
  {
    QPainter painter(this);
    painter.drawImage(0, 0, form->Picture);
  }
  void resizeEvent(QResizeEvent*) override { form->Redraw(); }
  void mousePressEvent(QMouseEvent* event) override
  {
    if (event->button() == Qt::LeftButton)
      form->ImageMouseDown(event->position().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* event) override
  {
    if (event->buttons() & Qt::LeftButton)
      form->ImageMouseMove(event->position().toPoint());
  }
  void mouseReleaseEvent(QMouseEvent* event) override
  {
    if (event->button() == Qt::LeftButton)
      form->ImageMouseUp(event->position().toPoint());
  }

private:
  TFTriangleSelect* form;
};

QPushButton* FlatButton(const QString& text, QWidget* owner)
{
  auto* button = new QPushButton(text, owner);
  button->setFlat(true);
  return button;
}

} // namespace

TFTriangleSelect::TFTriangleSelect(QWidget* owner) : TFSized(owner, QStringLiteral("FTriangleSelect"))
{
  setObjectName("FTriangleSelect");
  setWindowTitle(QString::fromUtf8("Сетка"));
  resize(400, 400);
  Bzoomin = FlatButton(QStringLiteral("+"), this);
  Bzoomout = FlatButton(QStringLiteral("-"), this);
  Bleft = FlatButton(QStringLiteral("<"), this);
  Bright = FlatButton(QStringLiteral(">"), this);
  Bup = FlatButton(QStringLiteral("^"), this);
  Bdn = FlatButton(QStringLiteral("v"), this);
  Image = new TMeshImage(this);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {Bzoomin, Bzoomout, Bleft, Bright, Bup, Bdn})
    buttons->addWidget(button);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(Image, 1);
  connect(Bzoomin, &QPushButton::clicked, this, &TFTriangleSelect::BzoominClick);
  connect(Bzoomout, &QPushButton::clicked, this, &TFTriangleSelect::BzoomoutClick);
  connect(Bleft, &QPushButton::clicked, this, &TFTriangleSelect::BleftClick);
  connect(Bright, &QPushButton::clicked, this, &TFTriangleSelect::BrightClick);
  connect(Bup, &QPushButton::clicked, this, &TFTriangleSelect::BupClick);
  connect(Bdn, &QPushButton::clicked, this, &TFTriangleSelect::BdnClick);
  RestorePlacement();
}

TFTriangleSelect::TWindow TFTriangleSelect::VisibleWindow() const
{
  const double cx = (x1 + x2) / 2 + (x2 - x1) * PanX;
  const double cy = (y1 + y2) / 2 + (y2 - y1) * PanY;
  const double halfWidth = (x2 - x1) / 2 * Zoom;
  const double halfHeight = (y2 - y1) / 2 * Zoom;
  return {cx - halfWidth, cy - halfHeight, cx + halfWidth, cy + halfHeight};
}

void TFTriangleSelect::FormActivate()
{
  // The nodes are kept in the GIS's relative coordinates, like the bounds.
  const TIrregularMesh* mesh = Source ? Source->GetIrregularMesh() : nullptr;
  if (!mesh || mesh->triangleCount <= 0)
    return;
  x1 = mesh->minX;
  y1 = mesh->minY;
  x2 = mesh->maxX;
  y2 = mesh->maxY;
  Redraw();
}

int TFTriangleSelect::ShowModal()
{
  FormActivate();
  return ModalCalls().ExecDialog(this);
}

void TFTriangleSelect::Redraw()
{
  const TIrregularMesh* mesh = Source ? Source->GetIrregularMesh() : nullptr;
  if (!mesh)
    return;
  Picture = QImage(Image->size(), QImage::Format_RGB32);
  Picture.fill(Qt::white);
  const TWindow window = VisibleWindow();
  const double sx = Picture.width() / (window.x2 - window.x1);
  const double sy = Picture.height() / (window.y2 - window.y1);
  const auto corners = [&](int t) {
    QPolygonF polygon;
    for (int c = 0; c < 3; ++c) {
      const int node = mesh->triangles[3 * t + c];
      polygon << QPointF((mesh->nodeXY[2 * node] - window.x1) * sx, (mesh->nodeXY[2 * node + 1] - window.y1) * sy);
    }
    return polygon;
  };
  QPainter painter(&Picture);
  painter.setPen(Qt::black);
  for (int t = 0; t < mesh->triangleCount; ++t)
    painter.drawPolygon(corners(t));
  if (Selected >= 0 && Selected < mesh->triangleCount) {
    const QPolygonF polygon = corners(Selected);
    const QColor green(0x00, 0xC0, 0x00);
    painter.setPen(green);
    painter.setBrush(green);
    painter.drawPolygon(polygon);
    painter.setPen(Qt::black);
    for (int c = 0; c < 3; ++c)
      painter.drawText(polygon[c], QString::number(c + 1));
  }
  painter.end();
  Image->update();
}

void TFTriangleSelect::BzoominClick()
{
  Zoom /= 2;
  Redraw();
}

void TFTriangleSelect::BzoomoutClick()
{
  Zoom *= 2;
  Redraw();
}

void TFTriangleSelect::Pan(double dx, double dy)
{
  PanX += dx;
  PanY += dy;
  Redraw();
}

void TFTriangleSelect::ImageMouseDown(QPoint at)
{
  downAt = at;
  downPanX = PanX;
  downPanY = PanY;
  dragging = true;
}

void TFTriangleSelect::ImageMouseMove(QPoint at)
{
  if (!dragging || Image->width() <= 0 || Image->height() <= 0)
    return;
  PanX = downPanX + (downAt.x() - at.x()) * Zoom / Image->width();
  PanY = downPanY + (downAt.y() - at.y()) * Zoom / Image->height();
  Redraw();
}

void TFTriangleSelect::ImageMouseUp(QPoint at)
{
  const bool click = dragging && at == downAt;
  dragging = false;
  const TIrregularMesh* mesh = Source ? Source->GetIrregularMesh() : nullptr;
  if (!click || !mesh || mesh->triangleCount <= 0 || Image->width() <= 0 || Image->height() <= 0)
    return;
  const TWindow window = VisibleWindow();
  const double x = window.x1 + (at.x() + 0.5) / Image->width() * (window.x2 - window.x1);
  const double y = window.y1 + (at.y() + 0.5) / Image->height() * (window.y2 - window.y1);
  const int t = FindMeshTriangle(mesh, x, y);
  if (t < 0)
    return;
  Selected = t;
  if (SpinEdit) {
    SpinEdit->setValue(t);
    Redraw();
    return;
  }
  done(1);
}

TFTriangleSelect* TriangleSelectForm()
{
  if (!theForm)
    theForm = new TFTriangleSelect();
  return theForm;
}

void DestroyTriangleSelect()
{
  delete theForm;
  theForm = nullptr;
}
