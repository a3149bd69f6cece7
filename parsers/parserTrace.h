#ifndef PARSERTRACE_H
#define PARSERTRACE_H

#include "parsers/parser.h"

// Reads one trace file and reports it as signals, in file order: per cycle addCycleTrace(n),
// then per event newEventTrace(name), pcTrace(pc) when it has an instruction, addEventTrace().
// Run as a thread; connect with Qt::DirectConnection to act on the parser's thread.
class ParserTrace : public Parser
{
    Q_OBJECT

public:
    ParserTrace();
    ~ParserTrace() override;

signals:
    void addCycleTrace(int cycle);
    void newEventTrace(const QString &name);
    void pcTrace(int pc);
    void addEventTrace();

protected:
    void initTransition() override;
    void remplirAutomate() override;
    bool startDocument() override;
    bool endElement(const QString &name) override;
    bool characters(const QString &text) override;
    QString lignesPosition() const override;
    bool texteUtile() const override;

private:
    int cycleCourant = 0;
    QString nomEventCourant;
};

#endif
