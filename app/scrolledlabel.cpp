#include "app/scrolledlabel.h"

#include "app/elidinglabel.h"

#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>

QScrollArea* PutInScrollArea(ElidingLabel* label)
{
    QWidget* parent = label->parentWidget();
    auto* area = new QScrollArea(parent);
    area->setObjectName(label->objectName() + QStringLiteral("_Area"));
    area->setFrameShape(QFrame::NoFrame);
    area->setSizePolicy(label->sizePolicy());
    // Lines are shortened to the width, never scrolled sideways.
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(true);
    delete parent->layout()->replaceWidget(label, area);
    area->setWidget(label);
    // The form's colours, not a scroll area's own background.
    area->viewport()->setAutoFillBackground(false);
    label->setAutoFillBackground(false);
    QScrollBar* bar = area->verticalScrollBar();
    QObject::connect(bar, &QScrollBar::rangeChanged, bar,
                     [bar](int, int maximum) { bar->setValue(maximum); });
    return area;
}
