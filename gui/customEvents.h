#ifndef CUSTOMEVENTS_H
#define CUSTOMEVENTS_H

#include <QEvent>
#include <QString>

// The events that carry parser results into the GUI thread. They are posted to MainFrame
// with QCoreApplication::postEvent from any thread and applied by MainFrame::customEvent.
//
// Every class keeps its historical identity number (`Id`, grouped by purpose: 35xxxx fill the
// assembly table, 36xxxx show a message, 37xxxx repaint a view, 38xxxx fit the table). Those
// numbers do not fit Qt's 16-bit event types, so each class has its own type in the user range
// derived from its identity: QEvent::User + (Id / 10000) * 100 + Id % 10000, i.e. 350000 maps
// to User + 3500, 370001 to User + 3701. Each event copies its texts, so nothing is shared
// between the posting thread and the GUI thread.

namespace GuiEvents {

constexpr QEvent::Type typeFromId(int id)
{
    return static_cast<QEvent::Type>(QEvent::User + (id / 10000) * 100 + id % 10000);
}

} // namespace GuiEvents

class TableAsmSetPcEvent : public QEvent
{
public:
    static constexpr int Id = 350000;
    static constexpr QEvent::Type EventType = GuiEvents::typeFromId(Id);

    TableAsmSetPcEvent(int row, const QString &pc) : QEvent(EventType), row(row), pc(pc) {}
    int getRow() const { return row; }
    QString getPc() const { return pc; }

private:
    int row;
    QString pc;
};

class TableAsmSetMnemonicEvent : public QEvent
{
public:
    static constexpr int Id = 350001;
    static constexpr QEvent::Type EventType = GuiEvents::typeFromId(Id);

    TableAsmSetMnemonicEvent(int row, const QString &mnemonic)
        : QEvent(EventType), row(row), mnemonic(mnemonic)
    {}
    int getRow() const { return row; }
    QString getMnemonic() const { return mnemonic; }

private:
    int row;
    QString mnemonic;
};

class TableAsmSetValueEvent : public QEvent
{
public:
    static constexpr int Id = 350002;
    static constexpr QEvent::Type EventType = GuiEvents::typeFromId(Id);

    TableAsmSetValueEvent(int row, int numValue, const QString &value)
        : QEvent(EventType), row(row), numValue(numValue), value(value)
    {}
    int getRow() const { return row; }
    int getNumValue() const { return numValue; }
    QString getValue() const { return value; }

private:
    int row;
    int numValue;
    QString value;
};

class MainFrameMessageInfoEvent : public QEvent
{
public:
    static constexpr int Id = 360000;
    static constexpr QEvent::Type EventType = GuiEvents::typeFromId(Id);

    explicit MainFrameMessageInfoEvent(const QString &message) : QEvent(EventType), message(message)
    {}
    QString getMessage() const { return message; }

private:
    QString message;
};

class MainFrameMessageAlertEvent : public QEvent
{
public:
    static constexpr int Id = 360001;
    static constexpr QEvent::Type EventType = GuiEvents::typeFromId(Id);

    explicit MainFrameMessageAlertEvent(const QString &message)
        : QEvent(EventType), message(message)
    {}
    QString getMessage() const { return message; }

private:
    QString message;
};

class MainFrameRepaintTraceCycleEvent : public QEvent
{
public:
    static constexpr int Id = 370000;
    static constexpr QEvent::Type EventType = GuiEvents::typeFromId(Id);

    MainFrameRepaintTraceCycleEvent() : QEvent(EventType) {}
};

class MainFrameRepaintTracePcEvent : public QEvent
{
public:
    static constexpr int Id = 370001;
    static constexpr QEvent::Type EventType = GuiEvents::typeFromId(Id);

    MainFrameRepaintTracePcEvent() : QEvent(EventType) {}
};

class MainFrameAdjustAsm : public QEvent
{
public:
    static constexpr int Id = 380000;
    static constexpr QEvent::Type EventType = GuiEvents::typeFromId(Id);

    MainFrameAdjustAsm() : QEvent(EventType) {}
};

#endif
