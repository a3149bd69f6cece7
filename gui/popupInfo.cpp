#include "gui/popupInfo.h"

#include "gui/traceGeometry.h"

#include <QLabel>

PopupInfo::PopupInfo(QWidget *parent, const char *name) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    setFixedSize(150, 50);
    label = new QLabel(this);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(230, 230, 250));
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    // Event names come from trace files: never let one be taken for markup.
    label->setTextFormat(Qt::PlainText);
    label->setFixedSize(size());
    hide();
}

void PopupInfo::showIt(int x, int y, const QString &text, const QRect &r)
{
    label->setText(text);
    adjustSizeToText(text);
    move(TraceGeometry::popupPosition(x, y, size(), r.size()));
    show();
    raise();
}

void PopupInfo::adjustSizeToText(const QString &text)
{
    setFixedSize(TraceGeometry::popupSize(text));
    label->setFixedSize(size());
}

QString PopupInfo::text() const
{
    return label->text();
}
