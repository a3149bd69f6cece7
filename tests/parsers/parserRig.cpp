#include "parserRig.h"

#include "parsers/parserAsm.h"
#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QFile>
#include <QRegularExpression>

ParserRig::ParserRig(const QString &kind) : kind(kind)
{
    // Each signal is logged as its short name followed by its arguments, blank-separated.
    auto log = [this](const char *what) {
        return [this, what](const auto &...values) {
            QStringList entry{what};
            ((entry << QVariant(values).toString()), ...);
            add(entry.join(' '));
        };
    };
    if (kind == "trace") {
        auto *p = new ParserTrace;
        QObject::connect(p, &ParserTrace::addCycleTrace, log("cycle"));
        QObject::connect(p, &ParserTrace::newEventTrace, log("event"));
        QObject::connect(p, &ParserTrace::pcTrace, log("pc"));
        QObject::connect(p, &ParserTrace::addEventTrace, log("add"));
        parserObject.reset(p);
    } else if (kind == "zoom") {
        auto *p = new ParserZoom;
        QObject::connect(p, &ParserZoom::addCycleZoom, log("cycle"));
        QObject::connect(p, &ParserZoom::newEventZoom, log("event"));
        QObject::connect(p, &ParserZoom::setNbEventZoom, log("count"));
        QObject::connect(p, &ParserZoom::addEventZoom, log("add"));
        parserObject.reset(p);
    } else if (kind == "asm") {
        auto *p = new ParserAsm;
        QObject::connect(p, &ParserAsm::pc, log("pc"));
        QObject::connect(p, &ParserAsm::mnemonic, log("mnemonic"));
        QObject::connect(p, &ParserAsm::nbValues, log("count"));
        QObject::connect(p, &ParserAsm::value, log("value"));
        parserObject.reset(p);
    } else {
        parserObject = std::make_unique<ParserConfig>();
    }
    QObject::connect(parserObject.get(), &Parser::debutParse, log("debut"));
    QObject::connect(parserObject.get(), &Parser::endOfParse, log("end"));
    QObject::connect(parserObject.get(), &Parser::errorInParse, log("error"));
}

void ParserRig::add(const QString &entry)
{
    std::lock_guard<std::mutex> lock(mutex);
    entries.append(entry);
}

QStringList ParserRig::journal() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return entries;
}

QStringList ParserRig::errors(const QStringList &journal)
{
    return journal.filter(QRegularExpression("^error "))
        .replaceInStrings(QRegularExpression("^error "), "");
}

QStringList ParserRig::result()
{
    QStringList all;
    {
        std::lock_guard<std::mutex> lock(mutex);
        all.swap(entries);
    }
    if (kind == "config") {
        if (Config *config = static_cast<ParserConfig &>(*parserObject).getConfig()) {
            for (const auto &[name, event] : config->getTabConfig())
                all.append(QStringLiteral("config %1=%2").arg(name).arg(event.getPosition()));
        }
    }
    return all;
}

QStringList ParserRig::parseData(const QByteArray &xml)
{
    parserObject->parseData(xml, "t.xml");
    return result();
}

QStringList ParserRig::read(const QString &path, bool *ok)
{
    parserObject->setInputFilename(path);
    bool done = true;
    if (threaded(kind)) {
        parserObject->start();
        done = parserObject->wait(60000);
    } else {
        done = parserObject->parse();
    }
    if (ok)
        *ok = done;
    return result();
}

QString writeFile(const QString &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir + '/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
