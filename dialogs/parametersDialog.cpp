#include "dialogs/parametersDialog.h"

#include "dialogs/fileChooser.h"
#include "dialogs/messageBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int dialogWidth = 300;
constexpr int dialogHeight = 400;

// The pages place their widgets at fixed sizes; a text wider than its widget in the
// desktop's font gets a smaller font rather than being cut off.
void fitText(QWidget *widget, const QString &text, int margin)
{
    QFont font = widget->font();
    while (QFontMetrics(font).horizontalAdvance(text) + margin > widget->width() &&
           font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    widget->setFont(font);
}

QLabel *addLabel(QWidget *page, const QString &text, int x, int y, int w, int h)
{
    auto *label = new QLabel(text, page);
    label->setGeometry(x, y, w, h);
    fitText(label, text, 0);
    return label;
}

QLineEdit *addField(QWidget *page, const QString &objectName, int x, int y, int w, int h)
{
    auto *field = new QLineEdit(page);
    field->setObjectName(objectName);
    field->setGeometry(x, y, w, h);
    return field;
}

QPushButton *addChooser(QWidget *page, const QString &objectName, int x, int y, int w, int h)
{
    auto *button = new QPushButton(QStringLiteral("..."), page);
    button->setObjectName(objectName);
    button->setGeometry(x, y, w, h);
    return button;
}

QWidget *newPage(const QString &title)
{
    auto *page = new QWidget;
    addLabel(page, title, 50, 20, 200, 20);
    return page;
}

// Paths typed or chosen on another system may use backslashes; the file names built from
// them always use "/".
QString withSlashes(QString path)
{
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

} // namespace

ParametersDialog::ParametersDialog(QWidget *parent, const QString &name, bool modal,
                                   Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
    setObjectName(name);
    setModal(modal);
    setWindowTitle(name);

    tabs = new QTabWidget(this);
    tabs->addTab(createConfigPage(), QStringLiteral("Config"));
    tabs->addTab(createTracePage(), QStringLiteral("Trace"));
    tabs->addTab(createZoomPage(), QStringLiteral("Zoom"));
    tabs->addTab(createAsmPage(), QStringLiteral("Asm"));
    tabs->addTab(createOthersPage(), QStringLiteral("Others"));

    buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::RestoreDefaults | QDialogButtonBox::Cancel, this);
    // OK sends the fields before the dialog closes; Cancel closes and keeps what was typed.
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QAbstractButton::clicked, this,
            &ParametersDialog::reloadDefault);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    resize(dialogWidth, dialogHeight);
}

QWidget *ParametersDialog::createConfigPage()
{
    QWidget *page = newPage(QStringLiteral("----==== Config Parameters ====----"));
    addLabel(page, QStringLiteral("Config File :"), 10, 110, 150, 20);
    configFileEdit = addField(page, QStringLiteral("configFile"), 10, 130, 150, 20);
    QPushButton *button =
        addChooser(page, QStringLiteral("chooseConfigFileButton"), 165, 130, 30, 20);
    connect(button, &QPushButton::released, this, &ParametersDialog::chooseConfigFile);
    return page;
}

QWidget *ParametersDialog::createTracePage()
{
    QWidget *page = newPage(QStringLiteral("----==== Trace Parameters ====----"));
    addLabel(page, QStringLiteral("Files Prefix :"), 10, 60, 150, 20);
    tracePrefixeEdit = addField(page, QStringLiteral("tracePrefixe"), 10, 80, 150, 20);
    addLabel(page, QStringLiteral("Files Directory :"), 10, 110, 150, 20);
    traceDirectoryEdit = addField(page, QStringLiteral("traceDirectory"), 10, 130, 150, 20);
    QPushButton *button =
        addChooser(page, QStringLiteral("chooseTraceDirectoryButton"), 165, 130, 30, 20);
    connect(button, &QPushButton::released, this, &ParametersDialog::chooseTraceDirectory);
    sameDirectoryBox = new QCheckBox(QStringLiteral("Use same for zoom and asm"), page);
    sameDirectoryBox->setObjectName(QStringLiteral("sameDirectory"));
    sameDirectoryBox->setGeometry(10, 150, 170, 20);
    fitText(sameDirectoryBox, sameDirectoryBox->text(),
            sameDirectoryBox->sizeHint().width() -
                sameDirectoryBox->fontMetrics().horizontalAdvance(sameDirectoryBox->text()));
    connect(sameDirectoryBox, &QCheckBox::toggled, this, &ParametersDialog::sameDirectoryChanged);
    addLabel(page, QStringLiteral("Nb Cycles by File :"), 10, 180, 150, 20);
    nbCycleParTraceEdit = addField(page, QStringLiteral("nbCycleParTrace"), 10, 200, 150, 20);
    return page;
}

