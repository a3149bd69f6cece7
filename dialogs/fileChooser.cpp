#include "dialogs/fileChooser.h"

#include <QFileDialog>
#include <QMutex>

namespace FileChooser {
namespace {

QMutex handlerMutex;
Handler &currentHandler()
{
    static Handler handler;
    return handler;
}

} // namespace

QString choose(const Request &request)
{
    Handler handler;
    {
        QMutexLocker locker(&handlerMutex);
        handler = currentHandler();
    }
    if (handler)
        return handler(request);

    QFileDialog dialog(request.parent, request.caption, request.directory, request.filter);
    dialog.setObjectName(request.objectName);
    if (request.kind == Kind::ExistingDirectory) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else if (request.kind == Kind::SaveFile) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

Handler setHandler(Handler handler)
{
    QMutexLocker locker(&handlerMutex);
    Handler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

} // namespace FileChooser
