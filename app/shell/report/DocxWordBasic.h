#pragma once
// The report's word processor on this system: it carries out the commands on
// a document model with an insertion point (header, body paragraphs, tables
// and their cells, pictures) and writes it as an Office Open XML document
// (.docx) when the document is shown or printed.
#include "shell/report/WordBasic.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class TDocxWordBasic : public TWordBasic {
public:
  // fileName: where the shown or printed document is written.
  explicit TDocxWordBasic(const QString& fileName = QString());
  ~TDocxWordBasic() override;

  // The document as written: the parts of the .docx package by name.
  QByteArray DocumentXml() const;
  QByteArray HeaderXml() const;
  QByteArray FooterXml() const;
  // Writes the package; false when the file cannot be written.
  bool WriteDocx(const QString& fileName) const;
  // The file AppShow or FilePrint wrote.
  const QString& WrittenFile() const { return written; }
  TWordFeedback Feedback() const override { return feedback; }

  void FileNew(const QString& templateName) override;
  void FilePageSetup(int tab, int applyTo, const QString& top, const QString& bottom, const QString& left,
                     const QString& right) override;
  void InsertPageNumbers(int type, int position, int firstPage) override;
  void ViewHeader() override;
  void CloseViewHeaderFooter() override;
  void Font(const QString& name, std::optional<int> points) override;
  QString FontName() override;
  void RightPara() override;
  void Insert(const QString& text) override;
  void Underline() override;
  void Italic() override;
  void Subscript() override;
  void Superscript() override;
  void TableInsertTable(int convertFrom, int columns, int rows) override;
  void FormatBordersAndShading(int applyTo, int shadow, int top, int left, int bottom, int right, int horizontal,
                               int vertical) override;
  void TableSelectTable() override;
  void TableSelectRow() override;
  void TableColumnWidth(const QString& width, const QString& spaceBetween, int rulerStyle, int autoFit,
                        int setDefault, int applyTo) override;
  void FormatTabs(const QString& position, const QString& defaultTabs, int align, int leader, int set) override;
  void StartOfColumn() override;
  void StartOfRow() override;
  void NextCell() override;
  void LineDown() override;
  void CharRight() override;
  void Cancel() override;
  void BorderLineStyle(int style) override;
  void BorderBottom(int on) override;
  int GetSelStartPos() override;
  void EditPaste(const QImage& copied) override;
  void SetSelRange(int start, int end) override;
  void FormatPicture(int setSize, const QString& cropLeft, const QString& cropRight, const QString& cropTop,
                     const QString& cropBottom, int scaleX, int scaleY, const QString& width,
                     const QString& height) override;
  void AppShow() override;
  void FilePrint() override;
  void FileClose(int save) override;
  void FileExit() override;

  struct TDocument;

private:
  void RequireDocument() const;
  QString WriteToFile();

  std::unique_ptr<TDocument> doc;
  QString fileName;
  QString written;
  TWordFeedback feedback;
};
