#include "parserJournal.h"

#include "parsers/parserAsm.h"
#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QFile>

void ParserJournal::connectBase(Parser &parser)
{
    QObject::connect(&parser, &Parser::debutParse, [this] { add(QStringLiteral("debut")); });
    QObject::connect(&parser, &Parser::endOfParse, [this] { add(QStringLiteral("end")); });
    QObject::connect(&parser, &Parser::errorInParse,
                     [this](const QString &text) { add(QStringLiteral("error ") + text); });
}

ParserJournal::ParserJournal(ParserTrace &parser)
{
    connectBase(parser);
    QObject::connect(&parser, &ParserTrace::addCycleTrace,
                     [this](int cycle) { add(QStringLiteral("cycle %1").arg(cycle)); });
    QObject::connect(&parser, &ParserTrace::newEventTrace,
                     [this](const QString &name) { add(QStringLiteral("event ") + name); });
    QObject::connect(&parser, &ParserTrace::pcTrace,
                     [this](int pc) { add(QStringLiteral("pc %1").arg(pc)); });
    QObject::connect(&parser, &ParserTrace::addEventTrace, [this] { add(QStringLiteral("add")); });
}

ParserJournal::ParserJournal(ParserZoom &parser)
{
    connectBase(parser);
    QObject::connect(&parser, &ParserZoom::addCycleZoom,
                     [this](int cycle) { add(QStringLiteral("cycle %1").arg(cycle)); });
    QObject::connect(&parser, &ParserZoom::newEventZoom,
                     [this](const QString &name) { add(QStringLiteral("event ") + name); });
    QObject::connect(&parser, &ParserZoom::setNbEventZoom, [this](const QString &name, int n) {
        add(QStringLiteral("count %1 %2").arg(name).arg(n));
    });
    QObject::connect(&parser, &ParserZoom::addEventZoom, [this] { add(QStringLiteral("add")); });
}

ParserJournal::ParserJournal(ParserAsm &parser)
{
    connectBase(parser);
    QObject::connect(&parser, &ParserAsm::pc,
                     [this](const QString &text) { add(QStringLiteral("pc ") + text); });
    QObject::connect(&parser, &ParserAsm::mnemonic,
                     [this](const QString &text) { add(QStringLiteral("mnemonic ") + text); });
    QObject::connect(&parser, &ParserAsm::nbValues,
                     [this](const QString &text) { add(QStringLiteral("count ") + text); });
    QObject::connect(&parser, &ParserAsm::value,
                     [this](const QString &text) { add(QStringLiteral("value ") + text); });
}

ParserJournal::ParserJournal(ParserConfig &parser)
{
    connectBase(parser);
}

void ParserJournal::add(const QString &entry)
{
    std::lock_guard<std::mutex> lock(mutex);
    journal.append(entry);
}

QStringList ParserJournal::entries() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return journal;
}

QStringList ParserJournal::errors() const
{
    QStringList found;
    const QString prefix = QStringLiteral("error ");
    for (const QString &entry : entries()) {
        if (entry.startsWith(prefix))
            found.append(entry.mid(prefix.size()));
    }
    return found;
}

void ParserJournal::clear()
{
    std::lock_guard<std::mutex> lock(mutex);
    journal.clear();
}

QString writeFile(const QString &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

ParserRig::ParserRig(const QString &kind) : kind(kind)
{
    if (kind == QLatin1String("config")) {
        auto *p = new ParserConfig;
        parserObject.reset(p);
        parserJournal = std::make_unique<ParserJournal>(*p);
    } else if (kind == QLatin1String("trace")) {
        auto *p = new ParserTrace;
        parserObject.reset(p);
        parserJournal = std::make_unique<ParserJournal>(*p);
    } else if (kind == QLatin1String("zoom")) {
        auto *p = new ParserZoom;
        parserObject.reset(p);
        parserJournal = std::make_unique<ParserJournal>(*p);
    } else if (kind == QLatin1String("asm")) {
        auto *p = new ParserAsm;
        parserObject.reset(p);
        parserJournal = std::make_unique<ParserJournal>(*p);
    } else {
        qFatal("unknown parser kind %s", qPrintable(kind));
    }
}

ParserRig::~ParserRig()
{
    // The parser goes first: no signal may reach a destroyed journal.
    parserObject.reset();
}

QStringList ParserRig::kinds()
{
    return {QStringLiteral("config"), QStringLiteral("trace"), QStringLiteral("zoom"),
            QStringLiteral("asm")};
}

QStringList ParserRig::withConfig()
{
    QStringList result = parserJournal->entries();
    if (kind == QLatin1String("config")) {
        if (Config *config = static_cast<ParserConfig &>(*parserObject).getConfig()) {
            for (const auto &[name, event] : config->getTabConfig())
                result.append(QStringLiteral("config %1=%2").arg(name).arg(event.getPosition()));
        }
    }
    return result;
}

QStringList ParserRig::parseData(const QByteArray &xml, const QString &name)
{
    parserJournal->clear();
    parserObject->parseData(xml, name);
    return withConfig();
}

QStringList ParserRig::parseFile(const QString &path, bool *parseResult)
{
    parserJournal->clear();
    parserObject->setInputFilename(path);
    const bool result = parserObject->parse();
    if (parseResult)
        *parseResult = result;
    return withConfig();
}

QStringList ParserRig::runThread(const QString &path, bool *finished)
{
    parserJournal->clear();
    parserObject->setInputFilename(path);
    parserObject->start();
    *finished = parserObject->wait(60000);
    return withConfig();
}
