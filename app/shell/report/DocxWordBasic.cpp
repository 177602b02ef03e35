#include "shell/report/DocxWordBasic.h"

#include "base/ModalCalls.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <zip.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

constexpr int TwipsPerCm = 567;
constexpr int EmuPerCm = 360000;
constexpr int PageWidth = 11906;  // A4 in twips
constexpr int PageHeight = 16838;

struct TCharFormat {
  QString font = "Times New Roman";
  int halfPoints = 24;
  bool underline = false;
  bool italic = false;
  bool subscript = false;
  bool superscript = false;
  bool operator==(const TCharFormat&) const = default;
};

struct TTab {
  int twips = 0;
  int align = 0; // 0 left, 1 centred
};

struct TRun {
  QString text;
  TCharFormat format;
  bool tab = false;
  int picture = -1;
};

struct TParagraph {
  std::vector<TRun> runs;
  bool right = false;
  bool centred = false;
  bool pageNumber = false;
  std::vector<TTab> tabs;
};

struct TCell {
  std::vector<TParagraph> paragraphs{TParagraph()};
  int bottomBorder = 0;
};

struct TTable {
  int columns = 1;
  int rows = 1;
  std::vector<TCell> cells;
  std::vector<int> widths; // twips; 0: an equal share of the rest
  int borders[6] = {0, 0, 0, 0, 0, 0}; // top, left, bottom, right, inside horizontal, inside vertical
  std::vector<TTab> tabs;
};

struct TPicture {
  QByteArray png;
  qint64 width = 0; // EMU
  qint64 height = 0;
};

struct TBlock {
  TParagraph paragraph;
  int table = -1;
};

// A Latin letter typed in the Symbol font is the Greek letter at its place.
QChar SymbolCharacter(QChar c)
{
  static const char16_t lower[26] = {u'α', u'β', u'χ', u'δ', u'ε', u'φ', u'γ', u'η', u'ι', u'ϕ', u'κ', u'λ', u'μ',
                                     u'ν', u'ο', u'π', u'θ', u'ρ', u'σ', u'τ', u'υ', u'ϖ', u'ω', u'ξ', u'ψ', u'ζ'};
  static const char16_t upper[26] = {u'Α', u'Β', u'Χ', u'Δ', u'Ε', u'Φ', u'Γ', u'Η', u'Ι', u'ϑ', u'Κ', u'Λ', u'Μ',
                                     u'Ν', u'Ο', u'Π', u'Θ', u'Ρ', u'Σ', u'Τ', u'Υ', u'ς', u'Ω', u'Ξ', u'Ψ', u'Ζ'};
  const char16_t u = c.unicode();
  if (u >= 'a' && u <= 'z')
    return QChar(lower[u - 'a']);
  if (u >= 'A' && u <= 'Z')
    return QChar(upper[u - 'A']);
  if (u == 0xB4)
    return QChar(0xD7);
  return c;
}

// "8.5 cm" and the like in centimetres.
double Centimetres(const QString& measure)
{
  QString number = measure.trimmed();
  if (number.endsWith("cm"))
    number.chop(2);
  bool ok = false;
  const double value = number.trimmed().toDouble(&ok);
  if (!ok)
    throw EWordBasicError("not a measure: " + measure.toStdString());
  return value;
}

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

QString RunProperties(const TCharFormat& f)
{
  QString p = "<w:rPr>";
  // Symbol letters were turned into Unicode Greek: they take the font around them.
  if (f.font != "Symbol")
    p += QString("<w:rFonts w:ascii=\"%1\" w:hAnsi=\"%1\" w:cs=\"%1\"/>").arg(Escaped(f.font));
  // In the order the schema gives the properties.
  if (f.italic)
    p += "<w:i/>";
  p += QString("<w:sz w:val=\"%1\"/><w:szCs w:val=\"%1\"/>").arg(f.halfPoints);
  if (f.underline)
    p += "<w:u w:val=\"single\"/>";
  if (f.subscript)
    p += "<w:vertAlign w:val=\"subscript\"/>";
  else if (f.superscript)
    p += "<w:vertAlign w:val=\"superscript\"/>";
  return p + "</w:rPr>";
}