QWidget *ParametersDialog::createZoomPage()
{
    QWidget *page = newPage(QStringLiteral("----==== Zoom Parameters ====----"));
    addLabel(page, QStringLiteral("Files Prefix :"), 10, 60, 150, 20);
    zoomPrefixeEdit = addField(page, QStringLiteral("zoomPrefixe"), 10, 80, 150, 20);
    addLabel(page, QStringLiteral("Files Directory :"), 10, 110, 150, 20);
    zoomDirectoryEdit = addField(page, QStringLiteral("zoomDirectory"), 10, 130, 150, 20);
    zoomDirectoryButton =
        addChooser(page, QStringLiteral("chooseZoomDirectoryButton"), 165, 130, 30, 20);
    connect(zoomDirectoryButton, &QPushButton::released, this,
            &ParametersDialog::chooseZoomDirectory);
    return page;
}

QWidget *ParametersDialog::createAsmPage()
{
    QWidget *page = newPage(QStringLiteral("----==== Asm Parameters ====----"));
    addLabel(page, QStringLiteral("Files Prefix :"), 10, 60, 150, 20);
    asmPrefixeEdit = addField(page, QStringLiteral("asmPrefixe"), 10, 80, 150, 20);
    addLabel(page, QStringLiteral("Files Directory :"), 10, 110, 150, 20);
    asmDirectoryEdit = addField(page, QStringLiteral("asmDirectory"), 10, 130, 150, 20);
    asmDirectoryButton =
        addChooser(page, QStringLiteral("chooseAsmDirectoryButton"), 165, 130, 30, 20);
    connect(asmDirectoryButton, &QPushButton::released, this,
            &ParametersDialog::chooseAsmDirectory);
    addLabel(page, QStringLiteral("Nb Pc by File :"), 10, 180, 150, 20);
    nbPcParAsmEdit = addField(page, QStringLiteral("nbPcParAsm"), 10, 200, 150, 20);
    return page;
}

QWidget *ParametersDialog::createOthersPage()
{
    QWidget *page = newPage(QStringLiteral("----==== Others Parameters ====----"));
    addLabel(page, QStringLiteral("Nb Cycle Total :"), 10, 110, 150, 20);
    nbCycleTotalEdit = addField(page, QStringLiteral("nbCycleTotal"), 10, 130, 150, 20);
    return page;
}

void ParametersDialog::setParameters(const QString &configFile, const QString &tracePrefixe,
                                     const QString &traceDirectory, const QString &zoomPrefixe,
                                     const QString &zoomDirectory, int nbCycleParTrace,
                                     const QString &asmPrefixe, const QString &asmDirectory,
                                     int nbPcParAsm, int nbCycleTotal)
{
    defaults = Values{configFile,      tracePrefixe, traceDirectory, zoomPrefixe, zoomDirectory,
                      nbCycleParTrace, asmPrefixe,   asmDirectory,   nbPcParAsm,  nbCycleTotal};
    setConfigFile(configFile);
    setTracePrefixe(tracePrefixe);
    setTraceDirectory(traceDirectory);
    setZoomPrefixe(zoomPrefixe);
    setZoomDirectory(zoomDirectory);
    setNbCycleParTrace(nbCycleParTrace);
    setAsmPrefixe(asmPrefixe);
    setAsmDirectory(asmDirectory);
    setNbPcParAsm(nbPcParAsm);
    setNbCycleTotal(nbCycleTotal);
}

