#include "controller/fileWindow.h"

#include "controller/parametres.h"

#include <algorithm>
#include <climits>

void FileWindow::vider(int nbCycleParFichier)
{
    nb = std::max(1, nbCycleParFichier);
    estActif = false;
    places.assign(3, Fichier());
}

std::vector<FileWindow::Fichier> FileWindow::placer(int cycle, int visibles,
                                                    const Existe &existe)
{
    const int n = Parametres::numeroFichier(cycle, nb);
    std::vector<Fichier> sortants;
    if (!existe(n)) {
        if (!estActif) {
            estActif = true;
            places.assign(3, Fichier());
            places[Courant].numero = n;
        }
        return sortants;
    }
    estActif = true;
    // The next file is read ahead; past it, only the files the view shows.
    const qint64 dernierVisible = qint64(cycle) + std::max(1, visibles) - 1;
    const int dernier =
        std::max(n + nb, Parametres::numeroFichier(int(std::min<qint64>(dernierVisible, INT_MAX)), nb));
    if (places[Courant].etat != Etat::Manquant && places[Courant].numero == n &&
        dernier == dernierDemande)
        return sortants; // still within the current file, showing the same files
    dernierDemande = dernier;
    std::vector<int> numeros = {n, n - nb};
    for (qint64 k = qint64(n) + nb; k <= dernier; k += nb)
        numeros.push_back(int(k));
    std::vector<Fichier> nouvelles;
    for (size_t place = 0; place < numeros.size(); ++place) {
        Fichier f;
        f.numero = numeros[place];
        f.dernierCycle = f.numero - 1;
        if (const Fichier *ancien = trouver(f.numero))
            f = *ancien;
        else if (place == Courant || existe(f.numero))
            f.etat = Etat::Voulu;
        else if (place > Suivant)
            break; // the trace ends before the view does
        nouvelles.push_back(f);
    }
    for (const Fichier &ancien : places) {
        if (ancien.etat == Etat::Manquant)
            continue;
        const bool reste = std::any_of(nouvelles.begin(), nouvelles.end(), [&](const Fichier &f) {
            return f.etat != Etat::Manquant && f.numero == ancien.numero;
        });
        if (!reste)
            sortants.push_back(ancien);
    }
    places = std::move(nouvelles);
    return sortants;
}

FileWindow::Fichier *FileWindow::trouver(int numero)
{
    for (Fichier &f : places) {
        if (f.etat != Etat::Manquant && f.numero == numero)
            return &f;
    }
    return nullptr;
}

std::optional<int> FileWindow::placeDe(int numero) const
{
    for (size_t place = 0; place < places.size(); ++place) {
        if (places[place].etat != Etat::Manquant && places[place].numero == numero)
            return int(place);
    }
    return std::nullopt;
}

bool FileWindow::enLecture() const
{
    return std::any_of(places.begin(), places.end(),
                       [](const Fichier &f) { return f.etat == Etat::EnLecture; });
}

bool FileWindow::complet() const
{
    return std::all_of(places.begin(), places.end(), [](const Fichier &f) {
        return f.etat == Etat::Manquant || f.etat == Etat::Charge;
    });
}

std::optional<int> FileWindow::aLire() const
{
    if (!estActif || enLecture())
        return std::nullopt;
    for (const Fichier &f : places) {
        if (f.etat == Etat::Voulu)
            return f.numero;
    }
    return std::nullopt;
}

void FileWindow::debutLecture(int numero)
{
    if (Fichier *f = trouver(numero)) {
        f->etat = Etat::EnLecture;
        f->dernierCycle = numero - 1;
    }
}

void FileWindow::progression(int numero, int dernierCycle)
{
    if (Fichier *f = trouver(numero))
        f->dernierCycle = std::max(f->dernierCycle, dernierCycle);
}

void FileWindow::finLecture(int numero, int dernierCycle)
{
    if (Fichier *f = trouver(numero)) {
        f->etat = Etat::Charge;
        f->dernierCycle = std::max(f->dernierCycle, dernierCycle);
    }
}

int FileWindow::cycleMin() const
{
    int min = places[Courant].numero;
    for (const Fichier &f : places) {
        if (f.etat == Etat::EnLecture || f.etat == Etat::Charge)
            min = std::min(min, f.numero);
    }
    return min;
}

int FileWindow::cycleMax() const
{
    int max = places[Courant].numero;
    for (const Fichier &f : places) {
        if (f.etat == Etat::EnLecture || f.etat == Etat::Charge)
            max = std::max({max, f.numero, f.dernierCycle});
    }
    return max;
}

FileWindow::Deplacement FileWindow::glisser(int p, int v, int niveau, int cycleMin, int cycleMax)
{
    if (v < p ? v < cycleMin : v > cycleMax)
        return Deplacement::Retour;
    if (niveau > 1 && v % niveau != 0)
        return Deplacement::Ignore;
    return Deplacement::Accepte;
}
