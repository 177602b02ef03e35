#include "maps/FormOBrowser.h"

#include "base/ModalCalls.h"
#include "gis/EditorFrames.h"
#include "gis/GArray3D.h"
#include "gis/GIS.h"
#include "gis/GObj.h"
#include "gis/ObjectTypeCode.h"
#include "maps/FormReper3DData.h"
#include "maps/FrameGisBrowser.h"

#include <QApplication>
#include <algorithm>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace {

constexpr int kTreeLeft = 2;
constexpr int kTreeTop = 3;
constexpr int kFrameTop = 40;

QPushButton* FlatButton(QWidget* parent, const char* caption)
{
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setFlat(true);
  button->setAutoDefault(false);
  QPalette palette = button->palette();
  palette.setColor(QPalette::ButtonText, QColor(0x00, 0x00, 0x80));
  button->setPalette(palette);
  return button;
}

} // namespace

TFOBrowser::TFOBrowser(QWidget* owner) : TFSized(owner, "FOBrowser")
{
  // Placed when first shown: a modal window never shows itself.
  BuildDesign();
}

TFOBrowser::~TFOBrowser()
{
  DropFrame();
}

void TFOBrowser::BuildDesign()
{
  setWindowTitle(QString::fromUtf8("Объекты"));
  setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setMinimumSize(520, 350);
  resize(560, 350);
  GisBrowser = new TFmGisBrowser(this);
  GisBrowser->setGeometry(kTreeLeft, kTreeTop, 209, 318);
  Pname = new QWidget(this);
  Pname->setGeometry(0, 8, 300, 29);
  Lobject = new QLabel(Pname);
  Lobject->move(0, 6);
  Lname = new QLabel(Pname);
  QFont bold = Lname->font();
  bold.setBold(true);
  Lname->setFont(bold);
  LIntro = new QLabel(QString::fromUtf8("Просмотр и изменение параметров объектов полигона"), this);
  LIntro->setAlignment(Qt::AlignCenter);
  LIntro->setWordWrap(true);
  LIntro->resize(205, 59);
  LIntro->move(LIntro->x(), 100);
  Bapplay = FlatButton(this, "Применить");
  Bdelete = FlatButton(this, "Удалить");
  Bclose = FlatButton(this, "Закрыть");
  connect(Bapplay, &QPushButton::clicked, this, &TFOBrowser::BapplayClick);
  connect(Bdelete, &QPushButton::clicked, this, &TFOBrowser::BdeleteClick);
  connect(Bclose, &QPushButton::clicked, this, &TFOBrowser::BcloseClick);
  connect(GisBrowser, &TFmGisBrowser::SelectionChanged, this, &TFOBrowser::TViewChange);
  connect(GisBrowser, &TFmGisBrowser::KeyDown, this, &TFOBrowser::GisBrowserTreeKeyDown);
  PMobject = new QMenu(this);
  PMIReperValues = PMobject->addAction(QString::fromUtf8("Реперные значения ..."));
  GisBrowser->Tree->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(GisBrowser->Tree, &QWidget::customContextMenuRequested, this, &TFOBrowser::TreeContextMenu);
  connect(PMIReperValues, &QAction::triggered, this, &TFOBrowser::PMIReperValuesClick);
  ShowNoObject();
  FormResize();
}

TGObj* TFOBrowser::CurrentObject() const
{
  return gis && currentId != 0 ? gis->FindObjectById(currentId) : nullptr;
}

QWidget* TFOBrowser::FrameWidget() const
{
  return dynamic_cast<QWidget*>(frame);
}

void TFOBrowser::SetGis(TGIS* newGis, TGObj* object)
{
  if (newGis != gis) {
    DropFrame();
    currentType = 0;
    currentId = 0;
  }
  gis = newGis;
  if (object)
    currentId = object->GetId();
}

void TFOBrowser::ForgetGis()
{
  DropFrame();
  gis = nullptr;
  currentType = 0;
  currentId = 0;
  GisBrowser->SetGis(nullptr, nullptr);
  ShowNoObject();
}

void TFOBrowser::showEvent(QShowEvent* event)
{
  TFSized::showEvent(event);
  FormShow();
}

