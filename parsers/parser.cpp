#include "parsers/parser.h"

#include <algorithm>

#include <QBuffer>
#include <QFile>

#include <expat.h>

#include <climits>
#include <cstring>

Q_LOGGING_CATEGORY(lcParsers, "zelvar.parsers", QtWarningMsg)

namespace {

constexpr int tailleBloc = 64 * 1024;

// Long enough to recognise the number, short enough to keep a report readable.
QString extrait(const QString &text)
{
    constexpr int longueurMax = 40;
    return text.size() <= longueurMax ? text : text.left(longueurMax) + QStringLiteral("...");
}

bool estUnNombre(const QString &text)
{
    int i = 0;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

Parser::Parser(int nbEtats) : QThread(nullptr), nbEtats(nbEtats) {}

Parser::~Parser()
{
    stopAndWait();
}

void Parser::stopAndWait()
{
    requestStop();
    wait();
    std::lock_guard<std::mutex> fin(parseMutex);
}

void Parser::setInputFilename(const QString &name)
{
    if (isRunning() || enCours.load()) {
        Q_ASSERT_X(false, "Parser::setInputFilename", "the parser is running");
        qCWarning(lcParsers, "input file %s refused: the parser is still running",
                  qUtf8Printable(name));
        return;
    }
    std::lock_guard<std::mutex> verrou(fichierMutex);
    inputFilename = name;
    stopDemande.store(false);
}

QString Parser::getInputFilename() const
{
    std::lock_guard<std::mutex> verrou(fichierMutex);
    return inputFilename;
}

void Parser::requestStop()
{
    stopDemande.store(true);
    // Waits for an emission in progress on another thread; from inside a slot of this parser
    // the recursive mutex is already ours.
    std::lock_guard<std::recursive_mutex> verrou(emissionMutex);
}

bool Parser::entrerParse(bool depuisRun)
{
    // Outside run(), a started thread counts as busy even before it has begun to parse.
    if ((!depuisRun && isRunning()) || enCours.exchange(true)) {
        Q_ASSERT_X(false, "Parser::parse", "the parser is already parsing");
        qCWarning(lcParsers, "parse refused: %s", "the parser is already parsing");
        return false;
    }
    return true;
}

bool Parser::parse()
{
    if (!entrerParse())
        return false;
    std::unique_lock<std::mutex> verrou(parseMutex);
    const bool lu = parseFichier();
    enCours.store(false);
    return lu;
}

bool Parser::parseFichier()
{
    const QString nom = getInputFilename();
    QFile fichier(nom);
    if (!fichier.exists()) {
        emettre([&] { emit errorInParse(QStringLiteral("File ") + nom + " doesn't exist"); });
        return false;
    }
    if (!fichier.open(QIODevice::ReadOnly)) {
        qCDebug(lcParsers, "%s: %s", qUtf8Printable(nom), qUtf8Printable(fichier.errorString()));
        emettre([&] { emit errorInParse(QStringLiteral("File ") + nom + " can't be read"); });
        return false;
    }
    lancerLecture(fichier, nom);
    return true;
}

bool Parser::parseData(const QByteArray &data, const QString &nameForReports)
{
    if (!entrerParse())
        return false;
    std::unique_lock<std::mutex> verrou(parseMutex);
    stopDemande.store(false);
    QBuffer tampon;
    tampon.setData(data);
    tampon.open(QIODevice::ReadOnly);
    lancerLecture(tampon, nameForReports);
    enCours.store(false);
    return true;
}

void Parser::run()
{
    if (!entrerParse(true))
        return;
    std::unique_lock<std::mutex> verrou(parseMutex);
    if (emettre([this] { emit debutParse(); })) {
        if (parseFichier())
            emettre([this] { emit endOfParse(); });
        else
            emettre([this] { emit errorInParse(QStringLiteral("erreur")); });
    }
    enCours.store(false);
}

int Parser::num(const QString &tag) const
{
    const int i = tabTag.indexOf(tag);
    return i < 0 ? -2 : i;
}

void Parser::initAutomate()
{
    etatCourant = 0;
    tabTag.clear();
    initTransition();
    automate.assign(static_cast<size_t>(nbEtats) * tabTag.size(), -1);
    remplirAutomate();
    tagsUtf8.clear();
    premierTag.fill(-1);
    tagSuivant.assign(tabTag.size(), -1);
    for (const QString &tag : std::as_const(tabTag))
        tagsUtf8.push_back(tag.toUtf8());
    Q_ASSERT(tagsUtf8.size() < 128);
    // Chained from the last, so that each chain keeps tabTag's order.
    for (int i = int(tagsUtf8.size()) - 1; i >= 0; --i) {
        const auto premier = static_cast<unsigned char>(tagsUtf8[size_t(i)].at(0));
        tagSuivant[size_t(i)] = premierTag[premier];
        premierTag[premier] = qint8(i);
    }
}

int Parser::colonneDe(const char *name) const
{
    for (int i = premierTag[static_cast<unsigned char>(name[0])]; i >= 0;
         i = tagSuivant[size_t(i)]) {
        // Both strings end with a zero byte: the loop stops at the first difference or at
        // their common end, never reading past either.
        const char *tag = tagsUtf8[size_t(i)].constData();
        const char *c = name;
        while (*tag && *tag == *c) {
            ++tag;
            ++c;
        }
        if (*tag == *c)
            return i;
    }
    return -2;
}

namespace {

// FNV-1a: names are short, so this beats any general-purpose hash.
quint32 hashNom(const char *utf8, size_t length)
{
    quint32 h = 2166136261u;
    for (size_t i = 0; i < length; ++i)
        h = (h ^ static_cast<unsigned char>(utf8[i])) * 16777619u;
    return h;
}

bool memeNom(const QByteArray &nom, const char *utf8, size_t length)
{
    return size_t(nom.size()) == length && std::memcmp(nom.constData(), utf8, length) == 0;
}

} // namespace

const QString &Parser::nomPartage(const char *utf8, size_t length)
{
    // Events of one kind often follow each other: the last name is tried before the table.
    if (dernierNomPartage && memeNom(dernierNomPartage->utf8, utf8, length))
        return dernierNomPartage->texte;
    const auto horsTable = [&]() -> const QString & {
        nomHorsTable = QString::fromUtf8(utf8, qsizetype(length));
        return nomHorsTable;
    };
    if (length > size_t(nomPartageLongueurMax))
        return horsTable();
    // At most half full, so a probe always ends on an empty slot.
    constexpr size_t taille = 2 * nomsPartagesMax;
    static_assert((taille & (taille - 1)) == 0, "the table's size must be a power of two");
    if (tableNoms.empty())
        tableNoms.assign(taille, -1);
    size_t slot = hashNom(utf8, length) & (taille - 1);
    for (; tableNoms[slot] >= 0; slot = (slot + 1) & (taille - 1)) {
        const NomPartage &connu = nomsPartages[size_t(tableNoms[slot])];
        if (memeNom(connu.utf8, utf8, length)) {
            dernierNomPartage = &connu;
            return connu.texte;
        }
    }
    if (nomsPartages.size() >= size_t(nomsPartagesMax))
        return horsTable();
    tableNoms[slot] = int(nomsPartages.size());
    nomsPartages.push_back(
        {QByteArray(utf8, qsizetype(length)), QString::fromUtf8(utf8, qsizetype(length))});
    dernierNomPartage = &nomsPartages.back();
    return dernierNomPartage->texte;
}

void Parser::transition(int depuis, const QString &tag, int vers)
{
    const int colonne = num(tag);
    Q_ASSERT(colonne >= 0 && depuis >= 0 && depuis < nbEtats && vers >= 0 && vers < nbEtats);
    automate[static_cast<size_t>(depuis) * tabTag.size() + colonne] = vers;
}

bool Parser::startDocument()
{
    return true;
}

bool Parser::startElement(const QString &name)
{
    return etapeAutomate(name);
}

bool Parser::endDocument()
{
    return true;
}

bool Parser::etapeAutomate(const QString &name)
{
    const int colonne = &name == nomElement ? colonneElement : num(name);
    baliseConnue = colonne != -2;
    if (!baliseConnue)
        return true;
    const int suivant = automate[static_cast<size_t>(etatCourant) * tabTag.size() + colonne];
    if (suivant == -1)
        return signalerErreur(QStringLiteral("Unexpected tag : '") + name + "'");
    etatCourant = suivant;
    return true;
}

void Parser::fixerLigne(int ligne)
{
    ligneCourante = ligne;
    origineLigne = OrigineLigne::Fixee;
}

bool Parser::signalerErreur(const QString &raison)
{
    if (lectureArretee)
        return false;
    if (origineLigne != OrigineLigne::Fixee && lecteur) {
        int ligne = static_cast<int>(XML_GetCurrentLineNumber(lecteur));
        if (origineLigne == OrigineLigne::Texte)
            ligne -= static_cast<int>(std::count(texte.begin(), texte.end(), '\n'));
        fixerLigne(ligne);
    }
    messageErreur += QStringLiteral("\nFile : ") + nomRapport + "\nLine " +
                     QString::number(ligneCourante) + " : " + lignesPosition() + "\n" + raison;
    emettre([this] { emit errorInParse(messageErreur); });
    arreterLecteur();
    return false;
}

namespace {

template<typename C> bool espace(C c)
{
    return c == C(' ') || (c >= C('\t') && c <= C('\r'));
}

// The plain decimal numbers the files hold, read without the general conversion: optional
// blanks, an optional sign, digits, optional blanks, and a value within int. Anything else is
// left to QString::toInt. C is a UTF-16 unit or a UTF-8 byte: all of these are ASCII.
template<typename C> bool entierSimple(const C *c, const C *const fin, int &value)
{
    while (c != fin && espace(*c))
        ++c;
    bool negatif = false;
    if (c != fin && (*c == C('+') || *c == C('-'))) {
        negatif = *c == C('-');
        ++c;
    }
    const C *const chiffres = c;
    qint64 n = 0;
    while (c != fin && *c >= C('0') && *c <= C('9')) {
        n = n * 10 + (*c - C('0'));
        if (n > qint64(INT_MAX) + 1)
            return false;
        ++c;
    }
    if (c == chiffres)
        return false;
    while (c != fin && espace(*c))
        ++c;
    if (c != fin)
        return false;
    if (negatif)
        n = -n;
    if (n > INT_MAX || n < INT_MIN)
        return false;
    value = int(n);
    return true;
}

} // namespace

bool Parser::lireEntier(const char *utf8, size_t length, int &value)
{
    if (entierSimple(utf8, utf8 + length, value))
        return true;
    return lireEntier(QString::fromUtf8(utf8, qsizetype(length)), value);
}

bool Parser::lireEntier(const QString &text, int &value)
{
    const char16_t *debut = reinterpret_cast<const char16_t *>(text.constData());
    if (entierSimple(debut, debut + text.size(), value))
        return true;
    bool ok = false;
    const int lu = text.toInt(&ok, 10);
    if (ok) {
        value = lu;
        return true;
    }
    const QString nombre = text.trimmed();
    if (estUnNombre(nombre))
        return signalerErreur(QStringLiteral("Number out of range : '") + extrait(nombre) + "'");
    value = 0;
    return true;
}

void Parser::arreterLecteur()
{
    lectureArretee = true;
    XML_ParsingStatus etat;
    XML_GetParsingStatus(lecteur, &etat);
    if (etat.parsing == XML_PARSING)
        XML_StopParser(lecteur, XML_FALSE);
}

bool Parser::lancerLecture(QIODevice &source, const QString &nameForReports)
{
    nomRapport = nameForReports;
    lecteur = XML_ParserCreate(nullptr);
    if (!lecteur) {
        emettre(
            [&] { emit errorInParse(QStringLiteral("File ") + nomRapport + " can't be read"); });
        return false;
    }
    XML_SetUserData(lecteur, this);
    XML_SetElementHandler(lecteur, &Parser::onStartElement, &Parser::onEndElement);
    XML_SetCharacterDataHandler(lecteur, &Parser::onCharacters);
    // No entity is ever defined by a file: that shuts out external files and expansion bombs.
    XML_SetEntityDeclHandler(lecteur, &Parser::onEntityDecl);
    XML_SetSkippedEntityHandler(lecteur, &Parser::onSkippedEntity);
    XML_SetParamEntityParsing(lecteur, XML_PARAM_ENTITY_PARSING_NEVER);

    texte.clear();
    profondeur = 0;
    lectureArretee = false;
    octetsSansRappel = 0;
    initAutomate();
    startDocument();
    fixerLigne(1);

    while (!lectureArretee) {
        if (stopDemande.load())
            break;
        void *bloc = XML_GetBuffer(lecteur, tailleBloc);
        if (!bloc) {
            fixerLigne(static_cast<int>(XML_GetCurrentLineNumber(lecteur)));
            signalerErreur(QStringLiteral("XML error : ") +
                           XML_ErrorString(XML_GetErrorCode(lecteur)));
            break;
        }
        const qint64 lus = source.read(static_cast<char *>(bloc), tailleBloc);
        if (lus < 0) {
            fixerLigne(static_cast<int>(XML_GetCurrentLineNumber(lecteur)));
            signalerErreur(QStringLiteral("XML error : ") + source.errorString());
            break;
        }
        const bool fin = lus == 0;
        XML_Status statut;
        {
            // One lock per chunk instead of one per signal: the emissions inside only count up
            // the recursive lock. A requestStop() from another thread waits for the chunk, which
            // stops at the next callback once the flag is set.
            std::lock_guard<std::recursive_mutex> emission(emissionMutex);
            emissionTenue = true;
            statut = XML_ParseBuffer(lecteur, static_cast<int>(lus), fin);
            emissionTenue = false;
        }
        if (statut == XML_STATUS_ERROR) {
            if (!lectureArretee && !stopDemande.load()) {
                fixerLigne(static_cast<int>(XML_GetErrorLineNumber(lecteur)));
                signalerErreur(QStringLiteral("XML error : ") +
                               QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(lecteur))));
            }
            break;
        }
        // Expat keeps a token whole in memory until it ends: cut off an endless one.
        octetsSansRappel += lus;
        if (octetsSansRappel > tailleBaliseMax && !lectureArretee) {
            // The reader stands at the start of the markup it keeps whole: its line.
            fixerLigne(static_cast<int>(XML_GetCurrentLineNumber(lecteur)));
            signalerErreur(
                QStringLiteral("XML error : markup longer than %1 bytes").arg(tailleBaliseMax));
            break;
        }
        if (fin && !lectureArretee && !stopDemande.load()) {
            if (etatCourant == 2) {
                endDocument();
            } else {
                // Only names this parser does not know: not a file of its kind.
                QString racine;
                for (int i = 0; i < tabTag.size(); ++i) {
                    if (automate[i] != -1)
                        racine = tabTag.at(i);
                }
                // ligneCourante is still the line of the document's last tag.
                signalerErreur(QStringLiteral("Missing element : '") + racine + "'");
            }
            break;
        }
    }
    XML_ParserFree(lecteur);
    lecteur = nullptr;
    texte.clear();
    texte.shrink_to_fit();
    return true;
}

