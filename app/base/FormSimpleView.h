#pragma once
// TFSimpleView: the base of every MDI view window. It gives each window its kind,
// a window id unique while the program runs, the user's and the automatic
// caption, the report settings and the modified flag, and the operations through
// which the main window saves, loads, refreshes, copies, exports and zooms all
// view windows alike.

#include "base/WindowKind.h"

#include <QImage>
#include <QLayout>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QMenu;
class QAction;
class TFMain;
class TTagStream;

class TFSimpleView : public QWidget {
  Q_OBJECT

public:
  // A receiver of the window's key presses.
  using TKeyHook = std::function<void(int key, Qt::KeyboardModifiers modifiers)>;

  TFSimpleView(TFMain* mainWindow, QWidget* owner);
  ~TFSimpleView() override;

  int Tag() const { return FTag; }
  TFMain* MainWindow() const { return FMainWindow; }
  int32_t WindowId() const { return FWindowId; }
  const QString& ReportTitle() const { return FReportTitle; }
  void SetReportTitle(const QString& title) { FReportTitle = title; }
  const QString& UserCaption() const { return FUserCaption; }
  void SetUserCaption(const QString& caption) { FUserCaption = caption; }
  const QString& AutoCaption() const { return FAutoCaption; }
  bool InReport() const { return FInReport; }
  void SetInReport(bool inReport) { FInReport = inReport; }
  bool ViewModified() const { return FViewModified; }
  void SetViewModified(bool modified) { FViewModified = modified; }
  void SetKeyHook(TKeyHook hook) { FKeyHook = std::move(hook); }

  // The id the next window of this run gets.
  static int32_t NextWindowId();

  // The window record (group 1100); subclasses call the base first and then
  // select their own record group.
  virtual void SaveToStream(TTagStream* stream);
  virtual void LoadFromStream(TTagStream* stream);
  // Subclasses reload and redraw their content first and end with this caption rule.
  virtual void Refresh();
  virtual void CopyToClipboard() = 0;
  virtual void SaveBitmap(const QString& fileName) = 0;
  // The picture the copy operation takes, at the window's present size; null
  // for a window without one.
  virtual QImage Picture() { return QImage(); }
  // The picture for print: the window laid out with a client area of the given
  // size and drawn scale times finer, whatever size it has on the screen now.
  virtual QImage PrintPicture(QSize clientSize, int scale);
  // The client size of the window's normal (restored) state, also while it is
  // maximised or minimised.
  QSize NormalClientSize() const;
  virtual void ZoomIn() {}
  virtual void ZoomOut() {}

  // The MDI area opens and cascades a window at its hint: the view's own size
  // (its design size until the user resizes it), never below what its layout needs.
  QSize sizeHint() const override;

  // The view's popup menu; subclasses may add their items.
  QMenu* PMSimpleView = nullptr;
  QAction* PMICaption = nullptr;

public slots:
  void PMICaptionClick();

protected:
  // Lays the window out at another size until the scope ends, also when it is
  // hidden; the normal client size it keeps does not follow.
  class TTemporarySize {
  public:
    TTemporarySize(TFSimpleView* view, QSize size);
    ~TTemporarySize();
    TTemporarySize(const TTemporarySize&) = delete;
    TTemporarySize& operator=(const TTemporarySize&) = delete;

  private:
    TFSimpleView* view;
    QSize old;
    QPointer<QLayout> frameLayout;
  };

  // Each constructor overwrites the kind its base set.
  void SetTag(int kind) { FTag = kind; }
  void SetAutoCaption(const QString& caption) { FAutoCaption = caption; }
  virtual void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool event(QEvent* event) override;

private:
  int FTag = WindowKindSimpleView;
  TFMain* FMainWindow;
  int32_t FWindowId;
  QString FReportTitle;
  QString FUserCaption;
  QString FAutoCaption;
  bool FInReport = true;
  bool FViewModified = false;
  QSize FNormalClientSize;
  int FTemporarySizes = 0;
  void NoteNormalClientSize();
  TKeyHook FKeyHook;
};