void TFOBrowser::FormShow()
{
  QApplication::setOverrideCursor(Qt::WaitCursor);
  TGObj* current = CurrentObject();
  // The frame was made for an object of the current type; one that left the
  // GIS (or changed under the id) takes its frame with it.
  if (frame && (!current || current->GetTypeCode() != currentType))
    DropFrame();
  GisBrowser->SetGis(gis, current);
  if (!GisBrowser->Tree->currentItem()) {
    DropFrame();
    ShowNoObject();
  }
  QApplication::restoreOverrideCursor();
}

void TFOBrowser::BcloseClick()
{
  done(1);
}

void TFOBrowser::GisBrowserTreeKeyDown(int key)
{
  if (key == Qt::Key_Delete && Bdelete->isEnabled())
    BdeleteClick();
}

void TFOBrowser::TreeContextMenu(const QPoint& at)
{
  if (PrepareObjectMenu(GisBrowser->Tree->itemAt(at)))
    PMobject->popup(GisBrowser->Tree->viewport()->mapToGlobal(at));
}

bool TFOBrowser::PrepareObjectMenu(QTreeWidgetItem* node)
{
  menuObjectId = 0;
  const TGObj* object = gis && node ? gis->FindObjectById(TFmGisBrowser::NodeId(node)) : nullptr;
  if (!object)
    return false;
  if (gis->TypeFlagBit1(object->GetTypeCode())) {
    PMIReperValues->setEnabled(!ReperTargetArrays(*gis).empty());
  } else if (object->GetTypeCode() == ObjectTypeArray3D) {
    const auto* array = dynamic_cast<const TGArray3D*>(object);
    PMIReperValues->setEnabled(array && !array->IsReadOnly() && !ReperKeyObjects(*gis).empty());
  } else {
    return false;
  }
  menuObjectId = object->GetId();
  return true;
}

void TFOBrowser::PMIReperValuesClick()
{
  TGObj* object = gis ? gis->FindObjectById(menuObjectId) : nullptr;
  if (!object || !PMIReperValues->isEnabled())
    return;
  TFReper3DData* window = object->GetTypeCode() == ObjectTypeArray3D ? Reper3DData2Form() : Reper3DDataForm();
  window->SetGis(gis, object);
  window->ShowModal();
}

void TFOBrowser::DropFrame()
{
  if (!frame)
    return;
  if (QWidget* widget = FrameWidget())
    widget->hide();
  delete frame;
  frame = nullptr;
}

void TFOBrowser::ShowNoObject()
{
  currentType = 0;
  currentId = 0;
  Lobject->clear();
  Lname->clear();
  LIntro->show();
  UpdateButtons();
}

void TFOBrowser::UpdateButtons()
{
  const bool selected = GisBrowser->Tree->currentItem() != nullptr || !GisBrowser->Selection().isEmpty();
  const TGObj* current = CurrentObject();
  Bapplay->setEnabled(selected && current && IsEditable(*current));
  Bdelete->setEnabled(selected);
}

void TFOBrowser::TViewChange(QTreeWidgetItem* node)
{
  GisBrowser->TreeChange(GisBrowser->Tree, node);
  const std::int32_t previousType = currentType;
  TGObj* object = gis && node ? gis->FindObjectById(TFmGisBrowser::NodeId(node)) : nullptr;
  if (object) {
    currentType = object->GetTypeCode();
    currentId = object->GetId();
    LIntro->hide();
  } else {
    ShowNoObject();
  }
  if (frame && (currentType != previousType || currentType == 0))
    DropFrame();
  if (object) {
    Lobject->setText(QString::fromStdString(object->GetTypeName()) + ":");
    Lobject->adjustSize();
    Lname->setText(QString::fromStdString(object->GetName()));
    Lname->adjustSize();
    Lname->move(Lobject->x() + Lobject->width() + 10, Lobject->y());
    const bool multiple = GisBrowser->Selection().size() > 1;
    if (frame) {
      object->FillEditorFrame(frame, false, multiple);
    } else {
      frame = object->CreateEditorFrame(false, multiple, nullptr);
      if (QWidget* widget = FrameWidget()) {
        widget->setParent(this);
        widget->move(GisBrowser->x() + GisBrowser->width() + 5, kFrameTop);
        widget->show();
      }
    }
    if (QWidget* widget = FrameWidget())
      widget->setEnabled(IsEditable(*object));
  }
  UpdateButtons();
  FormResize();
}

