#ifndef FILECHOOSER_H
#define FILECHOOSER_H

#include <QString>

#include <functional>

class QWidget;

// Every file and directory dialog of the viewer goes through here, so that a test can answer
// in place of a user instead of blocking on a dialog nobody will close.
namespace FileChooser {

enum class Kind { OpenFile, ExistingDirectory, SaveFile };

struct Request
{
    Kind kind = Kind::OpenFile;
    QWidget *parent = nullptr;
    QString caption;
    QString directory;
    QString filter;
    QString objectName;
};

// Returns the chosen path, or an empty string when the user cancelled.
using Handler = std::function<QString(const Request &request)>;

QString choose(const Request &request);

// Replaces the handler and returns the previous one; an empty handler restores the real dialogs.
Handler setHandler(Handler handler);

} // namespace FileChooser

#endif
