#include "app/narrowscreen.h"

#include <algorithm>

#include <QBoxLayout>
#include <QEvent>
#include <QGroupBox>
#include <QLayout>
#include <QStyle>
#include <QStyleOptionGroupBox>

void PutOnALineBelowItsRow(QWidget* control)
{
    QWidget* row = control->parentWidget();
    auto* rows = row && row->parentWidget()
                     ? qobject_cast<QBoxLayout*>(row->parentWidget()->layout())
                     : nullptr;
    if (!rows || !row->layout())
        return;
    row->layout()->removeWidget(control);
    rows->insertWidget(rows->indexOf(row) + 1, control);
}

namespace {

class TitleElider : public QObject
{
public:
    explicit TitleElider(QGroupBox* box) : QObject(box), box(box), whole(box->title())
    {
        box->setToolTip(whole);
        box->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == box && event->type() == QEvent::Resize) {
            // The title's room: the box less the frame's indents, as the style draws it.
            QStyleOptionGroupBox option;
            option.initFrom(box);
            const int indent = box->style()->pixelMetric(QStyle::PM_LayoutLeftMargin, &option, box);
            box->setTitle(
                box->fontMetrics().elidedText(whole, Qt::ElideRight, box->width() - 2 * indent));
        }
        return false;
    }

private:
    QGroupBox* box;
    const QString whole;
};

} // namespace

void ElideTitleToWidth(QGroupBox* box)
{
    new TitleElider(box);
}

namespace {

// Layouts keep the sizes they asked for; before a window is shown no change tells them, so every
// widget and layout of the window forgets them.
void ForgetCachedSizes(QWidget* window)
{
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        widget->updateGeometry();
        if (widget->layout())
            widget->layout()->invalidate();
    }
    if (window->layout())
        window->layout()->invalidate();
}

} // namespace

void NarrowToContents(QGroupBox* box)
{
    if (!box->layout())
        return;
    ForgetCachedSizes(box->window());
    box->setMinimumWidth(box->layout()->totalMinimumSize().width());
    ForgetCachedSizes(box->window());
}

void KeepTextWhole(QWidget* button)
{
    button->setMinimumWidth(std::max(button->minimumWidth(), button->sizeHint().width()));
}