void ParametersDialog::setConfigFile(const QString &configFile)
{
    current.configFile = configFile;
    configFileEdit->setText(configFile);
}

void ParametersDialog::setTracePrefixe(const QString &tracePrefixe)
{
    current.tracePrefixe = tracePrefixe;
    tracePrefixeEdit->setText(tracePrefixe);
}

void ParametersDialog::setTraceDirectory(const QString &traceDirectory)
{
    current.traceDirectory = traceDirectory;
    traceDirectoryEdit->setText(traceDirectory);
}

void ParametersDialog::setZoomPrefixe(const QString &zoomPrefixe)
{
    current.zoomPrefixe = zoomPrefixe;
    zoomPrefixeEdit->setText(zoomPrefixe);
}

void ParametersDialog::setZoomDirectory(const QString &zoomDirectory)
{
    current.zoomDirectory = zoomDirectory;
    zoomDirectoryEdit->setText(zoomDirectory);
}

void ParametersDialog::setAsmPrefixe(const QString &asmPrefixe)
{
    current.asmPrefixe = asmPrefixe;
    asmPrefixeEdit->setText(asmPrefixe);
}

void ParametersDialog::setAsmDirectory(const QString &asmDirectory)
{
    current.asmDirectory = asmDirectory;
    asmDirectoryEdit->setText(asmDirectory);
}

void ParametersDialog::setNbCycleParTrace(int nbCycleParTrace)
{
    current.nbCycleParTrace = nbCycleParTrace;
    nbCycleParTraceEdit->setText(QString::number(nbCycleParTrace));
}

void ParametersDialog::setNbPcParAsm(int nbPcParAsm)
{
    current.nbPcParAsm = nbPcParAsm;
    nbPcParAsmEdit->setText(QString::number(nbPcParAsm));
}

void ParametersDialog::setNbCycleTotal(int nbCycleTotal)
{
    current.nbCycleTotal = nbCycleTotal;
    nbCycleTotalEdit->setText(QString::number(nbCycleTotal));
}

bool ParametersDialog::nombreRefuse(QLineEdit *field, const QString &label, int current)
{
    bool ok = false;
    const int value = field->text().toInt(&ok, 10);
    if (ok && value > 0)
        return false;
    MessageBox::show(this, MessageBox::Kind::Alert, QStringLiteral("error"),
                     label + QStringLiteral(" : ") + field->text() +
                         QStringLiteral(" is not a positive number; the value stays ") +
                         QString::number(current) + QLatin1Char('.'));
    field->setText(QString::number(current));
    return true;
}

void ParametersDialog::apply()
{
    // The two counts per file divide every file number: one that is not a positive number is
    // refused here, quoting what was typed, and not sent. The total divides nothing: text
    // that is not a number goes out as 0.
    emit configFileChanged(configFileEdit->text());
    emit tracePrefixChanged(tracePrefixeEdit->text());
    emit traceDirectoryChanged(traceDirectoryEdit->text());
    emit zoomPrefixChanged(zoomPrefixeEdit->text());
    emit zoomDirectoryChanged(zoomDirectoryEdit->text());
    if (!nombreRefuse(nbCycleParTraceEdit, QStringLiteral("Nb Cycles by File"),
                      current.nbCycleParTrace))
        emit nbCycleByFileChanged(nbCycleParTraceEdit->text().toInt());
    emit asmPrefixChanged(asmPrefixeEdit->text());
    emit asmDirectoryChanged(asmDirectoryEdit->text());
    if (!nombreRefuse(nbPcParAsmEdit, QStringLiteral("Nb Pc by File"), current.nbPcParAsm))
        emit nbPcByAsmChanged(nbPcParAsmEdit->text().toInt());
    emit nbCycleTotalChanged(nbCycleTotalEdit->text().toInt());
}

