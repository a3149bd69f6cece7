#include "dialogs/messageBox.h"

#include <QMessageBox>
#include <QMutex>

namespace MessageBox {
namespace {

QMutex handlerMutex;
Handler &currentHandler()
{
    static Handler handler;
    return handler;
}

} // namespace

void show(QWidget *parent, Kind kind, const QString &title, const QString &text)
{
    Handler handler;
    {
        QMutexLocker locker(&handlerMutex);
        handler = currentHandler();
    }
    if (handler) {
        handler(kind, title, text);
        return;
    }
    switch (kind) {
    case Kind::Information:
        QMessageBox::information(parent, title, text);
        break;
    case Kind::Alert:
        QMessageBox::critical(parent, title, text);
        break;
    case Kind::About:
        QMessageBox::about(parent, title, text);
        break;
    case Kind::AboutQt:
        QMessageBox::aboutQt(parent, title);
        break;
    }
}

Handler setHandler(Handler handler)
{
    QMutexLocker locker(&handlerMutex);
    Handler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

} // namespace MessageBox
