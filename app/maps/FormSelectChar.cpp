#include "maps/FormSelectChar.h"

#include "data/Cp1251.h"
#include "gis/BitmapCanvas.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

TFSelectChar* theForm = nullptr;

// The picture reports presses in its own pixels.
class TCharImage : public QLabel {
public:
  explicit TCharImage(TFSelectChar* form) : QLabel(nullptr), owner(form) {}

protected:
  void mousePressEvent(QMouseEvent* event) override
  {
    const QPoint at = event->position().toPoint();
    owner->ImageMouseDown(at.x(), at.y());
  }

private:
  TFSelectChar* owner;
};

// The character of a byte code as the font shows it.
QString CharacterOf(const TFontRecord& font, int code)
{
  return TBitmapCanvas::TextOf(font, Cp1251ToUtf8(std::string(1, static_cast<char>(code))));
}

} // namespace

TFSelectChar::TFSelectChar(QWidget* owner) : QDialog(owner)
{
  setObjectName("FSelectChar");
  resize(400, 300);
  auto* layout = new QVBoxLayout(this);
  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setBackgroundRole(QPalette::Base);
  ScrollBox1->setStyleSheet("background: white");
  Image = new TCharImage(this);
  Image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ScrollBox1->setWidget(Image);
  layout->addWidget(ScrollBox1, 1);
  auto* buttons = new QHBoxLayout();
  SpeedButton1 = new QPushButton(QString::fromUtf8("Ok"), this);
  SpeedButton2 = new QPushButton(QString::fromUtf8("Отмена"), this);
  for (QPushButton* button : {SpeedButton1, SpeedButton2}) {
    button->setFlat(true);
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  layout->addLayout(buttons);
  connect(SpeedButton1, &QPushButton::clicked, this, &TFSelectChar::SpeedButton1Click);
  connect(SpeedButton2, &QPushButton::clicked, this, &TFSelectChar::SpeedButton2Click);
}

void TFSelectChar::Prepare(const TFontRecord& font)
{
  chosenText.clear();
  chosenCode = 0;
  const QFont qfont = TBitmapCanvas::FontOf(font);
  const QFontMetrics metrics(qfont);
  const QSize digit = digitMeasure ? digitMeasure(qfont)
                                   : QSize(metrics.horizontalAdvance(QStringLiteral("0")), metrics.height());
  const int cellWidth = digit.width() + 2 * Margin;
  const int cellHeight = digit.height() + 2 * Margin;
  const int count = LastChar - FirstChar + 1;
  const int rows = (count + Columns - 1) / Columns;
  picture = QImage(Columns * cellWidth, rows * cellHeight, QImage::Format_RGB32);
  picture.fill(Qt::white);
  cells.clear();
  cells.reserve(static_cast<size_t>(count));
  QPainter painter(&picture);
  painter.setFont(qfont);
  painter.setPen(Qt::black);
  for (int c = FirstChar; c <= LastChar; ++c) {
    const int i = c - FirstChar;
    const int x = (i % Columns) * cellWidth + Margin;
    const int y = (i / Columns) * cellHeight + Margin;
    const QString character = CharacterOf(font, c);
    if (character != QChar(QChar::ReplacementCharacter))
      painter.drawText(QPoint(x, y + metrics.ascent()), character);
    cells.push_back({x, y, x + cellWidth, y + cellHeight, static_cast<std::uint16_t>(c)});
  }
  painter.end();
  fontRecord = font;
  Image->setPixmap(QPixmap::fromImage(picture));
  Image->resize(picture.size());
}

void TFSelectChar::SpeedButton1Click()
{
  done(ResultChosen);
}

void TFSelectChar::SpeedButton2Click()
{
  done(ResultCancel);
}

void TFSelectChar::ImageMouseDown(int x, int y)
{
  for (const TCharCell& cell : cells) {
    if (cell.left < x && x < cell.right && cell.top < y && y < cell.bottom) {
      // A code the font's encoding leaves empty shows nothing and gives nothing.
      const QString character = CharacterOf(fontRecord, cell.code);
      if (character == QChar(QChar::ReplacementCharacter))
        return;
      chosenCode = cell.code;
      chosenText = character;
      done(ResultChosen);
      return;
    }
  }
}

TFSelectChar* SelectCharForm()
{
  if (!theForm)
    theForm = new TFSelectChar();
  return theForm;
}

void DestroySelectChar()
{
  delete theForm;
  theForm = nullptr;
}
