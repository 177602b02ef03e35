#pragma once
// TFmGisBrowser: the tree of a GIS's objects, grouped by the path each object
// gives for itself (type, then for arrays the quantity's categories, then the
// name), with a selection of several nodes under one parent: Ctrl toggles a
// node, Shift takes the run of siblings from the anchor. Nodes keep object
// ids, never pointers.
#include <QList>
#include <QWidget>

#include <cstdint>

class QTreeWidget;
class QTreeWidgetItem;
class TGIS;
class TGObj;

class TFmGisBrowser : public QWidget {
  Q_OBJECT

public:
  // The id of group nodes: never the id of an object.
  static constexpr std::int32_t GroupNodeMarker = 0x10000000;
  static constexpr int GroupImage = 0;
  static constexpr int ObjectImage = 3;

  explicit TFmGisBrowser(QWidget* owner = nullptr);

  // Stores the GIS and rebuilds the tree, selecting the object's node.
  void SetGis(TGIS* gis, TGObj* objectToSelect);
  TGIS* Gis() const { return gis; }
  void BuildTree(TGObj* objectToSelect);

  static std::int32_t NodeId(const QTreeWidgetItem* node);
  static int NodeImage(const QTreeWidgetItem* node);
  const QList<QTreeWidgetItem*>& Selection() const { return selection; }
  bool IsInSelection(const QTreeWidgetItem* node) const { return selection.contains(node); }
  // Removes a node (and its subtree) from the tree and from the selection.
  void DeleteNode(QTreeWidgetItem* node);

  QTreeWidget* Tree = nullptr;

public slots:
  void TreeChange(QObject* sender, QTreeWidgetItem* node);
  void TreeChanging(QTreeWidgetItem* previous);
  void TreeClick(QTreeWidgetItem* node);
  // Shift and Ctrl as the last key-down of either reported them; a key-up of
  // either clears them.
  void TreeKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void TreeKeyUp(int key);

signals:
  // The selection moved to a node (or to none).
  void SelectionChanged(QTreeWidgetItem* node);
  // A key went down in the tree, after the browser frame saw it.
  void KeyDown(int key);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QTreeWidgetItem* NewNode(QTreeWidgetItem* parent, const QString& caption, std::int32_t creatorId, int index);
  QTreeWidgetItem* TakeOrMakeNode(QTreeWidgetItem* parent, const TGObj& object, int level, int levels);
  int SortedIndex(QTreeWidgetItem* parent, const std::string& key, int level, bool groupLevel) const;
  std::string SortKeyOf(const QTreeWidgetItem* node, int level) const;
  void Repaint();
  void OnCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);

  TGIS* gis = nullptr;
  Qt::KeyboardModifiers shiftState;
  QTreeWidgetItem* previousNode = nullptr;
  bool inChange = false;
  QList<QTreeWidgetItem*> selection;
};
