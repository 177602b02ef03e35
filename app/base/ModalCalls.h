#pragma once
// Every modal or system call of the user interface (message boxes, input boxes,
// file dialogs, modal forms, opening links) goes through this interface, so that
// the program's logic can be driven by tests without a call that blocks in exec().

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class QDialog;
class QWidget;

struct TFileChoice {
  QString file;
  int filterIndex = 1;
};

struct TFontChoice {
  QFont font;
  QColor colour;
};

class TModalCalls {
public:
  virtual ~TModalCalls() = default;

  virtual QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                              const QString& text, QMessageBox::StandardButtons buttons) = 0;
  // The typed text, or nothing when the user cancelled.
  virtual std::optional<QString> InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                          const QString& text) = 0;
  // The chosen file, or an empty text when the user cancelled.
  virtual QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter) = 0;
  virtual QString SaveFileName(QWidget* parent, const QString& folder, const QString& filter,
                               const QString& defaultSuffix) = 0;
  // Several existing files chosen at once, or none when the user cancelled.
  // Calls that know no multiple choice answer with the single-file call.
  virtual QStringList OpenFileNames(QWidget* parent, const QString& folder, const QString& filter);
  // A file dialog that offers the filter's file types with one of them
  // preselected (1-based, as the settings keep it): the chosen file (empty
  // when cancelled) and the type the user left selected. Calls that know
  // nothing of types answer with the plain file calls and the offered type.
  virtual TFileChoice OpenFileOfType(QWidget* parent, const QString& folder, const QString& filter, int filterIndex);
  virtual TFileChoice SaveFileOfType(QWidget* parent, const QString& folder, const QString& filter,
                                     const QString& defaultSuffix, int filterIndex);
  // The chosen folder, or an empty text when the user cancelled; the browser
  // starts in folder (anywhere when it is empty).
  virtual QString ExistingDirectory(QWidget* parent, const QString& caption, const QString& folder) = 0;
  // Shows a form modally and returns its result (QDialog::Accepted, QDialog::Rejected or a code of its own).
  virtual int ExecDialog(QDialog* dialog) = 0;
  // False when nothing could open it (for a local file: no program for its type).
  virtual bool OpenUrl(const QUrl& url) = 0;
  // The colour dialog starting at a colour: the chosen colour, or nothing when cancelled.
  virtual std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) = 0;
  // The font dialog starting at a font: the chosen font, or nothing when cancelled.
  virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) = 0;
  // The font dialog with a colour choice beside it (Qt's font dialog has
  // none): the chosen font and colour, or nothing when cancelled. Calls that
  // know no colour choice answer with the font call and the initial colour.
  virtual std::optional<TFontChoice> ChooseFontColour(QWidget* parent, const TFontChoice& initial);
  // Puts a picture on the clipboard.
  virtual void SetClipboardImage(const QImage& image) = 0;
};

// The calls in force: Qt's own unless a test installed others.
TModalCalls& ModalCalls();
// Installs the calls (null restores Qt's own); the caller keeps ownership.
void SetModalCalls(TModalCalls* calls);

// The box most failures show: the text as a critical message under "Ошибка",
// with an OK button.
void ShowErrorMessage(QWidget* parent, const QString& text);

// Installs other calls (scripted ones in tests) for the lifetime of a scope.
class TModalCallsScope {
public:
  explicit TModalCallsScope(TModalCalls& calls) { SetModalCalls(&calls); }
  ~TModalCallsScope() { SetModalCalls(nullptr); }
  TModalCallsScope(const TModalCallsScope&) = delete;
  TModalCallsScope& operator=(const TModalCallsScope&) = delete;
};
