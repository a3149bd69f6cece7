#include "parserRig.h"

#include "parsers/parserAsm.h"
#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QFile>
#include <QRegularExpression>

ParserRig::ParserRig(const QString &kind) : kind(kind)
{
    auto text = [this](const char *what) {
        return [this, what](const QString &value) { add(what + value); };
    };
    auto number = [this](const char *what) {
        return [this, what](int value) { add(what + QString::number(value)); };
    };
    auto word = [this](const char *what) { return [this, what] { add(what); }; };
    if (kind == "trace") {
        auto *p = new ParserTrace;
        QObject::connect(p, &ParserTrace::addCycleTrace, number("cycle "));
        QObject::connect(p, &ParserTrace::newEventTrace, text("event "));
        QObject::connect(p, &ParserTrace::pcTrace, number("pc "));
        QObject::connect(p, &ParserTrace::addEventTrace, word("add"));
        parserObject.reset(p);
    } else if (kind == "zoom") {
        auto *p = new ParserZoom;
        QObject::connect(p, &ParserZoom::addCycleZoom, number("cycle "));
        QObject::connect(p, &ParserZoom::newEventZoom, text("event "));
        QObject::connect(p, &ParserZoom::setNbEventZoom, [this](const QString &name, int n) {
            add(QStringLiteral("count %1 %2").arg(name).arg(n));
        });
        QObject::connect(p, &ParserZoom::addEventZoom, word("add"));
        parserObject.reset(p);
    } else if (kind == "asm") {
        auto *p = new ParserAsm;
        QObject::connect(p, &ParserAsm::pc, text("pc "));
        QObject::connect(p, &ParserAsm::mnemonic, text("mnemonic "));
        QObject::connect(p, &ParserAsm::nbValues, text("count "));
        QObject::connect(p, &ParserAsm::value, text("value "));
        parserObject.reset(p);
    } else {
        parserObject = std::make_unique<ParserConfig>();
    }
    QObject::connect(parserObject.get(), &Parser::debutParse, word("debut"));
    QObject::connect(parserObject.get(), &Parser::endOfParse, word("end"));
    QObject::connect(parserObject.get(), &Parser::errorInParse, text("error "));
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
