#include "parserRig.h"

#include "parsers/parserAsm.h"
#include "parsers/parserConfig.h"
#include "parsers/parserTrace.h"
#include "parsers/parserZoom.h"

#include <QFile>
#include <QRegularExpression>

#include <functional>

namespace {

// Writes what it receives as the signals are logged.
class Recepteur final : public ParserTrace::Recepteur, public ParserZoom::Recepteur
{
public:
    explicit Recepteur(std::function<void(const QString &)> log) : log(std::move(log)) {}

    void addCycleTrace(int cycle) override { log("cycle " + QString::number(cycle)); }
    void newEventTrace(const QString &name) override { log("event " + name); }
    void pcTrace(int pc) override { log("pc " + QString::number(pc)); }
    void addEventTrace() override { log("add"); }
    void addCycleZoom(int cycle) override { addCycleTrace(cycle); }
    void newEventZoom(const QString &name) override { newEventTrace(name); }
    void setNbEventZoom(const QString &name, int count) override
    {
        log("count " + name + ' ' + QString::number(count));
    }
    void addEventZoom() override { addEventTrace(); }

private:
    std::function<void(const QString &)> log;
};

} // namespace

ParserRig::ParserRig(const QString &kind) : kind(kind)
{
    auto recepteurLog = std::make_shared<Recepteur>([this](const QString &entry) {
        std::lock_guard<std::mutex> lock(mutex);
        recus.append(entry);
    });
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
        p->setRecepteur(recepteurLog.get());
        recepteur = recepteurLog;
        QObject::connect(p, &ParserTrace::addCycleTrace, log("cycle"));
        QObject::connect(p, &ParserTrace::newEventTrace, log("event"));
        QObject::connect(p, &ParserTrace::pcTrace, log("pc"));
        QObject::connect(p, &ParserTrace::addEventTrace, log("add"));
        parserObject.reset(p);
    } else if (kind == "zoom") {
        auto *p = new ParserZoom;
        p->setRecepteur(recepteurLog.get());
        recepteur = recepteurLog;
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
    QStringList recu;
    {
        std::lock_guard<std::mutex> lock(mutex);
        all.swap(entries);
        recu.swap(recus);
    }
    if (threaded(kind) &&
        recu != all.filter(QRegularExpression("^(cycle|event|pc|count|add)( |$)")))
        all.append("receiver differs");
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