void ParametersDialog::reloadDefault()
{
    // Only the fields change: the values take effect on OK.
    configFileEdit->setText(defaults.configFile);
    tracePrefixeEdit->setText(defaults.tracePrefixe);
    traceDirectoryEdit->setText(defaults.traceDirectory);
    zoomPrefixeEdit->setText(defaults.zoomPrefixe);
    zoomDirectoryEdit->setText(defaults.zoomDirectory);
    nbCycleParTraceEdit->setText(QString::number(defaults.nbCycleParTrace));
    asmPrefixeEdit->setText(defaults.asmPrefixe);
    asmDirectoryEdit->setText(defaults.asmDirectory);
    nbPcParAsmEdit->setText(QString::number(defaults.nbPcParAsm));
    nbCycleTotalEdit->setText(QString::number(defaults.nbCycleTotal));
}

void ParametersDialog::sameDirectoryChanged(bool on)
{
    if (on) {
        if (zoomMirror)
            return;
        savedZoomDirectory = zoomDirectoryEdit->text();
        savedAsmDirectory = asmDirectoryEdit->text();
        for (QLineEdit *field : {zoomDirectoryEdit, asmDirectoryEdit}) {
            field->setReadOnly(true);
            field->setEnabled(false);
            field->setText(traceDirectoryEdit->text());
        }
        zoomDirectoryButton->setEnabled(false);
        asmDirectoryButton->setEnabled(false);
        zoomMirror = connect(traceDirectoryEdit, &QLineEdit::textChanged, zoomDirectoryEdit,
                             &QLineEdit::setText);
        asmMirror = connect(traceDirectoryEdit, &QLineEdit::textChanged, asmDirectoryEdit,
                            &QLineEdit::setText);
    } else {
        if (!zoomMirror)
            return;
        for (QLineEdit *field : {zoomDirectoryEdit, asmDirectoryEdit}) {
            field->setReadOnly(false);
            field->setEnabled(true);
        }
        zoomDirectoryButton->setEnabled(true);
        asmDirectoryButton->setEnabled(true);
        disconnect(zoomMirror);
        disconnect(asmMirror);
        zoomMirror = {};
        asmMirror = {};
        zoomDirectoryEdit->setText(savedZoomDirectory);
        asmDirectoryEdit->setText(savedAsmDirectory);
    }
}

void ParametersDialog::chooseConfigFile()
{
    FileChooser::Request request;
    request.kind = FileChooser::Kind::OpenFile;
    request.parent = this;
    request.caption = QStringLiteral("Choose Config File");
    request.directory = QStringLiteral("./");
    request.filter = QStringLiteral("Xml File (*.xml)");
    request.objectName = QStringLiteral("chooseConfigFile");
    const QString path = FileChooser::choose(request);
    if (!path.isEmpty())
        setConfigFile(withSlashes(path));
}

QString ParametersDialog::chooseDirectory(const QString &objectName, const QString &caption)
{
    FileChooser::Request request;
    request.kind = FileChooser::Kind::ExistingDirectory;
    request.parent = this;
    request.caption = caption;
    request.directory = QStringLiteral("./");
    request.objectName = objectName;
    return withSlashes(FileChooser::choose(request));
}

void ParametersDialog::chooseTraceDirectory()
{
    const QString path = chooseDirectory(QStringLiteral("chooseTraceDirectory"),
                                         QStringLiteral("Choose Trace Directory"));
    if (!path.isEmpty())
        setTraceDirectory(path);
}

void ParametersDialog::chooseZoomDirectory()
{
    const QString path = chooseDirectory(QStringLiteral("chooseZoomDirectory"),
                                         QStringLiteral("Choose Zoom Directory"));
    if (!path.isEmpty())
        setZoomDirectory(path);
}

void ParametersDialog::chooseAsmDirectory()
{
    const QString path = chooseDirectory(QStringLiteral("chooseAsmDirectory"),
                                         QStringLiteral("Choose Asm Directory"));
    if (!path.isEmpty())
        setAsmDirectory(path);
}
