#include "maps/GreyText.h"

#include <QPalette>
#include <QWidget>

void ShowTextGreyed(QWidget* widget, bool greyed)
{
  const QPalette normal;
  const QColor color = normal.color(greyed ? QPalette::Disabled : QPalette::Active, QPalette::WindowText);
  QPalette palette = widget->palette();
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(role, color);
  widget->setPalette(palette);
}
