#include "maps/FrameGisBrowser.h"

#include "gis/GIS.h"
#include "gis/GObj.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kPlaceholder = QStringLiteral("###$%%%");
constexpr int kIdRole = Qt::UserRole;
constexpr int kCreatorRole = Qt::UserRole + 1;
constexpr int kImageRole = Qt::UserRole + 2;

QList<QTreeWidgetItem*> Siblings(QTreeWidget* tree, QTreeWidgetItem* parent)
{
  QList<QTreeWidgetItem*> nodes;
  const int count = parent ? parent->childCount() : tree->topLevelItemCount();
  for (int i = 0; i < count; ++i)
    nodes.push_back(parent ? parent->child(i) : tree->topLevelItem(i));
  return nodes;
}

void SetImage(QTreeWidgetItem* node, int image)
{
  node->setData(0, kImageRole, image);
  const QStyle* style = QApplication::style();
  node->setIcon(0, style->standardIcon(image == TFmGisBrowser::GroupImage ? QStyle::SP_DirIcon
                                                                          : QStyle::SP_FileIcon));
}

bool IsInSubtree(const QTreeWidgetItem* node, const QTreeWidgetItem* root)
{
  for (const QTreeWidgetItem* at = node; at; at = at->parent())
    if (at == root)
      return true;
  return false;
}

} // namespace

TFmGisBrowser::TFmGisBrowser(QWidget* owner) : QWidget(owner)
{
  setObjectName("GisBrowser");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Tree = new QTreeWidget(this);
  Tree->setHeaderHidden(true);
  Tree->setIndentation(19);
  Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The browser paints its own selection of several nodes.
  Tree->setSelectionMode(QAbstractItemView::NoSelection);
  Tree->installEventFilter(this);
  layout->addWidget(Tree);
  connect(Tree, &QTreeWidget::currentItemChanged, this, &TFmGisBrowser::OnCurrentChanged);
  connect(Tree, &QTreeWidget::itemClicked, this, &TFmGisBrowser::TreeClick);
}

std::int32_t TFmGisBrowser::NodeId(const QTreeWidgetItem* node)
{
  return node ? node->data(0, kIdRole).toInt() : 0;
}

int TFmGisBrowser::NodeImage(const QTreeWidgetItem* node)
{
  return node ? node->data(0, kImageRole).toInt() : -1;
}

void TFmGisBrowser::SetGis(TGIS* newGis, TGObj* objectToSelect)
{
  gis = newGis;
  BuildTree(objectToSelect);
}

void TFmGisBrowser::BuildTree(TGObj* objectToSelect)
{
  selection.clear();
  previousNode = nullptr;
  {
    const QSignalBlocker quiet(Tree);
    Tree->clear();
  }
  if (!gis)
    return;
  if (!gis->ContainsObject(objectToSelect))
    objectToSelect = nullptr;
  QTreeWidgetItem* remembered = nullptr;
  NewNode(nullptr, kPlaceholder, 0, 0);
  for (int i = 0; i < gis->GetObjectCount(); ++i) {
    const TGObj& object = *gis->GetObject(i);
    const int levels = std::max(1, object.GetTreePathLength());
    QTreeWidgetItem* parent = nullptr;
    QTreeWidgetItem* node = nullptr;
    for (int k = 0; k < levels; ++k) {
      node = TakeOrMakeNode(parent, object, k, levels);
      parent = node;
    }
    node->setData(0, kIdRole, object.GetId());
    node->setData(0, kCreatorRole, object.GetId());
    SetImage(node, ObjectImage);
    if (&object == objectToSelect)
      remembered = node;
  }
  // A GIS without objects leaves the placeholder untaken: it is no object.
  for (QTreeWidgetItem* top : Siblings(Tree, nullptr))
    if (top->text(0) == kPlaceholder)
      delete top;
  if (remembered)
    Tree->setCurrentItem(remembered);
}

QTreeWidgetItem* TFmGisBrowser::NewNode(QTreeWidgetItem* parent, const QString& caption, std::int32_t creatorId,
                                        int index)
{
  auto* node = new QTreeWidgetItem(QStringList(caption));
  node->setData(0, kCreatorRole, creatorId);
  node->setData(0, kIdRole, 0);
  if (parent)
    parent->insertChild(index, node);
  else
    Tree->insertTopLevelItem(index, node);
  return node;
}

QTreeWidgetItem* TFmGisBrowser::TakeOrMakeNode(QTreeWidgetItem* parent, const TGObj& object, int level, int levels)
{
  const QString caption = QString::fromStdString(object.GetTreePathText(level));
  const bool groupLevel = level < levels - 1;
  QTreeWidgetItem* node = nullptr;
  for (QTreeWidgetItem* sibling : Siblings(Tree, parent)) {
    if (sibling->text(0) == kPlaceholder) {
      sibling->setText(0, caption);
      node = sibling;
      break;
    }
    if (groupLevel && sibling->text(0) == caption) {
      node = sibling;
      break;
    }
  }
  if (!node) {
    const int index = object.IsTreeLevelSorted(level)
                          ? SortedIndex(parent, object.GetTreeSortKey(level), level, groupLevel)
                          : static_cast<int>(Siblings(Tree, parent).size());
    node = NewNode(parent, caption, object.GetId(), index);
  }
  if (groupLevel && node->childCount() == 0) {
    node->setData(0, kIdRole, GroupNodeMarker);
    node->setData(0, kCreatorRole, object.GetId());
    SetImage(node, GroupImage);
    NewNode(node, kPlaceholder, object.GetId(), 0);
  }
  return node;
}

