#include "views3d/FrameSectionView.h"

#include "base/ModalCalls.h"

#include "data/Stream.h"
#include "data/TagStream.h"
#include "data/TextConversion.h"

#include "melisco.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

// A picture moved further than this is far out of sight; the bound keeps the
// picture centre inside the integers the drawing library takes.
constexpr double MaxOffset = 1e6;

bool FiniteAll(const double* values, int count)
{
  return std::all_of(values, values + count, [](double v) { return std::isfinite(v); });
}

double Determinant(const double m[9])
{
  return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
}

// Records of the frame's image.
enum : int32_t {
  RecordHalfX = 1,
  RecordHalfY,
  RecordHalfZ,
  RecordZoom,
  RecordOffsetX,
  RecordOffsetY,
  RecordMatrix,
  RecordDepth,
};

} // namespace

TFmSectionView::TFmSectionView(QWidget* parent) : QWidget(parent)
{
  setMinimumSize(200, 200);
  setAttribute(Qt::WA_OpaquePaintEvent);
  InitBitmap(&FBitmap);
  FSettings.fillType = 3;
  FSettings.contoursOn = 1;
  FSettings.steppedFill = 0;
  FSettings.fillMix = 1;
  FSettings.transparency1 = 0x10000;
  FSettings.fillColor1 = 0x0000FF;
  FSettings.fillColor2 = 0xFF0000;
  FSettings.labelThin = 1;
  FSettings.labelBold = 1;
  FSettings.labelSpacing = 200;
  FSettings.labelStart = 70;
  FSettings.labelFactor = 1;
  FSettings.labelSubtrahend = 0;
  BuildMenu();
}

TFmSectionView::~TFmSectionView() { DeleteBitmap(&FBitmap); }

void TFmSectionView::BuildMenu()
{
  PMOptions = new QMenu(this);
  PMOptions->setObjectName(QStringLiteral("PMOptions"));
  PMIScale = PMOptions->addMenu(u("Масштаб"));
  PMIScale->setObjectName(QStringLiteral("PMIScale"));
  PMIZoom200 = PMIScale->addAction(u("Увеличить"), this, &TFmSectionView::PMIZoom200Click);
  PMIZoom200->setObjectName(QStringLiteral("PMIZoom200"));
  PMIZoom50 = PMIScale->addAction(u("Уменьшить"), this, &TFmSectionView::PMIZoom50Click);
  PMIZoom50->setObjectName(QStringLiteral("PMIZoom50"));
  PMIZoomManual = PMIScale->addAction(u("Точно ..."), this, &TFmSectionView::PMIZoomManualClick);
  PMIZoomManual->setObjectName(QStringLiteral("PMIZoomManual"));
  PMILabelDist = PMOptions->addAction(u("Шаг меток ..."), this, &TFmSectionView::PMILabelDistClick);
  PMILabelDist->setObjectName(QStringLiteral("PMILabelDist"));
  PMICopy = PMOptions->addAction(u("Копировать"), this, &TFmSectionView::PMICopyClick);
  PMICopy->setObjectName(QStringLiteral("PMICopy"));
}

// ---- Data ----

void TFmSectionView::CopySettings(const TArrayDrawSettings& settings)
{
  FSettings = settings;
  // The level table is the frame's own: the array may replace its table at any time.
  const int count = settings.levels ? std::max(settings.levelCount, 0) : 0;
  FLevels.assign(settings.levels, settings.levels + count);
  FSettings.levels = FLevels.empty() ? nullptr : FLevels.data();
  FSettings.levelCount = static_cast<int32_t>(FLevels.size());
}

void TFmSectionView::SetData(int nx, int ny, int nz, int signX, int signY, int signZ, const double* values,
                             const TArrayDrawSettings& settings)
{
  FNx = nx, FNy = ny, FNz = nz;
  FSigns[0] = signX, FSigns[1] = signY, FSigns[2] = signZ;
  FValues = values;
  FMesh = nullptr;
  CopySettings(settings);
}

