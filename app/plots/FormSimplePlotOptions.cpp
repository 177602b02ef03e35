#include "plots/FormSimplePlotOptions.h"

#include "maps/SignFont.h"

#include "base/ModalCalls.h"

#include "gis/BitmapCanvas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

// Lists only: a typed text would leave no item chosen and give settings outside the list.
QComboBox* List(QWidget* parent, const char* name, std::initializer_list<const char*> items)
{
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->setEditable(false);
  for (const char* item : items)
    combo->addItem(Tr(item));
  return combo;
}

QLineEdit* Edit(QWidget* parent, const char* name)
{
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption)
{
  auto* box = new QCheckBox(Tr(caption), parent);
  box->setObjectName(name);
  return box;
}

uint32_t ColorRef(const QColor& colour)
{
  return static_cast<uint32_t>(colour.red()) | (static_cast<uint32_t>(colour.green()) << 8) |
         (static_cast<uint32_t>(colour.blue()) << 16);
}

QFont PointFont(const TFontRecord& record)
{
  QFont font(QString::fromStdString(record.name));
  font.setPointSize(record.size > 0 ? record.size : 8);
  font.setBold(record.style & TFontRecord::Bold);
  font.setItalic(record.style & TFontRecord::Italic);
  font.setUnderline(record.style & TFontRecord::Underline);
  font.setStrikeOut(record.style & TFontRecord::StrikeOut);
  return font;
}

} // namespace

TFSimplePlotOptions::TFSimplePlotOptions(QWidget* parent) : QDialog(parent)
{
  setWindowTitle(Tr("Настройки графика"));
  Pages = new QTabWidget(this);

  PageCommon = new QWidget;
  auto* common = new QFormLayout(PageCommon);
  CBlegendpos = List(PageCommon, "CBlegendpos", {"нет", "слева", "справа", "сверху", "внизу"});
  common->addRow(Tr("легенда"), CBlegendpos);
  CBbmonochrome = Check(PageCommon, "CBbmonochrome", "черно-белый");
  common->addRow(CBbmonochrome);
  Etitle = Edit(PageCommon, "Etitle");
  common->addRow(Tr("заголовок граф."), Etitle);
  auto* gradient = new QGroupBox(Tr(" градиент "), PageCommon);
  auto* gradientRow = new QHBoxLayout(gradient);
  CBgradstyle = List(gradient, "CBgradstyle",
                     {"нет", "сверху вниз", "снизу вверх", "слева на права", "справа на слева", "к центру",
                      "сверху на права", "снизу на права"});
  gradientRow->addWidget(CBgradstyle);
  QFrame** shapes[] = {&Sgradcol1, &Sgradcol2};
  QPushButton** buttons[] = {&Bgradcol1, &Bgradcol2};
  const char* shapeNames[] = {"Sgradcol1", "Sgradcol2"};
  const char* buttonNames[] = {"Bgradcol1", "Bgradcol2"};
  const char* buttonCaptions[] = {"конец", "начало"};
  for (int i = 0; i < 2; ++i) {
    QFrame* shape = *shapes[i] = new QFrame(gradient);
    shape->setObjectName(shapeNames[i]);
    shape->setFixedSize(24, 18);
    shape->setFrameShape(QFrame::Box);
    shape->setAutoFillBackground(true);
    shape->installEventFilter(this);
    QPushButton* button = *buttons[i] = new QPushButton(Tr(buttonCaptions[i]), gradient);
    button->setObjectName(buttonNames[i]);
    connect(button, &QPushButton::clicked, this, [this, shape] { ChooseColour(shape); });
    gradientRow->addWidget(shape);
    gradientRow->addWidget(button);
  }
  common->addRow(gradient);
  auto* title = new QGroupBox(Tr(" заголовок "), PageCommon);
  auto* titleRow = new QHBoxLayout(title);
  CBtitleUpDown = List(title, "CBtitleUpDown", {"нет", "сверху", "снизу"});
  CBtitleAlign = List(title, "CBtitleAlign", {"по левому", "по правому", "по центру"});
  titleRow->addWidget(CBtitleUpDown);
  titleRow->addWidget(CBtitleAlign);
  common->addRow(title);
  auto* fonts = new QGroupBox(Tr("шрифты"), PageCommon);
  auto* fontRow = new QHBoxLayout(fonts);
  const char* fontNames[] = {"BtitleFont", "BlegendFont", "BaxisTitleFont", "BaxisLabelFont"};
  const char* fontCaptions[] = {"заголовок", "легенда", "ось", "метки"};
  for (int i = 0; i < 4; ++i) {
    BFonts[i] = new QPushButton(Tr(fontCaptions[i]), fonts);
    BFonts[i]->setObjectName(fontNames[i]);
    connect(BFonts[i], &QPushButton::clicked, this, [this, i] { ChooseFont(i); });
    fontRow->addWidget(BFonts[i]);
  }
  common->addRow(fonts);
  Pages->addTab(PageCommon, Tr("Общие"));

  PageX = new QWidget;
  auto* x = new QFormLayout(PageX);
  Etitlex = Edit(PageX, "Etitlex");
  x->addRow(Tr("подпись"), Etitlex);
  CBbgridx = Check(PageX, "CBbgridx", "сетка");
  x->addRow(CBbgridx);
  auto* shift = new QGroupBox(Tr(" вычисть "), PageX);
  auto* shiftRow = new QHBoxLayout(shift);
  Bshiftxno = new QRadioButton(Tr("нет"), shift);
  Bshiftxfirst = new QRadioButton(Tr("начальное"), shift);
  Bshiftxvalue = new QRadioButton(Tr("указанное"), shift);
  Bshiftxno->setObjectName("Bshiftxno");
  Bshiftxfirst->setObjectName("Bshiftxfirst");
  Bshiftxvalue->setObjectName("Bshiftxvalue");
  Eshiftx = Edit(shift, "Eshiftx");
  for (QWidget* w : std::initializer_list<QWidget*>{Bshiftxno, Bshiftxfirst, Bshiftxvalue, Eshiftx})
    shiftRow->addWidget(w);
  x->addRow(shift);
  auto* autoscale = new QGroupBox(Tr(" автомасштаб "), PageX);
  auto* autoRow = new QFormLayout(autoscale);
  CBautoscalexmin = Check(autoscale, "CBautoscalexmin", "");
  CBautoscalexmax = Check(autoscale, "CBautoscalexmax", "");
  Eminx = Edit(autoscale, "Eminx");
  Emaxx = Edit(autoscale, "Emaxx");
  auto* minRow = new QHBoxLayout;
  minRow->addWidget(CBautoscalexmin);
  minRow->addWidget(Eminx);
  auto* maxRow = new QHBoxLayout;
  maxRow->addWidget(CBautoscalexmax);
  maxRow->addWidget(Emaxx);
  autoRow->addRow(Tr("мин."), minRow);
  autoRow->addRow(Tr("макс."), maxRow);
  x->addRow(autoscale);
  Pages->addTab(PageX, Tr("Ось X"));

  const char* pageCaptions[] = {"Ось Y левая", "Ось Y правая"};
  for (int k = 0; k < 2; ++k) {
    const QString n = QString::number(k + 1);
    QWidget* page = PageY[k] = new QWidget;
    auto* form = new QFormLayout(page);
    Etitley[k] = Edit(page, qPrintable("Etitley" + n));
    form->addRow(Tr("подпись"), Etitley[k]);
    CBbgridy[k] = Check(page, qPrintable("CBbgridy" + n), "сетка");
    form->addRow(CBbgridy[k]);
    CBautoscaley[k] = Check(page, qPrintable("CBautoscaley" + n), "автомасштаб");
    form->addRow(CBautoscaley[k]);
    Eminy[k] = Edit(page, qPrintable("Eminy" + n));
    form->addRow(Tr("минимум"), Eminy[k]);
    Emaxy[k] = Edit(page, qPrintable("Emaxy" + n));
    form->addRow(Tr("максимум"), Emaxy[k]);
    CBblogy[k] = Check(page, qPrintable("CBblogy" + n), "логарифмическая");
    CBblogy[k]->setToolTip(Tr("Использовать логарифмическую шкалу"));
    form->addRow(CBblogy[k]);
    Emargin[k] = Edit(page, qPrintable("Emargin" + n));
    form->addRow(Tr("поле"), Emargin[k]);
    Pages->addTab(page, Tr(pageCaptions[k]));
    connect(CBautoscaley[k], &QCheckBox::toggled, this, &TFSimplePlotOptions::UpdateEnabled);
  }
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{CBautoscalexmin, CBautoscalexmax, Bshiftxno,
                                                                    Bshiftxfirst, Bshiftxvalue})
    connect(b, &QAbstractButton::toggled, this, &TFSimplePlotOptions::UpdateEnabled);

  BOk = new QPushButton(Tr("Ok"), this);
  BOk->setObjectName("BOk");
  BOk->setDefault(true);
  BCancel = new QPushButton(Tr("Отмена"), this);
  BCancel->setObjectName("BCancel");
  connect(BOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  buttonRow->addWidget(BOk);
  buttonRow->addWidget(BCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages);
  layout->addLayout(buttonRow);
}