// Among siblings, groups come first in key order, then object nodes in key
// order; a new node goes after those with an equal key.
int TFmGisBrowser::SortedIndex(QTreeWidgetItem* parent, const std::string& key, int level, bool groupLevel) const
{
  const QList<QTreeWidgetItem*> siblings = Siblings(Tree, parent);
  int index = 0;
  for (; index < siblings.size(); ++index) {
    const QTreeWidgetItem* sibling = siblings[index];
    const bool notAfter = SortKeyOf(sibling, level) <= key;
    const bool hasChildren = sibling->childCount() > 0;
    const bool goOn = groupLevel ? notAfter && hasChildren : notAfter || hasChildren;
    if (!goOn)
      break;
  }
  return index;
}

std::string TFmGisBrowser::SortKeyOf(const QTreeWidgetItem* node, int level) const
{
  const TGObj* creator = gis ? gis->FindObjectById(node->data(0, kCreatorRole).toInt()) : nullptr;
  return creator ? creator->GetTreeSortKey(level) : std::string();
}

void TFmGisBrowser::OnCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
  TreeChanging(previous);
  emit SelectionChanged(current);
}

void TFmGisBrowser::TreeChanging(QTreeWidgetItem* previous)
{
  previousNode = previous;
}

void TFmGisBrowser::TreeChange(QObject* /*sender*/, QTreeWidgetItem* node)
{
  inChange = true;
  if (!node)
    return;
  QTreeWidgetItem* anchor = selection.isEmpty() ? previousNode : selection.first();
  const bool sameParent = anchor && anchor->parent() == node->parent();
  if (sameParent && shiftState.testFlag(Qt::ControlModifier)) {
    if (!selection.removeOne(node))
      selection.push_back(node);
    // Node colours are item data here, not drawn on demand: every change repaints.
    Repaint();
    return;
  }
  if (sameParent && shiftState.testFlag(Qt::ShiftModifier)) {
    selection.clear();
    QTreeWidgetItem* parent = node->parent();
    if (parent) {
      const int from = parent->indexOfChild(anchor);
      const int to = parent->indexOfChild(node);
      const int step = to >= from ? 1 : -1;
      for (int i = from;; i += step) {
        selection.push_back(parent->child(i));
        if (i == to)
          break;
      }
    }
    Repaint();
    return;
  }
  selection.clear();
  selection.push_back(node);
  Repaint();
}

void TFmGisBrowser::TreeClick(QTreeWidgetItem* node)
{
  if (!inChange && node && node == Tree->currentItem())
    TreeChange(this, node);
  inChange = false;
}

void TFmGisBrowser::TreeKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
  // Some platforms report a modifier key's own press without its modifier.
  if (key == Qt::Key_Shift)
    shiftState = (modifiers & Qt::ControlModifier) | Qt::ShiftModifier;
  else if (key == Qt::Key_Control)
    shiftState = (modifiers & Qt::ShiftModifier) | Qt::ControlModifier;
}

void TFmGisBrowser::TreeKeyUp(int key)
{
  if (key == Qt::Key_Shift || key == Qt::Key_Control)
    shiftState = {};
}

bool TFmGisBrowser::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == Tree && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    TreeKeyDown(key->key(), key->modifiers());
    emit KeyDown(key->key());
  } else if (watched == Tree && event->type() == QEvent::KeyRelease) {
    TreeKeyUp(static_cast<QKeyEvent*>(event)->key());
  }
  return QWidget::eventFilter(watched, event);
}

void TFmGisBrowser::DeleteNode(QTreeWidgetItem* node)
{
  selection.erase(std::remove_if(selection.begin(), selection.end(),
                                 [node](QTreeWidgetItem* at) { return IsInSubtree(at, node); }),
                  selection.end());
  if (previousNode && IsInSubtree(previousNode, node))
    previousNode = nullptr;
  delete node;
}

// A node of the selection is drawn on navy when it is the current node and on
// silver otherwise; every other node on white.
void TFmGisBrowser::Repaint()
{
  QTreeWidgetItem* current = Tree->currentItem();
  for (QTreeWidgetItemIterator it(Tree); *it; ++it) {
    QTreeWidgetItem* node = *it;
    const bool listed = selection.contains(node);
    const QColor back = !listed ? Qt::white : node == current ? QColor(0x00, 0x00, 0x80) : QColor(0xC0, 0xC0, 0xC0);
    node->setBackground(0, back);
    node->setForeground(0, listed && node == current ? Qt::white : Qt::black);
  }
}