void TFmSectionView::SetDataIrregular(const double* values, int perElement, TIrregularMesh* mesh, int signX, int signY,
                                      int signZ, const TArrayDrawSettings& settings)
{
  SetData(0, 0, 0, signX, signY, signZ, values, settings);
  FPerElement = perElement;
  FMesh = mesh;
}

void TFmSectionView::FreeData()
{
  FValues = nullptr;
  FMesh = nullptr;
  // The settings copy may hold the array's label font.
  FSettings.labelFont = nullptr;
}

void TFmSectionView::SetAxesScale(double sx, double sy, double sz)
{
  const double half[3] = {sx, sy, sz};
  if (!FiniteAll(half, 3) || !(sx > 0 && sy > 0 && sz > 0))
    return;
  std::copy(half, half + 3, FHalf);
}

void TFmSectionView::GetAxesScale(double* sx, double* sy, double* sz) const
{
  *sx = FHalf[0], *sy = FHalf[1], *sz = FHalf[2];
}

void TFmSectionView::SetSectionPlane(const double matrix[9], double shift)
{
  if (!FiniteAll(matrix, 9) || !std::isfinite(shift))
    return;
  const double det = Determinant(matrix);
  if (!std::isfinite(det) || std::fabs(det) < 1e-12)
    return;
  std::copy(matrix, matrix + 9, FMatrix);
  FDepth = shift;
}

// ---- Zoom and offset ----

void TFmSectionView::SetOffset(double x, double y)
{
  FOffsetX = static_cast<int>(std::lround(std::clamp(x, -MaxOffset, MaxOffset)));
  FOffsetY = static_cast<int>(std::lround(std::clamp(y, -MaxOffset, MaxOffset)));
}

void TFmSectionView::SetZoom(double zoom)
{
  if (!(zoom >= MinZoom && zoom <= MaxZoom))
    return;
  // The point under the centre stays where it is.
  const double factor = zoom / FZoom;
  SetOffset(FOffsetX * factor, FOffsetY * factor);
  FZoom = zoom;
  Redraw();
}

void TFmSectionView::PMIZoomManualClick()
{
  const QString shown = QString::fromStdString(FloatToStrSep(FZoom * 100, ffFixed, 15, 0));
  const std::optional<QString> answer = ModalCalls().InputBox(this, u("Масштаб"), u("значение, %"), shown);
  double percent = 0;
  if (answer && TryStrToFloatStrict(answer->toStdString(), percent))
    SetZoom(percent * 0.01);
}

void TFmSectionView::PMILabelDistClick()
{
  const QString shown = QString::number(FSettings.labelSpacing);
  const QString answer =
      ModalCalls().InputBox(this, u("шаг меток"), u("пиксели") + u(": "), shown).value_or(shown);
  bool isNumber = false;
  const int spacing = answer.trimmed().toInt(&isNumber);
  FSettings.labelSpacing = isNumber ? spacing : 100;
  Redraw();
}

// ---- Drawing ----

void TFmSectionView::Redraw()
{
  FSurface.width = std::max(width(), 1);
  FSurface.height = std::max(height(), 1);
  CheckBitmap(&FSurface, FSurface.width, FSurface.height, false, &FBitmap);
  if (!FBitmap.memDC || !FBitmap.dib)
    return;
  RedrawSection();
  repaint();
}

void TFmSectionView::RedrawSection()
{
  const size_t rowBytes =
      static_cast<size_t>(FBitmap.width) * (FBitmap.info.bmiHeader.biBitCount / 8) + FBitmap.rowPadding;
  std::memset(FBitmap.bits, 0xFF, rowBytes * static_cast<size_t>(FBitmap.height));
  if (!FValues)
    return;
  const int cx = FBitmap.width / 2 + FOffsetX;
  const int cy = FBitmap.height / 2 + FOffsetY;
  const double s = PixelsPerUnit * FZoom;
  if (FNx != 0 && FNy != 0 && FNz != 0)
    DrawSection(&FBitmap, cx, cy, s, FValues, FNx, FNy, FNz, FSigns[0], FSigns[1], FSigns[2], FHalf[0], FHalf[1],
                FHalf[2], FMatrix, FDepth, &FSettings);
  else if (FMesh)
    DrawSection_IA(&FBitmap, cx, cy, s, FValues, FPerElement, FMesh, FHalf[0], FHalf[1], FHalf[2], FMatrix, FDepth,
                   &FSettings);
}

