#pragma once
// The word processor the report drives: one call per WordBasic command the
// report uses, with the command's positional arguments. A command that fails
// raises EWordBasicError, which ends the report.
#include <QImage>
#include <QMessageBox>
#include <QString>

#include <optional>
#include <stdexcept>

class EWordBasicError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A failure the student can act on (a file that cannot be written): its text
// is shown with the failure message.
class EReportFileError : public EWordBasicError {
public:
  explicit EReportFileError(const QString& text) : EWordBasicError(text.toStdString()) {}
  QString Text() const { return QString::fromStdString(what()); }
};

// What the student is told once the document was shown or printed.
struct TWordFeedback {
  QMessageBox::Icon icon = QMessageBox::NoIcon; // NoIcon: nothing to tell
  QString text;
};

class TWordBasic {
public:
  virtual ~TWordBasic() = default;

  // After AppShow or FilePrint: where the document went, when the student
  // would not see it otherwise, and whether it was sent to the printer.
  virtual TWordFeedback Feedback() const { return {}; }

  virtual void FileNew(const QString& templateName) = 0;
  virtual void FilePageSetup(int tab, int applyTo, const QString& top, const QString& bottom, const QString& left,
                             const QString& right) = 0;
  virtual void InsertPageNumbers(int type, int position, int firstPage) = 0;
  virtual void ViewHeader() = 0;
  virtual void CloseViewHeaderFooter() = 0;
  // "Font" with a name alone, or with a name and a size in points.
  virtual void Font(const QString& name, std::optional<int> points) = 0;
  // "Font$": the font name in force.
  virtual QString FontName() = 0;
  virtual void RightPara() = 0;
  virtual void Insert(const QString& text) = 0;
  // Each switches its character format on, and the next call off again.
  virtual void Underline() = 0;
  virtual void Italic() = 0;
  virtual void Subscript() = 0;
  virtual void Superscript() = 0;
  virtual void TableInsertTable(int convertFrom, int columns, int rows) = 0;
  virtual void FormatBordersAndShading(int applyTo, int shadow, int top, int left, int bottom, int right,
                                       int horizontal, int vertical) = 0;
  virtual void TableSelectTable() = 0;
  virtual void TableSelectRow() = 0;
  virtual void TableColumnWidth(const QString& width, const QString& spaceBetween, int rulerStyle, int autoFit,
                                int setDefault, int applyTo) = 0;
  virtual void FormatTabs(const QString& position, const QString& defaultTabs, int align, int leader, int set) = 0;
  virtual void StartOfColumn() = 0;
  virtual void StartOfRow() = 0;
  virtual void NextCell() = 0;
  virtual void LineDown() = 0;
  virtual void CharRight() = 0;
  virtual void Cancel() = 0;
  virtual void BorderLineStyle(int style) = 0;
  virtual void BorderBottom(int on) = 0;
  // "GetSelStartPos": the position of the insertion point.
  virtual int GetSelStartPos() = 0;
  // Pastes the picture the report copied. It is handed over here rather than
  // through the desktop's clipboard, which any other program may take over
  // between the copy and the paste.
  virtual void EditPaste(const QImage& copied) = 0;
  virtual void SetSelRange(int start, int end) = 0;
  virtual void FormatPicture(int setSize, const QString& cropLeft, const QString& cropRight, const QString& cropTop,
                             const QString& cropBottom, int scaleX, int scaleY, const QString& width,
                             const QString& height) = 0;
  virtual void AppShow() = 0;
  virtual void FilePrint() = 0;
  virtual void FileClose(int save) = 0;
  virtual void FileExit() = 0;
};
