#include "model/dialogs/ParamDialogLayout.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

QLineEdit* AddEdit(QGridLayout* grid, int row, const char* name, const char* caption, const char* unit,
                   const char* hint)
{
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  if (hint)
    edit->setToolTip(QString::fromUtf8(hint));
  grid->addWidget(new QLabel(QString::fromUtf8(caption)), row, 0);
  grid->addWidget(edit, row, 1);
  if (unit)
    grid->addWidget(new QLabel(QString::fromUtf8(unit)), row, 2);
  return edit;
}

QHBoxLayout* MakeOkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel)
{
  ok = new QPushButton(QStringLiteral("OK"), dialog);
  ok->setDefault(true);
  cancel = new QPushButton(QStringLiteral("Отмена"), dialog);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

int NeededColumnWidth(const QTableWidget* grid, int column)
{
  // The table view hides the cell measure the item view offers publicly.
  const QAbstractItemView* view = grid;
  return std::max(grid->horizontalHeader()->sectionSizeHint(column), view->sizeHintForColumn(column));
}

int GridHeightFor(const QTableWidget* grid, int rows)
{
  return grid->horizontalHeader()->sizeHint().height() + rows * grid->verticalHeader()->defaultSectionSize() +
         2 * grid->frameWidth();
}