void TFOBrowser::BapplayClick()
{
  if (!frame || !gis)
    return;
  const QList<QTreeWidgetItem*> nodes = GisBrowser->Selection();
  if (nodes.isEmpty()) {
    if (QTreeWidgetItem* node = GisBrowser->Tree->currentItem())
      ApplyToSelected(node);
  } else {
    for (QTreeWidgetItem* node : nodes)
      ApplyToSelected(node);
  }
  GisBrowser->SetGis(gis, CurrentObject());
  if (gis->OnChange)
    gis->OnChange(this);
}

void TFOBrowser::ApplyToSelected(QTreeWidgetItem* node)
{
  for (int i = node->childCount() - 1; i >= 0; --i)
    ApplyToSelected(node->child(i));
  TGObj* object = gis->FindObjectById(TFmGisBrowser::NodeId(node));
  if (object && object->GetTypeCode() == currentType && IsEditable(*object))
    object->ApplyEditorFrame(frame);
}

void TFOBrowser::BdeleteClick()
{
  if (!gis)
    return;
  QList<QTreeWidgetItem*> nodes = GisBrowser->Selection();
  QTreeWidgetItem* selected = GisBrowser->Tree->currentItem();
  if (nodes.isEmpty() && selected)
    nodes.push_back(selected);
  if (nodes.isEmpty())
    return;
  // A single selected node counts its children, so that a group asks in the plural.
  const int listed = static_cast<int>(GisBrowser->Selection().size());
  const int count = listed > 1 || !selected ? listed : selected->childCount();
  const QString text = QString::fromUtf8(count < 2 ? "Удалить объект" : "Удалить объекты") + " ?";
  if (ModalCalls().Message(this, QMessageBox::Question, QString::fromUtf8("Удаление"), text,
                           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  {
    // Deleting nodes moves the tree's current node; the browser shows none afterwards.
    const QSignalBlocker quiet(GisBrowser->Tree);
    for (QTreeWidgetItem* node : nodes)
      DeleteNode(node);
    GisBrowser->Tree->setCurrentItem(nullptr);
  }
  ShowNoObject();
  gis->NotifyChanged();
}

void TFOBrowser::DeleteNode(QTreeWidgetItem* node)
{
  // The frame goes before any object it may show.
  DropFrame();
  currentId = 0;
  currentType = 0;
  for (int i = node->childCount() - 1; i >= 0; --i)
    DeleteNode(node->child(i));
  if (gis->DeleteObjectById(this, TFmGisBrowser::NodeId(node), false))
    GisBrowser->DeleteNode(node);
}

void TFOBrowser::resizeEvent(QResizeEvent* event)
{
  TFSized::resizeEvent(event);
  FormResize();
}

void TFOBrowser::FormResize()
{
  const int clientWidth = width();
  const int treeWidth = clientWidth * 2 / 5;
  GisBrowser->setGeometry(kTreeLeft, kTreeTop, treeWidth, height() - kTreeTop - 2);
  const int right = kTreeLeft + treeWidth + 5;
  const int buttonTop = height() - 30;
  // The frame takes the room right of the tree and above the buttons.
  if (QWidget* widget = FrameWidget())
    widget->setGeometry(right, kFrameTop, std::max(0, clientWidth - right - 5),
                        std::max(widget->minimumSizeHint().height(), buttonTop - kFrameTop - 5));
  LIntro->move((clientWidth + right - LIntro->width()) / 2, LIntro->y());
  Pname->setGeometry(right, Pname->y(), clientWidth - right - 10, Pname->height());
  Bclose->setGeometry(clientWidth - 80, buttonTop, 75, 25);
  Bdelete->setGeometry(clientWidth - 160, buttonTop, 75, 25);
  Bapplay->setGeometry(clientWidth - 240, buttonTop, 75, 25);
}