void Parser::flushTexte()
{
    if (texte.empty())
        return;
    origineLigne = OrigineLigne::Texte;
    if (!texteUtile()) {
        texte.clear();
        return;
    }
    caracteres(texte.data(), texte.size()); // a failure has stopped the reader already
    texte.clear();
}

bool Parser::caracteres(const char *utf8, size_t longueur)
{
    // Plain ASCII, the usual case, is widened into the reused string without an allocation.
    const auto *octets = reinterpret_cast<const unsigned char *>(utf8);
    bool ascii = true;
    for (size_t i = 0; i < longueur && ascii; ++i)
        ascii = octets[i] < 0x80;
    if (ascii) {
        texteCourant.resize(static_cast<qsizetype>(longueur));
        QChar *dest = texteCourant.data();
        for (size_t i = 0; i < longueur; ++i)
            dest[i] = QLatin1Char(static_cast<char>(octets[i]));
    } else {
        texteCourant = QString::fromUtf8(utf8, static_cast<qsizetype>(longueur));
    }
    return characters(texteCourant);
}

void Parser::element(const char *name, bool debut)
{
    octetsSansRappel = 0;
    if (stopDemande.load()) {
        arreterLecteur();
        return;
    }
    flushTexte();
    if (lectureArretee)
        return;
    profondeur += debut ? 1 : -1;
    if (!debut && profondeur == 0)
        fixerLigne(static_cast<int>(XML_GetCurrentLineNumber(lecteur)));
    else
        origineLigne = OrigineLigne::Balise;
    colonneElement = colonneDe(name);
    if (colonneElement >= 0) {
        nomElement = &tabTag.at(colonneElement);
    } else {
        nomInconnu = QString::fromUtf8(name);
        nomElement = &nomInconnu;
    }
    const QString &nom = *nomElement;
    if (debut)
        startElement(nom);
    else
        endElement(nom);
    nomElement = nullptr;
}