QString PictureXml(int index, const TPicture& picture)
{
  const QString size = QString("cx=\"%1\" cy=\"%2\"").arg(picture.width).arg(picture.height);
  return QString("<w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\"><wp:extent %1/>"
                 "<wp:docPr id=\"%2\" name=\"Picture %2\"/><a:graphic><a:graphicData "
                 "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic><pic:nvPicPr>"
                 "<pic:cNvPr id=\"%2\" name=\"image%2.png\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill>"
                 "<a:blip r:embed=\"rIdImage%2\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr>"
                 "<a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext %1/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/>"
                 "</a:prstGeom></pic:spPr></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing>")
      .arg(size)
      .arg(index + 1);
}

QString ParagraphXml(const TParagraph& paragraph, const std::vector<TTab>& extraTabs,
                     const std::vector<TPicture>& pictures)
{
  QString x = "<w:p><w:pPr>";
  std::vector<TTab> tabs = extraTabs;
  tabs.insert(tabs.end(), paragraph.tabs.begin(), paragraph.tabs.end());
  if (!tabs.empty()) {
    x += "<w:tabs>";
    for (const TTab& tab : tabs)
      x += QString("<w:tab w:val=\"%1\" w:pos=\"%2\"/>").arg(tab.align == 1 ? "center" : "left").arg(tab.twips);
    x += "</w:tabs>";
  }
  if (paragraph.right)
    x += "<w:jc w:val=\"right\"/>";
  else if (paragraph.centred)
    x += "<w:jc w:val=\"center\"/>";
  x += "</w:pPr>";
  for (const TRun& run : paragraph.runs) {
    x += "<w:r>" + RunProperties(run.format);
    if (run.picture >= 0)
      x += PictureXml(run.picture, pictures[static_cast<size_t>(run.picture)]);
    else if (run.tab)
      x += "<w:tab/>";
    else
      x += "<w:t xml:space=\"preserve\">" + Escaped(run.text) + "</w:t>";
    x += "</w:r>";
  }
  if (paragraph.pageNumber)
    x += "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText xml:space=\"preserve\"> PAGE "
         "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>1</w:t></w:r>"
         "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
  return x + "</w:p>";
}

QString BorderXml(const char* side, int style)
{
  if (style <= 0)
    return QString("<w:%1 w:val=\"nil\"/>").arg(side);
  return QString("<w:%1 w:val=\"single\" w:sz=\"%2\" w:space=\"0\" w:color=\"000000\"/>").arg(side).arg(4 * style);
}

const char* const Namespaces =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
    "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"";

const char* const XmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

} // namespace

struct TDocxWordBasic::TDocument {
  std::vector<TParagraph> header;
  std::vector<TParagraph> footer;
  std::vector<TBlock> body{TBlock()};
  std::vector<TTable> tables;
  std::vector<TPicture> pictures;
  int margins[4] = {1134, 850, 850, 850}; // top, bottom, left, right
  TCharFormat format;
  TParagraph bodyStyle; // paragraph settings that new body paragraphs take over
  bool inHeader = false;
  int table = -1;
  int cell = 0;
  bool tableSelected = false;
  int selectedRow = -1;
  int borderStyle = 1;
  int position = 0;
  int selectedPicture = -1;

  TTable& Table()
  {
    if (table < 0)
      throw EWordBasicError("not in a table");
    return tables[static_cast<size_t>(table)];
  }

  std::vector<TParagraph>& Container()
  {
    if (inHeader) {
      if (header.empty())
        header.emplace_back();
      return header;
    }
    if (table >= 0)
      return Table().cells[static_cast<size_t>(cell)].paragraphs;
    throw EWordBasicError("no paragraph container");
  }

  TParagraph& Paragraph()
  {
    if (!inHeader && table < 0)
      return body.back().paragraph;
    return Container().back();
  }

  void NewParagraph()
  {
    if (!inHeader && table < 0) {
      TBlock block;
      block.paragraph.tabs = bodyStyle.tabs;
      block.paragraph.right = bodyStyle.right;
      body.push_back(block);
    } else {
      Container().emplace_back();
    }
  }

