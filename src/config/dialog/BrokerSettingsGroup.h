#pragma once

#include "Settings.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

// The broker part of "Live-Ergebnisse": whether to publish, the broker's address, TLS with an
// optional CA file, the user and password, the show's and this arena's names, and whether the
// live page serves every arena of the show. The password travels apart from the settings, since
// it lives in the keyring.
class BrokerSettingsGroup : public QWidget
{
    Q_OBJECT
public:
    explicit BrokerSettingsGroup(QWidget *parent = nullptr);

    void setValues(const TSettings &values);
    void values(TSettings &into) const;
    void setPassword(const QString &password);
    QString password() const;

    QCheckBox *cbBroker = nullptr;
    QLabel *LabBrokerHost = nullptr;
    QLineEdit *edBrokerHost = nullptr;
    QLabel *LabBrokerPort = nullptr;
    QSpinBox *seBrokerPort = nullptr;
    QCheckBox *cbBrokerTls = nullptr;
    QLabel *LabBrokerCa = nullptr;
    QLineEdit *edBrokerCa = nullptr;
    QToolButton *tbBrokerCa = nullptr;
    QLabel *LabBrokerUser = nullptr;
    QLineEdit *edBrokerUser = nullptr;
    QLabel *LabBrokerPassword = nullptr;
    QLineEdit *edBrokerPassword = nullptr;
    QLabel *LabShow = nullptr;
    QLineEdit *edShow = nullptr;
    QLabel *LabArena = nullptr;
    QLineEdit *edArena = nullptr;
    QCheckBox *cbShowAll = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseCaFile();
    // The fields count only while publishing; the CA file only with TLS.
    void enableFields();
};
