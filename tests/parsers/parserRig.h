#ifndef PARSERRIG_H
#define PARSERRIG_H

#include "parsers/parser.h"

#include <QStringList>

#include <memory>
#include <mutex>

// One parser of a kind ("config", "trace", "zoom" or "asm") and the journal of its signals in
// emission order as short texts ("cycle 5", "event alu", "error <report>"), recorded through
// direct connections so that threaded parses are recorded on the parser's thread. For the
// configuration parser the journal ends with the map built, one "config <name>=<position>".
class ParserRig
{
public:
    explicit ParserRig(const QString &kind);
    ~ParserRig() { parserObject.reset(); }

    Parser &parser() { return *parserObject; }
    QStringList journal() const;
    static QStringList errors(const QStringList &journal);

    // Each returns the journal of the run and starts a new one.
    QStringList parseData(const QByteArray &xml);
    QStringList parseFile(const QString &path, bool *parseResult = nullptr);
    QStringList runThread(const QString &path, bool *finished);

    static QStringList kinds() { return {"config", "trace", "zoom", "asm"}; }
    static bool threaded(const QString &kind) { return kind == "trace" || kind == "zoom"; }

private:
    void add(const QString &entry);
    QStringList result();

    QString kind;
    std::unique_ptr<Parser> parserObject;
    mutable std::mutex mutex;
    QStringList entries;
};

QString writeFile(const QString &dir, const QString &name, const QByteArray &content);

#endif