  void AddText(QChar c)
  {
    TParagraph& p = Paragraph();
    if (p.runs.empty() || p.runs.back().tab || p.runs.back().picture >= 0 || !(p.runs.back().format == format))
      p.runs.push_back(TRun{QString(), format});
    p.runs.back().text += c;
  }
};

TDocxWordBasic::TDocxWordBasic(const QString& fileName) : fileName(fileName) {}

TDocxWordBasic::~TDocxWordBasic() = default;

void TDocxWordBasic::RequireDocument() const
{
  if (!doc)
    throw EWordBasicError("no document");
}

void TDocxWordBasic::FileNew(const QString&) { doc = std::make_unique<TDocument>(); }

void TDocxWordBasic::FilePageSetup(int, int, const QString& top, const QString& bottom, const QString& left,
                                  const QString& right)
{
  RequireDocument();
  const QString* sides[4] = {&top, &bottom, &left, &right};
  for (int k = 0; k < 4; ++k)
    doc->margins[k] = static_cast<int>(std::lround(Centimetres(*sides[k]) * TwipsPerCm));
}

void TDocxWordBasic::InsertPageNumbers(int type, int position, int)
{
  RequireDocument();
  TParagraph number;
  number.pageNumber = true;
  number.right = position == 2;
  number.centred = position == 1;
  (type == 0 ? doc->header : doc->footer).push_back(number);
}

void TDocxWordBasic::ViewHeader()
{
  RequireDocument();
  doc->inHeader = true;
  doc->header.emplace_back();
}

void TDocxWordBasic::CloseViewHeaderFooter()
{
  RequireDocument();
  doc->inHeader = false;
}

void TDocxWordBasic::Font(const QString& name, std::optional<int> points)
{
  RequireDocument();
  doc->format.font = name;
  if (points)
    doc->format.halfPoints = 2 * *points;
}

QString TDocxWordBasic::FontName()
{
  RequireDocument();
  return doc->format.font;
}

void TDocxWordBasic::RightPara()
{
  RequireDocument();
  doc->Paragraph().right = true;
  if (!doc->inHeader && doc->table < 0)
    doc->bodyStyle.right = true;
}

void TDocxWordBasic::Insert(const QString& text)
{
  RequireDocument();
  const bool symbol = doc->format.font == "Symbol";
  for (QChar c : text) {
    if (c == '\n') {
      doc->NewParagraph();
    } else if (c == '\t') {
      TRun tab{QString(), doc->format};
      tab.tab = true;
      doc->Paragraph().runs.push_back(tab);
    } else {
      doc->AddText(symbol ? SymbolCharacter(c) : c);
    }
    ++doc->position;
  }
}

void TDocxWordBasic::Underline()
{
  RequireDocument();
  doc->format.underline = !doc->format.underline;
}

void TDocxWordBasic::Italic()
{
  RequireDocument();
  doc->format.italic = !doc->format.italic;
}

void TDocxWordBasic::Subscript()
{
  RequireDocument();
  doc->format.subscript = !doc->format.subscript;
  doc->format.superscript = false;
}

void TDocxWordBasic::Superscript()
{
  RequireDocument();
  doc->format.superscript = !doc->format.superscript;
  doc->format.subscript = false;
}

void TDocxWordBasic::TableInsertTable(int, int columns, int rows)
{
  RequireDocument();
  if (doc->inHeader || doc->table >= 0 || columns < 1 || rows < 1)
    throw EWordBasicError("a table cannot be inserted here");
  TTable table;
  table.columns = columns;
  table.rows = rows;
  table.cells.resize(static_cast<size_t>(columns * rows));
  table.widths.assign(static_cast<size_t>(columns), 0);
  doc->tables.push_back(table);
  TBlock block;
  block.table = static_cast<int>(doc->tables.size()) - 1;
  doc->body.push_back(block);
  // The paragraph after the table, where LineDown out of it arrives.
  doc->NewParagraph();
  doc->table = block.table;
  doc->cell = 0;
  doc->tableSelected = false;
}

void TDocxWordBasic::FormatBordersAndShading(int, int, int top, int left, int bottom, int right, int horizontal,
                                            int vertical)
{
  RequireDocument();
  TTable& table = doc->Table();
  const int styles[6] = {top, left, bottom, right, horizontal, vertical};
  std::copy(std::begin(styles), std::end(styles), table.borders);
}

