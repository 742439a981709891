#pragma once

#include <QLabel>

// A label whose text never widens its window: each line that does not fit is shortened in the
// middle, so that the file name at its end stays visible, and the whole text is its tool tip.
// Neither size hint depends on the text; its minimum height holds every line, for a scroll area
// around it (PutInScrollArea()).
class ElidingLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidingLabel(QWidget* parent = nullptr);

    // Shows text, line by line, shortened to the label's width.
    void SetWholeText(const QString& text);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

signals:
    // A click that selected no text.
    void clicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowElided();

    QString wholeText;
};