uint32_t TFSimplePlotOptions::ShapeColour(const QFrame* shape)
{
  return ColorRef(shape->palette().color(QPalette::Window));
}

void TFSimplePlotOptions::SetShapeColour(QFrame* shape, uint32_t colour)
{
  QPalette palette = shape->palette();
  palette.setColor(QPalette::Window, TBitmapCanvas::ColorOf(static_cast<COLORREF>(colour)));
  shape->setPalette(palette);
}

void TFSimplePlotOptions::UpdateEnabled()
{
  Eminx->setEnabled(!CBautoscalexmin->isChecked());
  Emaxx->setEnabled(!CBautoscalexmax->isChecked());
  for (int k = 0; k < 2; ++k) {
    Eminy[k]->setEnabled(!CBautoscaley[k]->isChecked());
    Emaxy[k]->setEnabled(!CBautoscaley[k]->isChecked());
  }
  Eshiftx->setEnabled(Bshiftxvalue->isChecked());
}

void TFSimplePlotOptions::showEvent(QShowEvent* event)
{
  UpdateEnabled();
  QDialog::showEvent(event);
}

bool TFSimplePlotOptions::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::MouseButtonPress && (watched == Sgradcol1 || watched == Sgradcol2)) {
    ChooseColour(static_cast<QFrame*>(watched));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFSimplePlotOptions::ChooseColour(QFrame* shape)
{
  const QColor current = TBitmapCanvas::ColorOf(static_cast<COLORREF>(ShapeColour(shape)));
  if (std::optional<QColor> chosen = ModalCalls().ChooseColour(this, current))
    SetShapeColour(shape, ColorRef(*chosen));
}

void TFSimplePlotOptions::ChooseFont(int index)
{
  const TFontChoice initial{PointFont(HeldFonts[index]), TBitmapCanvas::ColorOf(HeldFonts[index])};
  if (std::optional<TFontChoice> chosen = ModalCalls().ChooseFontColour(this, initial))
    HeldFonts[index] = FontRecordFromChoice(*chosen, HeldFonts[index]);
}

TFSimplePlotOptions* FSimplePlotOptions()
{
  return SharedPlotOptions<TFSimplePlotOptions>();
}