void TDocxWordBasic::TableSelectTable()
{
  RequireDocument();
  doc->Table();
  doc->tableSelected = true;
}

void TDocxWordBasic::TableSelectRow()
{
  RequireDocument();
  const TTable& table = doc->Table();
  doc->selectedRow = doc->cell / table.columns;
  doc->cell = doc->selectedRow * table.columns;
}

void TDocxWordBasic::TableColumnWidth(const QString& width, const QString&, int, int, int, int)
{
  RequireDocument();
  TTable& table = doc->Table();
  table.widths[static_cast<size_t>(doc->cell % table.columns)] =
      static_cast<int>(std::lround(Centimetres(width) * TwipsPerCm));
}

void TDocxWordBasic::FormatTabs(const QString& position, const QString&, int align, int, int)
{
  RequireDocument();
  const TTab tab{static_cast<int>(std::lround(Centimetres(position) * TwipsPerCm)), align};
  if (doc->tableSelected) {
    doc->Table().tabs.push_back(tab);
    return;
  }
  doc->Paragraph().tabs.push_back(tab);
  if (!doc->inHeader && doc->table < 0)
    doc->bodyStyle.tabs.push_back(tab);
}

void TDocxWordBasic::StartOfColumn()
{
  RequireDocument();
  doc->cell %= doc->Table().columns;
  doc->tableSelected = false;
}

void TDocxWordBasic::StartOfRow()
{
  RequireDocument();
  const int columns = doc->Table().columns;
  doc->cell = doc->cell / columns * columns;
  doc->tableSelected = false;
}

void TDocxWordBasic::NextCell()
{
  RequireDocument();
  TTable& table = doc->Table();
  ++doc->cell;
  // Past the last cell a new row follows, as in any word processor.
  if (doc->cell >= table.columns * table.rows) {
    ++table.rows;
    table.cells.resize(static_cast<size_t>(table.columns * table.rows));
  }
  doc->tableSelected = false;
}

void TDocxWordBasic::LineDown()
{
  RequireDocument();
  if (doc->table < 0)
    return;
  const TTable& table = doc->Table();
  if (doc->cell / table.columns + 1 < table.rows)
    doc->cell += table.columns;
  else
    doc->table = -1;
  doc->tableSelected = false;
}

void TDocxWordBasic::CharRight()
{
  RequireDocument();
  doc->selectedPicture = -1;
}

void TDocxWordBasic::Cancel()
{
  RequireDocument();
  doc->selectedRow = -1;
  doc->tableSelected = false;
}

void TDocxWordBasic::BorderLineStyle(int style)
{
  RequireDocument();
  doc->borderStyle = style;
}

void TDocxWordBasic::BorderBottom(int on)
{
  RequireDocument();
  if (doc->selectedRow < 0)
    throw EWordBasicError("no row selected");
  TTable& table = doc->Table();
  for (int col = 0; col < table.columns; ++col)
    table.cells[static_cast<size_t>(doc->selectedRow * table.columns + col)].bottomBorder = on ? doc->borderStyle : 0;
}

int TDocxWordBasic::GetSelStartPos()
{
  RequireDocument();
  return doc->position;
}

