#ifndef PARSERZOOM_H
#define PARSERZOOM_H

#include "parsers/parserCycles.h"

// Reads one zoom file and reports it as signals, in file order: per cycle addCycleZoom(n),
// then per event newEventZoom(name), setNbEventZoom(name, count), addEventZoom().
// Run as a thread; connect with Qt::DirectConnection to act on the parser's thread.
class ParserZoom : public ParserCycles
{
    Q_OBJECT

public:
    // The same reports as plain calls on the parser's thread, each made just before its
    // signal (see ParserTrace::Recepteur).
    class Recepteur
    {
    public:
        virtual void addCycleZoom(int cycle) = 0;
        virtual void newEventZoom(const QString &name) = 0;
        virtual void setNbEventZoom(const QString &name, int count) = 0;
        virtual void addEventZoom() = 0;

    protected:
        ~Recepteur() = default;
    };

    ParserZoom();
    ~ParserZoom() override;

    // Set while the parser does not run; the receiver must outlive the parses it receives.
    void setRecepteur(Recepteur *recepteur);

signals:
    void addCycleZoom(int cycle);
    void newEventZoom(const QString &name);
    void setNbEventZoom(const QString &name, int count);
    void addEventZoom();

protected:
    void initTransition() override;
    void remplirAutomate() override;
    void cycleLu(int cycle) override;
    void nomLu(const QString &name) override;
    void finEvenement() override;
    bool texteEvenement(const char *utf8, size_t length) override;
    bool etatTexteEvenement() const override;

private:
    Recepteur *recepteur = nullptr;
};

#endif
