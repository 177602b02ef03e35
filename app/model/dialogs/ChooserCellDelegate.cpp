#include "model/dialogs/ChooserCellDelegate.h"

#include <utility>

TChooserCellDelegate::TChooserCellDelegate(TIsChooser chooser, QObject* parent)
    : QStyledItemDelegate(parent), isChooser(std::move(chooser))
{
}

QWidget* TChooserCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const
{
  if (isChooser && isChooser(index))
    return nullptr;
  return QStyledItemDelegate::createEditor(parent, option, index);
}
