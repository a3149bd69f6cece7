#ifndef PARSERJOURNAL_H
#define PARSERJOURNAL_H

#include <QString>
#include <QStringList>

#include <memory>
#include <mutex>

class Parser;
class ParserAsm;
class ParserConfig;
class ParserTrace;
class ParserZoom;

// Every signal of one parser in emission order, as short texts ("cycle 5", "event alu",
// "error <report>"), recorded through direct connections so that the order across different
// signals is kept and threaded parses are recorded on the parser's thread.
class ParserJournal
{
public:
    explicit ParserJournal(ParserTrace &parser);
    explicit ParserJournal(ParserZoom &parser);
    explicit ParserJournal(ParserAsm &parser);
    explicit ParserJournal(ParserConfig &parser);

    QStringList entries() const;
    QStringList errors() const;
    void clear();
    void add(const QString &entry);

private:
    void connectBase(Parser &parser);

    mutable std::mutex mutex;
    QStringList journal;
};

// One parser of a kind ("config", "trace", "zoom" or "asm") with its journal. For the
// configuration parser the journal ends with the map built, one "config <name>=<position>"
// per entry in map order.
class ParserRig
{
public:
    explicit ParserRig(const QString &kind);
    ~ParserRig();

    Parser &parser() { return *parserObject; }
    ParserJournal &journal() { return *parserJournal; }

    // Each clears the journal first and returns it afterwards.
    QStringList parseData(const QByteArray &xml, const QString &name = QStringLiteral("t.xml"));
    QStringList parseFile(const QString &path, bool *parseResult = nullptr);
    // Threaded run over a file; fails the calling test if it does not end within 60 s.
    QStringList runThread(const QString &path, bool *finished);

    static QStringList kinds();

private:
    QStringList withConfig();

    QString kind;
    std::unique_ptr<Parser> parserObject;
    std::unique_ptr<ParserJournal> parserJournal;
};

// Writes content into dir/name and returns the path.
QString writeFile(const QString &dir, const QString &name, const QByteArray &content);

#endif