void Parser::onStartElement(void *userData, const char *name, const char **)
{
    auto *self = static_cast<Parser *>(userData);
    if (!self->lectureArretee)
        self->element(name, true);
}

void Parser::onEndElement(void *userData, const char *name)
{
    auto *self = static_cast<Parser *>(userData);
    if (!self->lectureArretee)
        self->element(name, false);
}

void Parser::onCharacters(void *userData, const char *s, int len)
{
    auto *self = static_cast<Parser *>(userData);
    if (self->lectureArretee)
        return;
    self->octetsSansRappel = 0;
    if (self->stopDemande.load()) {
        self->arreterLecteur();
        return;
    }
    if (self->texte.size() + static_cast<size_t>(len) > static_cast<size_t>(tailleTexteMax)) {
        self->origineLigne = OrigineLigne::Texte;
        self->signalerErreur(
            QStringLiteral("XML error : text longer than %1 bytes").arg(tailleTexteMax));
        return;
    }
    self->texte.append(s, static_cast<size_t>(len));
}

void Parser::onEntityDecl(void *userData, const char *entityName, int, const char *, int,
                          const char *, const char *, const char *, const char *)
{
    auto *self = static_cast<Parser *>(userData);
    if (self->lectureArretee)
        return;
    self->fixerLigne(static_cast<int>(XML_GetCurrentLineNumber(self->lecteur)));
    self->signalerErreur(QStringLiteral("XML error : entity declarations are not allowed ('") +
                         extrait(QString::fromUtf8(entityName)) + "')");
}

void Parser::onSkippedEntity(void *userData, const char *entityName, int)
{
    auto *self = static_cast<Parser *>(userData);
    if (self->lectureArretee)
        return;
    self->fixerLigne(static_cast<int>(XML_GetCurrentLineNumber(self->lecteur)));
    self->signalerErreur(QStringLiteral("XML error : undeclared entity '") +
                         extrait(QString::fromUtf8(entityName)) + "'");
}
