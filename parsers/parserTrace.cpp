#include "parsers/parserTrace.h"

ParserTrace::ParserTrace() : ParserCycles(15) {}

ParserTrace::~ParserTrace()
{
    stopAndWait();
}

void ParserTrace::setRecepteur(Recepteur *r)
{
    Q_ASSERT(!isRunning());
    recepteur = r;
}

void ParserTrace::initTransition()
{
    tabTag = {QStringLiteral("event"), QStringLiteral("name"),  QStringLiteral("instruction"),
              QStringLiteral("pc"),    QStringLiteral("cycle"), QStringLiteral("date"),
              QStringLiteral("trace")};
}

// An event without an instruction ends after its name; one with an instruction holds one pc.
void ParserTrace::remplirAutomate()
{
    remplirCycles();
    transition(10, QStringLiteral("event"), 8);
    transition(10, QStringLiteral("instruction"), 11);
    transition(11, QStringLiteral("pc"), 13);
    transition(13, QStringLiteral("pc"), 14);
    transition(14, QStringLiteral("instruction"), 12);
    transition(12, QStringLiteral("event"), 8);
}

void ParserTrace::cycleLu(int cycle)
{
    if (recepteur)
        recepteur->addCycleTrace(cycle);
    emit addCycleTrace(cycle);
}

void ParserTrace::nomLu(const QString &name)
{
    if (recepteur)
        recepteur->newEventTrace(name);
    emit newEventTrace(name);
}

void ParserTrace::finEvenement()
{
    if (recepteur)
        recepteur->addEventTrace();
    emit addEventTrace();
}

bool ParserTrace::texteEvenement(const char *utf8, size_t length)
{
    if (etatCourant != 13)
        return true;
    int pc = 0;
    if (!lireEntier(utf8, length, pc))
        return false;
    emettre([&] {
        if (recepteur)
            recepteur->pcTrace(pc);
        emit pcTrace(pc);
    });
    return true;
}

bool ParserTrace::etatTexteEvenement() const
{
    return etatCourant == 13;
}