QImage TFmSectionView::PictureImage() const
{
  if (!FBitmap.dib || FBitmap.width <= 0 || FBitmap.height <= 0)
    return QImage();
  QImage image(FBitmap.width, FBitmap.height, QImage::Format_RGB32);
  TWindowSurface target{image.bits(), FBitmap.width, FBitmap.height, static_cast<int32_t>(image.bytesPerLine()), 32,
                        0};
  DrawBitmap(&target, &FBitmap);
  return image;
}

void TFmSectionView::paintEvent(QPaintEvent*)
{
  QPainter painter(this);
  const QImage image = PictureImage();
  if (image.isNull())
    painter.fillRect(rect(), Qt::white);
  else
    painter.drawImage(0, 0, image);
}

void TFmSectionView::resizeEvent(QResizeEvent*)
{
  if (width() != FBitmap.width || height() != FBitmap.height)
    Redraw();
}

// ---- Mouse ----

void TFmSectionView::mousePressEvent(QMouseEvent* event)
{
  const QPoint p = event->position().toPoint();
  FLastMouseX = p.x(), FLastMouseY = p.y();
}

void TFmSectionView::mouseMoveEvent(QMouseEvent* event)
{
  const QPoint p = event->position().toPoint();
  if (event->buttons() & Qt::LeftButton) {
    SetOffset(double(FOffsetX) + (p.x() - FLastMouseX), double(FOffsetY) + (p.y() - FLastMouseY));
    Redraw();
  }
  FLastMouseX = p.x(), FLastMouseY = p.y();
}

void TFmSectionView::contextMenuEvent(QContextMenuEvent* event)
{
  PMOptions->popup(event->globalPos());
  event->accept();
}

// ---- Export ----

void TFmSectionView::CopyToClipboard()
{
  const QImage image = PictureImage();
  if (!image.isNull())
    ModalCalls().SetClipboardImage(image.convertToFormat(QImage::Format_RGB888));
}

bool TFmSectionView::SaveBitmap(const QString& fileName)
{
  const QImage image = PictureImage().convertToFormat(QImage::Format_RGB888);
  if (image.isNull())
    return false;
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "BMP"))
    return false;
  return file.commit();
}

// ---- Image ----

void TFmSectionView::Save(TTagStream* stream) const
{
  stream->WriteDouble(FHalf[0], RecordHalfX);
  stream->WriteDouble(FHalf[1], RecordHalfY);
  stream->WriteDouble(FHalf[2], RecordHalfZ);
  stream->WriteDouble(FZoom, RecordZoom);
  stream->WriteInt(FOffsetX, RecordOffsetX);
  stream->WriteInt(FOffsetY, RecordOffsetY);
  stream->WriteBuffer(FMatrix, sizeof FMatrix, RecordMatrix);
  stream->WriteDouble(FDepth, RecordDepth);
}

void TFmSectionView::Load(TTagStream* stream)
{
  // A damaged image must not leave a plane or scale that cannot be drawn:
  // every value passes the checks that the setters make.
  double half[3];
  GetAxesScale(&half[0], &half[1], &half[2]);
  stream->Read(half[0], RecordHalfX);
  stream->Read(half[1], RecordHalfY);
  stream->Read(half[2], RecordHalfZ);
  SetAxesScale(half[0], half[1], half[2]);
  double zoom = FZoom;
  stream->Read(zoom, RecordZoom);
  if (zoom >= MinZoom && zoom <= MaxZoom)
    FZoom = zoom;
  int32_t x = FOffsetX, y = FOffsetY;
  stream->Read(x, RecordOffsetX);
  stream->Read(y, RecordOffsetY);
  SetOffset(x, y);
  double matrix[9];
  std::copy(FMatrix, FMatrix + 9, matrix);
  double depth = FDepth;
  stream->ReadBuffer(matrix, sizeof matrix, RecordMatrix);
  stream->Read(depth, RecordDepth);
  SetSectionPlane(matrix, depth);
}
