#ifndef PARSERCONFIG_H
#define PARSERCONFIG_H

#include "core/config.h"
#include "parsers/parser.h"

#include <memory>

// Reads the event configuration file into a Config: every event's first name, at the rank
// it has in the file. Run synchronously with parse(): debutParse() comes from startDocument,
// endOfParse() from endDocument.
class ParserConfig : public Parser
{
    Q_OBJECT

public:
    ParserConfig();
    ~ParserConfig() override;

    // The Config built by the latest parse (complete or cut short by a report), owned by
    // this parser and valid until its next parse starts; null before the first one.
    Config *getConfig() const { return config.get(); }

protected:
    void initTransition() override;
    void remplirAutomate() override;
    bool startDocument() override;
    bool endElement(const QString &name) override;
    bool characters(const QString &text) override;
    bool endDocument() override;
    QString lignesPosition() const override;

private:
    std::unique_ptr<Config> config;
    QString nomEventCourant;
    int positionCourante = -1;
};

#endif
