#include "maps/FormArray3DExtract.h"

#include "base/ModalCalls.h"
#include "data/qt/RegistrySettings.h"
#include "gis/GArray3D.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
TFArray3DExtract* theForm = nullptr;
const QString FileFilter = QStringLiteral("Текст (*.txt);;Все файлы (*.*)");

QSpinBox* MakeBound(QWidget* parent)
{
  auto* box = new QSpinBox(parent);
  box->setMinimum(1);
  return box;
}
} // namespace

TFArray3DExtract::TFArray3DExtract(QWidget* owner) : QDialog(owner)
{
  setWindowTitle(QStringLiteral("Извлеч данные"));
  auto* layout = new QVBoxLayout(this);
  auto* fileRow = new QHBoxLayout;
  Lfname = new QLabel(this);
  Efile = new QLineEdit(ReadLastImportFolder(), this);
  Efile->installEventFilter(this);
  Bbrowse = new QPushButton(QStringLiteral("..."), this);
  fileRow->addWidget(Lfname);
  fileRow->addWidget(Efile);
  fileRow->addWidget(Bbrowse);
  layout->addLayout(fileRow);
  CBtype = new QComboBox(this);
  CBtype->addItems({QStringLiteral("таблица значений"), QStringLiteral("пары - (индексы, значение)"),
                    QStringLiteral("пары - (координаты, значение)")});
  CBtype->setCurrentIndex(0);
  layout->addWidget(CBtype);

  auto* range = new QGroupBox(QStringLiteral("Диапазон ячеек"), this);
  auto* grid = new QGridLayout(range);
  Ez1 = MakeBound(range);
  Ez2 = MakeBound(range);
  Ey1 = MakeBound(range);
  Ey2 = MakeBound(range);
  Ex1 = MakeBound(range);
  Ex2 = MakeBound(range);
  const auto addRow = [&](int row, const QString& caption, QSpinBox* from, QSpinBox* to) {
    grid->addWidget(new QLabel(caption, range), row, 0);
    grid->addWidget(new QLabel(QStringLiteral("с"), range), row, 1);
    grid->addWidget(from, row, 2);
    grid->addWidget(new QLabel(QStringLiteral("по"), range), row, 3);
    grid->addWidget(to, row, 4);
  };
  addRow(0, QStringLiteral("Слои:"), Ez1, Ez2);
  addRow(1, QStringLiteral("Строки:"), Ey1, Ey2);
  addRow(2, QStringLiteral("Столбцы:"), Ex1, Ex2);
  layout->addWidget(range);

  auto* buttons = new QHBoxLayout;
  Bok = new QPushButton(QStringLiteral("Ok"), this);
  Bcancel = new QPushButton(QStringLiteral("Отмена"), this);
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  layout->addLayout(buttons);
  connect(Bbrowse, &QPushButton::clicked, this, &TFArray3DExtract::BbrowseClick);
  connect(Bok, &QPushButton::clicked, this, &TFArray3DExtract::BokClick);
  connect(Bcancel, &QPushButton::clicked, this, &TFArray3DExtract::BcancelClick);
  SetDirection(0);
}

void TFArray3DExtract::SetDirection(int value)
{
  direction = value;
  Lfname->setText(direction == 0 ? QStringLiteral("в файл") : QStringLiteral("из файла"));
  setWindowTitle(direction == 0 ? QStringLiteral("Экспортировать данные") : QStringLiteral("Импортировать данные"));
}

void TFArray3DExtract::FormShow()
{
  transferred = false;
  if (!array)
    return;
  const auto cover = [](QSpinBox* first, QSpinBox* last, int count) {
    for (QSpinBox* box : {first, last})
      box->setMaximum(std::max(1, count));
    first->setValue(1);
    last->setValue(count);
  };
  cover(Ex1, Ex2, array->GetNX());
  cover(Ey1, Ey2, array->GetNY());
  cover(Ez1, Ez2, array->GetNZ());
}

bool TFArray3DExtract::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == Efile && event->type() == QEvent::MouseButtonDblClick) {
    BbrowseClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFArray3DExtract::BbrowseClick()
{
  const QString folder = Efile->text();
  const QString fileName = direction == 0
                               ? ModalCalls().SaveFileName(this, folder, FileFilter, QStringLiteral("txt"))
                               : ModalCalls().OpenFileName(this, folder, FileFilter);
  if (fileName.isEmpty())
    return;
  WriteLastImportFolder(QFileInfo(fileName).absolutePath());
  Efile->setText(fileName);
}

void TFArray3DExtract::BokClick()
{
  transferred = false;
  if (array) {
    const std::string fileName = Efile->text().toStdString();
    const int x1 = Ex1->value() - 1, y1 = Ey1->value() - 1, z1 = Ez1->value() - 1;
    const int x2 = Ex2->value() - 1, y2 = Ey2->value() - 1, z2 = Ez2->value() - 1;
    std::string why;
    if (direction == 0) {
      transferred = array->ExportText(x1, y1, z1, x2, y2, z2, CBtype->currentIndex(), fileName);
      if (!transferred)
        why = "Не удалось записать файл " + fileName;
    } else {
      transferred = array->ImportText(x1, y1, z1, x2, y2, z2, CBtype->currentIndex(), fileName, why);
    }
    // A transfer that failed says so: the user would otherwise trust a file
    // that was never written or values that were never read.
    if (!transferred)
      ShowErrorMessage(this, QString::fromStdString(why));
  }
  done(1);
}

TFArray3DExtract* Array3DExtractForm()
{
  if (!theForm)
    theForm = new TFArray3DExtract();
  return theForm;
}

void DestroyArray3DExtract()
{
  delete theForm;
  theForm = nullptr;
}
