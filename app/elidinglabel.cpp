#include "app/elidinglabel.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QStringList>

ElidingLabel::ElidingLabel(QWidget* parent) : QLabel(parent) {}

void ElidingLabel::SetWholeText(const QString& text)
{
    wholeText = text;
    setToolTip(text);
    ShowElided();
}

QSize ElidingLabel::minimumSizeHint() const
{
    return QSize(0, fontMetrics().height());
}

QSize ElidingLabel::sizeHint() const
{
    return minimumSizeHint();
}

void ElidingLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    ShowElided();
}

void ElidingLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && !hasSelectedText())
        emit clicked();
}

void ElidingLabel::ShowElided()
{
    const QFontMetrics metrics = fontMetrics();
    const int width = contentsRect().width() - 2 * margin();
    QStringList lines = wholeText.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideMiddle, width);
    setText(lines.join(QLatin1Char('\n')));
    // The label's own measure of the text as drawn: a line in a fallback font (Chinese beside a
    // Latin font) is taller than the label's font says.
    setMinimumHeight(QLabel::sizeHint().height());
}
