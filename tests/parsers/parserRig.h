#ifndef PARSERRIG_H
#define PARSERRIG_H

#include "parsers/parser.h"

#include <QStringList>

#include <memory>
#include <mutex>

// One parser of a kind ("config", "trace", "zoom" or "asm") and the journal of its signals in
// emission order ("cycle 5", "event alu", "error <report>"), recorded through direct
// connections, so on the parser's thread when threaded. A configuration journal ends with the
// map built, one "config <name>=<position>" each. Every run returns its journal and clears it.
// A trace or zoom parser also has a receiver; a run whose receiver did not get exactly what the
// signals carried ends its journal with "receiver differs".
class ParserRig
{
public:
    explicit ParserRig(const QString &kind);
    ~ParserRig() { parserObject.reset(); }

    Parser &parser() { return *parserObject; }
    QStringList journal() const;
    QStringList parseData(const QByteArray &xml);
    // As the controller reads a file: trace and zoom on their thread (ok: finished), the
    // others in place (ok: what parse() returned).
    QStringList read(const QString &path, bool *ok = nullptr);

    static QStringList kinds() { return {"config", "trace", "zoom", "asm"}; }
    static bool threaded(const QString &kind) { return kind == "trace" || kind == "zoom"; }
    static QStringList errors(const QStringList &journal);

private:
    void add(const QString &entry);
    QStringList result();

    QString kind;
    std::unique_ptr<Parser> parserObject;
    mutable std::mutex mutex;
    QStringList entries;
    QStringList recus; // what the receiver got
    std::shared_ptr<void> recepteur;
};

QString writeFile(const QString &dir, const QString &name, const QByteArray &content);

#endif
