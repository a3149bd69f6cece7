#ifndef PARSERZOOM_H
#define PARSERZOOM_H

#include "parsers/parser.h"

// Reads one zoom file and reports it as signals, in file order: per cycle addCycleZoom(n),
// then per event newEventZoom(name), setNbEventZoom(name, count), addEventZoom().
// Run as a thread; connect with Qt::DirectConnection to act on the parser's thread.
class ParserZoom : public Parser
{
    Q_OBJECT

public:
    ParserZoom();
    ~ParserZoom() override;

signals:
    void addCycleZoom(int cycle);
    void newEventZoom(const QString &name);
    void setNbEventZoom(const QString &name, int count);
    void addEventZoom();

protected:
    void initTransition() override;
    void remplirAutomate() override;
    bool startDocument() override;
    bool endElement(const QString &name) override;
    bool characters(const QString &text) override;
    QString lignesPosition() const override;
    bool texteUtile() const override;

private:
    QString nomEventCourant;
    int cycleCourant = 0;
};

#endif
