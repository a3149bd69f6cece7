#include "parsers/parserConfig.h"

ParserConfig::ParserConfig() : Parser(9) {}

ParserConfig::~ParserConfig()
{
    stopAndWait();
}

void ParserConfig::initTransition()
{
    tabTag = {QStringLiteral("name"), QStringLiteral("event"), QStringLiteral("events"),
              QStringLiteral("config")};
}

void ParserConfig::remplirAutomate()
{
    transition(0, QStringLiteral("config"), 1);
    transition(1, QStringLiteral("name"), 1);
    transition(1, QStringLiteral("events"), 3);
    transition(3, QStringLiteral("event"), 5);
    transition(5, QStringLiteral("name"), 7);
    transition(7, QStringLiteral("name"), 8);
    transition(8, QStringLiteral("name"), 8);
    transition(8, QStringLiteral("event"), 6);
    transition(6, QStringLiteral("event"), 5);
    transition(6, QStringLiteral("events"), 4);
    transition(4, QStringLiteral("config"), 2);
}

bool ParserConfig::startDocument()
{
    config = std::make_unique<Config>();
    positionCourante = -1;
    ligneCourante = 0;
    messageErreur.clear();
    nomEventCourant.clear();
    emettre([this] { emit debutParse(); });
    return true;
}

bool ParserConfig::endElement(const QString &name)
{
    return etapeAutomate(name);
}

bool ParserConfig::characters(const QString &text)
{
    if (etatCourant == 7) {
        nomEventCourant = text;
        ++positionCourante;
        config->addConfigEvent(text, ConfigEvent(positionCourante));
    }
    return true;
}

bool ParserConfig::endDocument()
{
    emettre([this] { emit endOfParse(); });
    return true;
}

QString ParserConfig::lignesPosition() const
{
    return QStringLiteral("\nEvent : ") + nomEventCourant;
}
