#include "parsers/parserZoom.h"

ParserZoom::ParserZoom() : ParserCycles(13) {}

ParserZoom::~ParserZoom()
{
    stopAndWait();
}

void ParserZoom::setRecepteur(Recepteur *r)
{
    Q_ASSERT(!isRunning());
    recepteur = r;
}

void ParserZoom::initTransition()
{
    tabTag = {QStringLiteral("event"), QStringLiteral("name"),  QStringLiteral("count"),
              QStringLiteral("date"),  QStringLiteral("cycle"), QStringLiteral("trace")};
}

// Every event holds one count after its name.
void ParserZoom::remplirAutomate()
{
    remplirCycles();
    transition(10, QStringLiteral("count"), 11);
    transition(11, QStringLiteral("count"), 12);
    transition(12, QStringLiteral("event"), 8);
}

void ParserZoom::cycleLu(int cycle)
{
    if (recepteur)
        recepteur->addCycleZoom(cycle);
    emit addCycleZoom(cycle);
}

void ParserZoom::nomLu(const QString &name)
{
    if (recepteur)
        recepteur->newEventZoom(name);
    emit newEventZoom(name);
}

void ParserZoom::finEvenement()
{
    if (recepteur)
        recepteur->addEventZoom();
    emit addEventZoom();
}

bool ParserZoom::texteEvenement(const char *utf8, size_t length)
{
    if (etatCourant != 11)
        return true;
    int count = 0;
    if (!lireEntier(utf8, length, count))
        return false;
    emettre([&] {
        if (recepteur)
            recepteur->setNbEventZoom(nomEventCourant, count);
        emit setNbEventZoom(nomEventCourant, count);
    });
    return true;
}

bool ParserZoom::etatTexteEvenement() const
{
    return etatCourant == 11;
}
