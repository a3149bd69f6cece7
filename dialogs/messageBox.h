#ifndef MESSAGEBOX_H
#define MESSAGEBOX_H

#include <QString>

#include <functional>

class QWidget;

// Every modal message of the viewer goes through here, so that a test can catch the
// messages instead of blocking on a box nobody will close.
namespace MessageBox {

enum class Kind { Information, Alert, About, AboutQt };

using Handler = std::function<void(Kind kind, const QString &title, const QString &text)>;

void show(QWidget *parent, Kind kind, const QString &title, const QString &text);

// Replaces the handler and returns the previous one; an empty handler restores the real boxes.
Handler setHandler(Handler handler);

} // namespace MessageBox

#endif
