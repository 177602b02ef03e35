#include "base/FormSimpleView.h"

#include "data/TagStream.h"
#include "base/ModalCalls.h"
#include "base/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMdiSubWindow>
#include <QResizeEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>

namespace {

// Ids only grow during a run; loading a project lifts the counter above every
// loaded id, so a window made afterwards never repeats one.
int32_t WindowIdCounter = 1;

std::string Utf8(const QString& text)
{
  return text.toStdString();
}

QString FromUtf8(const std::string& text)
{
  return QString::fromStdString(text);
}

} // namespace

TFSimpleView::TFSimpleView(TFMain* mainWindow, QWidget* owner)
  : QWidget(owner), FMainWindow(mainWindow), FWindowId(WindowIdCounter++)
{
  setMinimumSize(100, 100);
  resize(400, 300);
  setAttribute(Qt::WA_DeleteOnClose);
  PMSimpleView = new QMenu(this);
  PMSimpleView->setObjectName("PMSimpleView");
  PMICaption = PMSimpleView->addAction(QString::fromUtf8("Заголовок окна"));
  PMICaption->setObjectName("PMICaption");
  connect(PMICaption, &QAction::triggered, this, &TFSimpleView::PMICaptionClick);
}

TFSimpleView::~TFSimpleView() = default;

int32_t TFSimpleView::NextWindowId()
{
  return WindowIdCounter;
}

void TFSimpleView::SaveToStream(TTagStream* stream)
{
  stream->SetGroup(TagGroup::ViewWindow);
  stream->WriteInt(FTag);
  stream->WriteString(Utf8(windowTitle()));
  std::vector<uint8_t> placement = GetWindowPlacement(this).ToBytes();
  stream->WriteBlock(placement.data(), static_cast<int32_t>(placement.size()));
  stream->WriteInt(FWindowId);
  stream->WriteString(Utf8(FReportTitle));
  stream->WriteBool(FInReport);
  stream->WriteString(Utf8(FUserCaption));
  FViewModified = false;
}

void TFSimpleView::LoadFromStream(TTagStream* stream)
{
  stream->SetGroup(TagGroup::ViewWindow);
  // The kind belongs to the class that the loader chose: a kind taken from the
  // file would let a window claim a kind whose broadcasts it cannot serve.
  int32_t storedKind = FTag;
  stream->Read(storedKind);
  std::string caption = Utf8(windowTitle());
  if (stream->Read(caption))
    setWindowTitle(FromUtf8(caption));
  std::vector<uint8_t> bytes;
  TWindowPlacement placement;
  if (stream->ReadRawRecord(bytes) && placement.FromBytes(bytes))
    SetWindowPlacement(this, placement);
  stream->Read(FWindowId);
  if (WindowIdCounter <= FWindowId)
    WindowIdCounter = FWindowId + 1;
  std::string text = Utf8(FReportTitle);
  if (stream->Read(text))
    FReportTitle = FromUtf8(text);
  stream->Read(FInReport);
  text = Utf8(FUserCaption);
  if (stream->Read(text))
    FUserCaption = FromUtf8(text);
  FViewModified = false;
}

QSize TFSimpleView::sizeHint() const
{
  return size().expandedTo(QWidget::sizeHint());
}

void TFSimpleView::Refresh()
{
  if (!FUserCaption.isEmpty())
    setWindowTitle(FUserCaption);
  else if (!FAutoCaption.isEmpty())
    setWindowTitle(FAutoCaption);
}

void TFSimpleView::PMICaptionClick()
{
  std::optional<QString> text = ModalCalls().InputBox(this, QString::fromUtf8("Заголовок окна"),
                                                      QString::fromUtf8("введите новый заголовок"), windowTitle());
  // A cancelled box changes nothing: storing the shown text would pin an
  // automatic caption as the user's own and mark the window modified.
  if (text && *text != FUserCaption) {
    FUserCaption = *text;
    FViewModified = true;
  }
  Refresh();
}

void TFSimpleView::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
  if (FKeyHook)
    FKeyHook(key, modifiers);
}

void TFSimpleView::keyPressEvent(QKeyEvent* event)
{
  FormKeyDown(event->key(), event->modifiers());
  QWidget::keyPressEvent(event);
}

void TFSimpleView::contextMenuEvent(QContextMenuEvent* event)
{
  PMSimpleView->popup(event->globalPos());
}

bool TFSimpleView::event(QEvent* event)
{
  // The sub-window that holds the view is known once the view is in the MDI area.
  if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show)
    TrackWindowPlacement(this);
  // The sub-window passes through the normal state on its way to maximised:
  // the size counts once the state has settled.
  if (event->type() == QEvent::Resize && FTemporarySizes == 0)
    QMetaObject::invokeMethod(this, &TFSimpleView::NoteNormalClientSize, Qt::QueuedConnection);
  return QWidget::event(event);
}

void TFSimpleView::NoteNormalClientSize()
{
  const QWidget* frame = PlacedWidget(this);
  if (FTemporarySizes == 0 && !(frame->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
    FNormalClientSize = size();
}

QSize TFSimpleView::NormalClientSize() const
{
  if (FNormalClientSize.isValid())
    return FNormalClientSize;
  // Never shown in the normal state: the normal rectangle of its frame is the nearest.
  const QSize normal = GetWindowPlacement(const_cast<TFSimpleView*>(this)).NormalRect().size();
  return normal.isEmpty() ? size() : normal;
}

QImage TFSimpleView::PrintPicture(QSize clientSize, int scale)
{
  TTemporarySize laidOut(this, clientSize * scale);
  const QImage picture = Picture();
  if (!picture.isNull())
    return picture;
  // A kind that only knows its copy operation: what it puts on the clipboard.
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->clear();
  CopyToClipboard();
  return clipboard->image();
}

namespace {

// A hidden window gets its resize events only when it is shown again: the
// picture needs them now, down to the innermost child.
void SendPendingResizes(QWidget* widget)
{
  if (widget->testAttribute(Qt::WA_PendingResizeEvent)) {
    widget->setAttribute(Qt::WA_PendingResizeEvent, false);
    QResizeEvent resize(widget->size(), QSize());
    QCoreApplication::sendEvent(widget, &resize);
  }
  for (QObject* child : widget->children())
    if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow())
      SendPendingResizes(w);
}

void ResizeNow(QWidget* widget, QSize size)
{
  widget->resize(size);
  if (!widget->isVisible())
    SendPendingResizes(widget);
}

} // namespace

TFSimpleView::TTemporarySize::TTemporarySize(TFSimpleView* view, QSize size) : view(view), old(view->size())
{
  ++view->FTemporarySizes;
  // The frame's layout would put the window back at its place meanwhile.
  if (QWidget* frame = view->parentWidget(); frame && frame->layout()) {
    frameLayout = frame->layout();
    frameLayout->setEnabled(false);
  }
  if (size.isValid() && size != old)
    ResizeNow(view, size);
}

TFSimpleView::TTemporarySize::~TTemporarySize()
{
  if (view->size() != old)
    ResizeNow(view, old);
  if (frameLayout)
    frameLayout->setEnabled(true);
  --view->FTemporarySizes;
}
