#ifndef PARAMETERSDIALOG_H
#define PARAMETERSDIALOG_H

#include <QDialog>
#include <QMetaObject>
#include <QString>

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

// Tab dialog editing the ten parameters. It owns no parameter: it shows what the controller
// gives it and, on OK, sends every field back as ten change signals.
class ParametersDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ParametersDialog(QWidget *parent = nullptr, const QString &name = QString(),
                              bool modal = false, Qt::WindowFlags flags = {});

    void setParameters(const QString &configFile, const QString &tracePrefixe,
                       const QString &traceDirectory, const QString &zoomPrefixe,
                       const QString &zoomDirectory, int nbCycleParTrace, const QString &asmPrefixe,
                       const QString &asmDirectory, int nbPcParAsm, int nbCycleTotal);

    void setConfigFile(const QString &configFile);
    void setTracePrefixe(const QString &tracePrefixe);
    void setTraceDirectory(const QString &traceDirectory);
    void setZoomPrefixe(const QString &zoomPrefixe);
    void setZoomDirectory(const QString &zoomDirectory);
    void setAsmPrefixe(const QString &asmPrefixe);
    void setAsmDirectory(const QString &asmDirectory);
    void setNbCycleParTrace(int nbCycleParTrace);
    void setNbPcParAsm(int nbPcParAsm);
    void setNbCycleTotal(int nbCycleTotal);

public slots:
    void apply();
    void reloadDefault();
    void sameDirectoryChanged(bool on);
    void chooseConfigFile();
    void chooseTraceDirectory();
    void chooseZoomDirectory();
    void chooseAsmDirectory();

signals:
    void configFileChanged(QString configFile);
    void tracePrefixChanged(QString tracePrefix);
    void traceDirectoryChanged(QString traceDirectory);
    void zoomPrefixChanged(QString zoomPrefix);
    void zoomDirectoryChanged(QString zoomDirectory);
    void nbCycleByFileChanged(int nbCycleByFile);
    void asmPrefixChanged(QString asmPrefix);
    void asmDirectoryChanged(QString asmDirectory);
    void nbPcByAsmChanged(int nbPcByAsm);
    void nbCycleTotalChanged(int nbCycleTotal);

private:
    struct Values
    {
        QString configFile;
        QString tracePrefixe;
        QString traceDirectory;
        QString zoomPrefixe;
        QString zoomDirectory;
        int nbCycleParTrace = 0;
        QString asmPrefixe;
        QString asmDirectory;
        int nbPcParAsm = 0;
        int nbCycleTotal = 0;
    };

    QWidget *createConfigPage();
    QWidget *createTracePage();
    QWidget *createZoomPage();
    QWidget *createAsmPage();
    QWidget *createOthersPage();
    QString chooseDirectory(const QString &objectName, const QString &caption);
    // True, after telling the user and putting current back, when field does not hold a
    // positive decimal number.
    bool nombreRefuse(QLineEdit *field, const QString &label, int current);

    Values defaults;
    Values current;
    QString savedZoomDirectory;
    QString savedAsmDirectory;
    QMetaObject::Connection zoomMirror;
    QMetaObject::Connection asmMirror;

    QTabWidget *tabs = nullptr;
    QDialogButtonBox *buttons = nullptr;
    QLineEdit *configFileEdit = nullptr;
    QLineEdit *tracePrefixeEdit = nullptr;
    QLineEdit *traceDirectoryEdit = nullptr;
    QLineEdit *zoomPrefixeEdit = nullptr;
    QLineEdit *zoomDirectoryEdit = nullptr;
    QLineEdit *nbCycleParTraceEdit = nullptr;
    QLineEdit *asmPrefixeEdit = nullptr;
    QLineEdit *asmDirectoryEdit = nullptr;
    QLineEdit *nbPcParAsmEdit = nullptr;
    QLineEdit *nbCycleTotalEdit = nullptr;
    QCheckBox *sameDirectoryBox = nullptr;
    QPushButton *zoomDirectoryButton = nullptr;
    QPushButton *asmDirectoryButton = nullptr;
};

#endif