void TDocxWordBasic::EditPaste(const QImage& image)
{
  RequireDocument();
  if (image.isNull())
    throw EWordBasicError("nothing to paste");
  TPicture picture;
  QBuffer buffer(&picture.png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  // At 96 dots per inch until the picture is sized.
  picture.width = static_cast<qint64>(image.width()) * 9525;
  picture.height = static_cast<qint64>(image.height()) * 9525;
  doc->pictures.push_back(picture);
  TRun run{QString(), doc->format};
  run.picture = static_cast<int>(doc->pictures.size()) - 1;
  doc->Paragraph().runs.push_back(run);
  ++doc->position;
}

void TDocxWordBasic::SetSelRange(int start, int end)
{
  RequireDocument();
  // Only a pasted picture is ever selected: the last one, when the range holds it.
  doc->selectedPicture = !doc->pictures.empty() && end == doc->position && end - start == 1
                             ? static_cast<int>(doc->pictures.size()) - 1
                             : -1;
}

void TDocxWordBasic::FormatPicture(int, const QString&, const QString&, const QString&, const QString&, int, int,
                                  const QString& width, const QString& height)
{
  RequireDocument();
  if (doc->selectedPicture < 0)
    throw EWordBasicError("no picture selected");
  TPicture& picture = doc->pictures[static_cast<size_t>(doc->selectedPicture)];
  picture.width = std::llround(Centimetres(width) * EmuPerCm);
  picture.height = std::llround(Centimetres(height) * EmuPerCm);
}

QByteArray TDocxWordBasic::DocumentXml() const
{
  RequireDocument();
  const int textWidth = PageWidth - doc->margins[2] - doc->margins[3];
  QString x = QString(XmlHead) + "<w:document " + Namespaces + "><w:body>";
  for (const TBlock& block : doc->body) {
    if (block.table < 0) {
      x += ParagraphXml(block.paragraph, {}, doc->pictures);
      continue;
    }
    const TTable& table = doc->tables[static_cast<size_t>(block.table)];
    int fixed = 0, shared = 0;
    for (int w : table.widths)
      (w > 0 ? fixed : shared) += (w > 0 ? w : 1);
    std::vector<int> widths;
    for (int w : table.widths)
      widths.push_back(w > 0 ? w : std::max(1, (textWidth - fixed) / std::max(shared, 1)));
    x += "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders>";
    const char* sides[6] = {"top", "left", "bottom", "right", "insideH", "insideV"};
    for (int k = 0; k < 6; ++k)
      x += BorderXml(sides[k], table.borders[k]);
    x += "</w:tblBorders></w:tblPr><w:tblGrid>";
    for (int w : widths)
      x += QString("<w:gridCol w:w=\"%1\"/>").arg(w);
    x += "</w:tblGrid>";
    for (int row = 0; row < table.rows; ++row) {
      x += "<w:tr>";
      for (int col = 0; col < table.columns; ++col) {
        const TCell& cell = table.cells[static_cast<size_t>(row * table.columns + col)];
        x += QString("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/>").arg(widths[static_cast<size_t>(col)]);
        if (cell.bottomBorder > 0)
          x += "<w:tcBorders>" + BorderXml("bottom", cell.bottomBorder) + "</w:tcBorders>";
        x += "</w:tcPr>";
        for (const TParagraph& paragraph : cell.paragraphs)
          x += ParagraphXml(paragraph, table.tabs, doc->pictures);
        x += "</w:tc>";
      }
      x += "</w:tr>";
    }
    x += "</w:tbl>";
  }
  x += QString("<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdHeader\"/>"
               "<w:footerReference w:type=\"default\" r:id=\"rIdFooter\"/><w:pgSz w:w=\"%1\" w:h=\"%2\"/>"
               "<w:pgMar w:top=\"%3\" w:right=\"%4\" w:bottom=\"%5\" w:left=\"%6\" w:header=\"567\" "
               "w:footer=\"567\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>")
           .arg(PageWidth)
           .arg(PageHeight)
           .arg(doc->margins[0])
           .arg(doc->margins[3])
           .arg(doc->margins[1])
           .arg(doc->margins[2]);
  return x.toUtf8();
}

namespace {

QByteArray PartXml(const char* element, const std::vector<TParagraph>& paragraphs, const std::vector<TPicture>& pictures)
{
  QString x = QString(XmlHead) + "<w:" + element + " " + Namespaces + ">";
  for (const TParagraph& paragraph : paragraphs)
    x += ParagraphXml(paragraph, {}, pictures);
  if (paragraphs.empty())
    x += "<w:p/>";
  return (x + "</w:" + element + ">").toUtf8();
}

} // namespace

QByteArray TDocxWordBasic::HeaderXml() const
{
  RequireDocument();
  return PartXml("hdr", doc->header, doc->pictures);
}

QByteArray TDocxWordBasic::FooterXml() const
{
  RequireDocument();
  return PartXml("ftr", doc->footer, doc->pictures);
}

bool TDocxWordBasic::WriteDocx(const QString& fileName) const
{
  RequireDocument();
  std::vector<std::pair<QString, QByteArray>> parts;
  QString types = QString(XmlHead) +
                  "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                  "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                  "<Default Extension=\"png\" ContentType=\"image/png\"/>"
                  "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
                  "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
                  "<Override PartName=\"/word/header1.xml\" ContentType=\"application/"
                  "vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>"
                  "<Override PartName=\"/word/footer1.xml\" ContentType=\"application/"
                  "vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/></Types>";
  parts.emplace_back("[Content_Types].xml", types.toUtf8());
  parts.emplace_back("_rels/.rels",
                     QString(QString(XmlHead) +
                             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                             "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                             "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>")
                         .toUtf8());
  const QString relation = "<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                           "relationships/%2\" Target=\"%3\"/>";
  QString rels = QString(XmlHead) + "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
                 relation.arg("rIdHeader", "header", "header1.xml") + relation.arg("rIdFooter", "footer", "footer1.xml");
  for (size_t k = 0; k < doc->pictures.size(); ++k) {
    const QString name = QString("image%1.png").arg(k + 1);
    rels += relation.arg(QString("rIdImage%1").arg(k + 1), "image", "media/" + name);
    parts.emplace_back("word/media/" + name, doc->pictures[k].png);
  }
  parts.emplace_back("word/_rels/document.xml.rels", (rels + "</Relationships>").toUtf8());
  parts.emplace_back("word/document.xml", DocumentXml());
  parts.emplace_back("word/header1.xml", HeaderXml());
  parts.emplace_back("word/footer1.xml", FooterXml());

  int error = 0;
  zip_t* archive = zip_open(QFile::encodeName(fileName).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive)
    return false;
  for (const auto& [name, bytes] : parts) {
    zip_source_t* source = zip_source_buffer(archive, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
    if (!source || zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
      if (source)
        zip_source_free(source);
      zip_discard(archive);
      return false;
    }
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    return false;
  }
  return true;
}

namespace {

// Saved files get what the user's mask leaves of read and write for all, as
// the project files do.
void GiveSavedFileMode(const QString& name)
{
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(QFile::encodeName(name).constData(), 0666 & ~mask);
}

QString WrittenLine(const QString& name)
{
  return "Файл отчета:\n" + QDir::toNativeSeparators(name);
}

} // namespace

QString TDocxWordBasic::WriteToFile()
{
  RequireDocument();
  const QString target = fileName.isEmpty() ? QDir::home().filePath("Отчет.docx") : fileName;
  errno = 0;
  if (!WriteDocx(target)) {
    const int reason = errno;
    QString text = "Не удалось записать файл отчета:\n" + QDir::toNativeSeparators(target);
    if (reason != 0)
      text += ": " + QString::fromLocal8Bit(std::strerror(reason));
    throw EReportFileError(text);
  }
  GiveSavedFileMode(target);
  written = target;
  return target;
}

void TDocxWordBasic::AppShow()
{
  const QString name = WriteToFile();
  if (ModalCalls().OpenUrl(QUrl::fromLocalFile(name)))
    return;
  feedback = {QMessageBox::Information,
              "Отчет записан, но на этом компьютере нет программы, которая открывает документы .docx "
              "(например, LibreOffice Writer).\n" + WrittenLine(name)};
}

void TDocxWordBasic::FilePrint()
{
  const QString name = WriteToFile();
  QString office = QStandardPaths::findExecutable("soffice");
  if (office.isEmpty())
    office = QStandardPaths::findExecutable("libreoffice");
  if (office.isEmpty()) {
    feedback = {QMessageBox::Warning, "Отчет не напечатан: для печати нужен LibreOffice (программа soffice), "
                                      "а он не установлен.\n" + WrittenLine(name)};
    return;
  }
  const int status = QProcess::execute(office, {"--headless", "-p", name});
  if (status != 0) {
    feedback = {QMessageBox::Warning,
                QString("Отчет не напечатан: LibreOffice не смог отправить его на печать (код %1).\n").arg(status) +
                    WrittenLine(name)};
    return;
  }
  feedback = {QMessageBox::Information,
              "Отчет отправлен на печать через LibreOffice на принтер по умолчанию.\n" + WrittenLine(name)};
}

void TDocxWordBasic::FileClose(int) { doc.reset(); }

void TDocxWordBasic::FileExit() {}
