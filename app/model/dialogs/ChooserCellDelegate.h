#pragma once
// The delegate of a table whose chooser cells take no typed text: it gives
// them no editor, so no way into a cell (a key, a double click, a Tab out of
// the editor of the cell before) can put free text there.
#include <QStyledItemDelegate>

#include <functional>

class TChooserCellDelegate : public QStyledItemDelegate {
public:
  using TIsChooser = std::function<bool(const QModelIndex& index)>;

  TChooserCellDelegate(TIsChooser isChooser, QObject* parent);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;

private:
  TIsChooser isChooser;
};
