#ifndef INPUTCHOOSER_H
#define INPUTCHOOSER_H

#include <QString>

#include <functional>
#include <optional>

class QWidget;

// Every one-line question the viewer asks (a cycle to go to, an instruction to find) goes
// through here, so that a test can answer in place of a user instead of blocking on a dialog
// nobody will close.
namespace InputChooser {

struct Request
{
    QWidget *parent = nullptr;
    QString title;
    QString label;
    QString text; // what the field holds when the dialog opens
    QString objectName;
};

// Returns what was typed, or nothing when the user cancelled.
using Handler = std::function<std::optional<QString>(const Request &request)>;

std::optional<QString> ask(const Request &request);

// Replaces the handler and returns the previous one; an empty handler restores the real dialog.
Handler setHandler(Handler handler);

} // namespace InputChooser

#endif
