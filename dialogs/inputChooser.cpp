#include "dialogs/inputChooser.h"

#include <QInputDialog>
#include <QMutex>

namespace InputChooser {
namespace {

QMutex handlerMutex;
Handler &currentHandler()
{
    static Handler handler;
    return handler;
}

} // namespace

std::optional<QString> ask(const Request &request)
{
    Handler handler;
    {
        QMutexLocker locker(&handlerMutex);
        handler = currentHandler();
    }
    if (handler)
        return handler(request);

    QInputDialog dialog(request.parent);
    dialog.setObjectName(request.objectName);
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(request.label);
    dialog.setTextValue(request.text);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

Handler setHandler(Handler handler)
{
    QMutexLocker locker(&handlerMutex);
    Handler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

} // namespace InputChooser
