#pragma once

#include "base/ModalCalls.h"

#include <deque>
#include <vector>

// Answers from prepared queues and records what was asked; an empty queue gives
// the "cancel" answer of each call (Cancel or the last button, no text, Rejected).
class TScriptedModalCalls : public TModalCalls {
public:
  struct TMessageCall {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
  };
  struct TInputCall {
    QString caption;
    QString prompt;
    QString text;
  };

  std::deque<QMessageBox::StandardButton> messageAnswers;
  std::deque<std::optional<QString>> inputAnswers;
  std::deque<QString> fileAnswers;
  // The files chosen in a dialog that takes several; an empty queue cancels.
  std::deque<QStringList> fileListAnswers;
  std::deque<int> dialogAnswers;
  std::deque<std::optional<QColor>> colourAnswers;
  std::deque<std::optional<QFont>> fontAnswers;
  // The type the user leaves selected in a typed file dialog; an empty queue
  // keeps the offered one.
  std::deque<int> fileTypeAnswers;
  // The colour chosen beside a font; an empty queue keeps the initial colour.
  std::deque<std::optional<QColor>> fontColourAnswers;

  std::vector<TMessageCall> messages;
  std::vector<TInputCall> inputs;
  std::vector<QString> fileFolders;
  // The filters the dialogs that take several files offered.
  std::vector<QString> fileListFilters;
  std::vector<QDialog*> dialogs;
  std::vector<QUrl> urls;
  // What OpenUrl answers.
  bool urlsOpen = true;
  std::vector<QColor> colourStarts;
  std::vector<QFont> fontStarts;
  std::vector<int> fileTypeOffers;
  std::vector<QColor> fontColourStarts;
  std::vector<QImage> clipboardImages;

  QMessageBox::StandardButton Message(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                      const QString& text, QMessageBox::StandardButtons buttons) override;
  std::optional<QString> InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                  const QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& folder, const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& folder, const QString& filter,
                       const QString& defaultSuffix) override;
  QStringList OpenFileNames(QWidget* parent, const QString& folder, const QString& filter) override;
  QString ExistingDirectory(QWidget* parent, const QString& caption, const QString& folder) override;
  TFileChoice OpenFileOfType(QWidget* parent, const QString& folder, const QString& filter, int filterIndex) override;
  TFileChoice SaveFileOfType(QWidget* parent, const QString& folder, const QString& filter,
                             const QString& defaultSuffix, int filterIndex) override;
  int ExecDialog(QDialog* dialog) override;
  bool OpenUrl(const QUrl& url) override;
  std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial) override;
  std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial) override;
  std::optional<TFontChoice> ChooseFontColour(QWidget* parent, const TFontChoice& initial) override;
  void SetClipboardImage(const QImage& image) override;
};

