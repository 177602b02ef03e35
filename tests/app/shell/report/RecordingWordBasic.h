#pragma once
// A word processor that notes every command with its arguments, and can fail
// at a chosen command.
#include "shell/report/WordBasic.h"

#include <QStringList>

class TRecordingWordBasic : public TWordBasic {
public:
  QStringList log;
  // The 0-based number of the command that fails; -1: none.
  int failAt = -1;
  // Where the log goes when the processor is destroyed (the report owns it).
  QStringList* keep = nullptr;

  TRecordingWordBasic() = default;
  TRecordingWordBasic(const TRecordingWordBasic&) = delete;
  TRecordingWordBasic& operator=(const TRecordingWordBasic&) = delete;
  ~TRecordingWordBasic() override
  {
    if (keep)
      *keep = log;
  }

  void FileNew(const QString& t) override { Note("FileNew " + Q(t)); }
  void FilePageSetup(int a, int b, const QString& c, const QString& d, const QString& e, const QString& f) override
  {
    Note(QString("FilePageSetup %1, %2, %3, %4, %5, %6").arg(a).arg(b).arg(Q(c), Q(d), Q(e), Q(f)));
  }
  void InsertPageNumbers(int a, int b, int c) override { Note(QString("InsertPageNumbers %1, %2, %3").arg(a).arg(b).arg(c)); }
  void ViewHeader() override { Note("ViewHeader"); }
  void CloseViewHeaderFooter() override { Note("CloseViewHeaderFooter"); }
  void Font(const QString& name, std::optional<int> points) override
  {
    Note("Font " + Q(name) + (points ? QString(", %1").arg(*points) : QString()));
    font = name;
  }
  QString FontName() override
  {
    Note("Font$");
    return font;
  }
  void RightPara() override { Note("RightPara"); }
  void Insert(const QString& text) override { Note("Insert " + Q(text)); }
  void Underline() override { Note("Underline"); }
  void Italic() override { Note("Italic"); }
  void Subscript() override { Note("Subscript"); }
  void Superscript() override { Note("Superscript"); }
  void TableInsertTable(int a, int b, int c) override { Note(QString("TableInsertTable %1, %2, %3").arg(a).arg(b).arg(c)); }
  void FormatBordersAndShading(int a, int b, int c, int d, int e, int f, int g, int h) override
  {
    Note(QString("FormatBordersAndShading %1, %2, %3, %4, %5, %6, %7, %8").arg(a).arg(b).arg(c).arg(d).arg(e).arg(f).arg(g).arg(h));
  }
  void TableSelectTable() override { Note("TableSelectTable"); }
  void TableSelectRow() override { Note("TableSelectRow"); }
  void TableColumnWidth(const QString& a, const QString& b, int c, int d, int e, int f) override
  {
    Note(QString("TableColumnWidth %1, %2, %3, %4, %5, %6").arg(Q(a), Q(b)).arg(c).arg(d).arg(e).arg(f));
  }
  void FormatTabs(const QString& a, const QString& b, int c, int d, int e) override
  {
    Note(QString("FormatTabs %1, %2, %3, %4, %5").arg(Q(a), Q(b)).arg(c).arg(d).arg(e));
  }
  void StartOfColumn() override { Note("StartOfColumn"); }
  void StartOfRow() override { Note("StartOfRow"); }
  void NextCell() override { Note("NextCell"); }
  void LineDown() override { Note("LineDown"); }
  void CharRight() override { Note("CharRight"); }
  void Cancel() override { Note("Cancel"); }
  void BorderLineStyle(int a) override { Note(QString("BorderLineStyle %1").arg(a)); }
  void BorderBottom(int a) override { Note(QString("BorderBottom %1").arg(a)); }
  int GetSelStartPos() override
  {
    Note("GetSelStartPos");
    return position++;
  }
  void EditPaste(const QImage&) override { Note("EditPaste"); }
  void SetSelRange(int a, int b) override { Note(QString("SetSelRange %1, %2").arg(a).arg(b)); }
  void FormatPicture(int a, const QString& b, const QString& c, const QString& d, const QString& e, int f, int g,
                     const QString& h, const QString& i) override
  {
    Note(QString("FormatPicture %1, %2, %3, %4, %5, %6, %7, %8, %9").arg(a).arg(Q(b), Q(c), Q(d), Q(e)).arg(f).arg(g).arg(Q(h), Q(i)));
  }
  void AppShow() override { Note("AppShow"); }
  void FilePrint() override { Note("Fileprint"); }
  void FileClose(int a) override { Note(QString("FileClose %1").arg(a)); }
  void FileExit() override { Note("FileExit"); }

  // The inserted texts in order, joined.
  QString Text() const
  {
    QString text;
    for (const QString& line : log)
      if (line.startsWith("Insert \""))
        text += line.mid(8, line.size() - 9);
    return text;
  }

private:
  static QString Q(const QString& text) { return "\"" + text + "\""; }
  void Note(const QString& line)
  {
    if (static_cast<int>(log.size()) == failAt)
      throw EWordBasicError("rejected");
    log << line;
  }
  QString font = "Times New Roman";
  int position = 0;
};
