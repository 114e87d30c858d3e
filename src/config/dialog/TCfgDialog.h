#pragma once

#include "Settings.h"

#include <QDialog>

#include <functional>

class BrokerSettingsGroup;
class DeviceSettingsGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QSpinBox;
class QToolButton;
class TColorBox;
class TOwnerDrawComboBox;

// "Einstellungen": ports and contacts of the photocells, the timing device and the boards, clock,
// countdown, time faults, colours, audience screen and sounds. It edits a copy of the settings and
// hands it back; applying it to the running program is the main window's business. The monitor box
// acts at once, and the accuracy box shows a preview at once.
class TCfgDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TCfgDialog(QWidget *parent = nullptr);

    // Hooks into the running program.
    std::function<void(int decimals)> OnAccuracyPreview;
    std::function<void(int monitor)> OnMonitorChange;
    // The reset to defaults; true when it was done and the program ends.
    std::function<bool()> OnDefaults;
    // A language chosen, with the character set it brings; false when its file was refused,
    // and the boxes go back to the language in force. A character set chosen.
    std::function<bool(const QString &language, int charSet)> OnLanguageChange;
    std::function<void(int charSet)> OnCharsetChange;

    // The port lists, from the probe's mask; every entry names its device in the tooltip.
    // The ports of mask, and those of denied with a tooltip on the group that grants access.
    void setPortList(quint32 mask, quint32 denied = 0);
    // The language list: "DEFAULT", then the language files found now.
    void fillLanguages();
    // The controls take these values before the dialog shows.
    void setValues(const TSettings &values);
    // base, with what the controls hold.
    TSettings values(const TSettings &base) const;
    // The broker's password, which the settings do not hold.
    void setBrokerPassword(const QString &password);
    QString brokerPassword() const;

    void cbLangChange();
    void cbCharsetChange();
    void cbPort1Change();
    void cbDigitsChange();
    void cbMonitorChange();
    void cbColor1Change(TColorBox *box);
    void SoundDblClick(QObject *sender);
    void bDefaultClick();
    // The item's text, then its contact picture from pictureLeft on.
    static void cbAlg1DrawItem(QPainter &painter, const QRect &rect, const QString &text,
                               const QPixmap &picture, int pictureLeft, bool enabled);

    QLabel *Label1 = nullptr;
    QComboBox *cbLang = nullptr;
    QComboBox *cbCharset = nullptr;
    QGroupBox *gbLS = nullptr;
    QLabel *Label19 = nullptr;
    QLabel *Label20 = nullptr;
    QLabel *LabelAlgo = nullptr;
    QComboBox *cbPort1 = nullptr;
    QComboBox *cbPort2 = nullptr;
    TOwnerDrawComboBox *cbAlg1 = nullptr;
    TOwnerDrawComboBox *cbAlg2 = nullptr;
    QCheckBox *cbLSautoFrei = nullptr;
    QLabel *LabAutoFrei = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cbDigits = nullptr;
    QLabel *Label7 = nullptr;
    QSpinBox *seTimer = nullptr;
    QLabel *Label10 = nullptr;
    QSpinBox *seELZ = nullptr;
    QLabel *Label12 = nullptr;
    QDoubleSpinBox *sePktSek = nullptr;
    QLabel *Label18 = nullptr;
    QDoubleSpinBox *seSekInPachka = nullptr;
    QGroupBox *gbFarbe = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label17 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label16 = nullptr;
    QLabel *Label3 = nullptr;
    TColorBox *cbColor0 = nullptr;
    TColorBox *cbColor4 = nullptr;
    TColorBox *cbColor2 = nullptr;
    TColorBox *cbColor3 = nullptr;
    TColorBox *cbColor1 = nullptr;
    QLabel *LabMonitor = nullptr;
    QComboBox *cbMonitor = nullptr;
    QSpinBox *seBorder = nullptr;
    QGroupBox *gbSound = nullptr;
    QLabel *Label11 = nullptr;
    QLabel *Label14 = nullptr;
    QLineEdit *sSoundTimer = nullptr;
    QLineEdit *sSoundHaltFort = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QLabel *Image1 = nullptr; // the pictures of "ON" and "OFF"
    QLabel *Image2 = nullptr;
    QGroupBox *gbLive = nullptr;
    QCheckBox *cbLiveWeb = nullptr;
    QLabel *LabLivePort = nullptr;
    QSpinBox *seLivePort = nullptr;
    QLabel *LabLiveHost = nullptr;
    QComboBox *cbLiveHost = nullptr;            // "Alle Netzwerke", then this machine's addresses
    BrokerSettingsGroup *brokerGroup = nullptr; // inside gbLive
    DeviceSettingsGroup *gbDevices = nullptr;
    QPushButton *bDefault = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

public slots:
    // Refused while one port is given two roles: the dialog stays open on the later one.
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    // The addresses of the interfaces that are up now, and host though it is not among them.
    void fillLiveHosts(const QString &host);

    int m_shownMonitor = 0;
    int m_langIndex = 0; // the language in force
    int m_shownAlg1 = 0;
    TColorBox *m_colorBusy = nullptr; // the box whose user colour is being chosen
};
