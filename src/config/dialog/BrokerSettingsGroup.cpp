#include "BrokerSettingsGroup.h"

#include "FileDialogs.h"
#include "LanguageTable.h"
#include "NamedControl.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

namespace {

// Settings line numbers of the group's texts.
enum : int
{
    BrokerCaption = 152,
    HostCaption,
    PortCaption,
    TlsCaption,
    CaCaption,
    CaHint,
    UserCaption,
    PasswordCaption,
    ShowCaption,
    ArenaCaption,
    ShowAllCaption
};

} // namespace

BrokerSettingsGroup::BrokerSettingsGroup(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("BrokerSettingsGroup"));
    const auto label = [this](const char *name, int line, QWidget *buddy) {
        auto *l = make<QLabel>(this, name);
        l->setText(LanguageText(line));
        l->setBuddy(buddy);
        return l;
    };
    const auto check = [this](const char *name, int line) {
        auto *c = make<QCheckBox>(this, name);
        c->setText(LanguageText(line));
        return c;
    };
    cbBroker = check("cbBroker", BrokerCaption);
    edBrokerHost = make<QLineEdit>(this, "edBrokerHost");
    LabBrokerHost = label("LabBrokerHost", HostCaption, edBrokerHost);
    seBrokerPort = make<QSpinBox>(this, "seBrokerPort");
    seBrokerPort->setRange(1, 65535);
    LabBrokerPort = label("LabBrokerPort", PortCaption, seBrokerPort);
    cbBrokerTls = check("cbBrokerTls", TlsCaption);
    edBrokerCa = make<QLineEdit>(this, "edBrokerCa");
    edBrokerCa->setToolTip(LanguageText(CaHint));
    edBrokerCa->setPlaceholderText(LanguageText(CaHint));
    // A language file sets the hint; the empty field shows it too.
    edBrokerCa->installEventFilter(this);
    LabBrokerCa = label("LabBrokerCa", CaCaption, edBrokerCa);
    tbBrokerCa = make<QToolButton>(this, "tbBrokerCa");
    tbBrokerCa->setText(QStringLiteral("..."));
    edBrokerUser = make<QLineEdit>(this, "edBrokerUser");
    LabBrokerUser = label("LabBrokerUser", UserCaption, edBrokerUser);
    edBrokerPassword = make<QLineEdit>(this, "edBrokerPassword");
    edBrokerPassword->setEchoMode(QLineEdit::Password);
    LabBrokerPassword = label("LabBrokerPassword", PasswordCaption, edBrokerPassword);
    edShow = make<QLineEdit>(this, "edShow");
    LabShow = label("LabShow", ShowCaption, edShow);
    edArena = make<QLineEdit>(this, "edArena");
    LabArena = label("LabArena", ArenaCaption, edArena);
    cbShowAll = check("cbShowAll", ShowAllCaption);

    // Pairs of fields side by side, so the group adds few lines to the dialog.
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(cbBroker, 0, 0, 1, 2);
    grid->addWidget(cbShowAll, 0, 2, 1, 3);
    grid->addWidget(LabBrokerHost, 1, 0);
    grid->addWidget(edBrokerHost, 1, 1);
    grid->addWidget(LabBrokerPort, 1, 2);
    grid->addWidget(seBrokerPort, 1, 3, 1, 2);
    grid->addWidget(cbBrokerTls, 2, 0);
    auto *ca = new QHBoxLayout;
    ca->addWidget(LabBrokerCa);
    ca->addWidget(edBrokerCa, 1);
    ca->addWidget(tbBrokerCa);
    grid->addLayout(ca, 2, 1, 1, 4);
    grid->addWidget(LabBrokerUser, 3, 0);
    grid->addWidget(edBrokerUser, 3, 1);
    grid->addWidget(LabBrokerPassword, 3, 2);
    grid->addWidget(edBrokerPassword, 3, 3, 1, 2);
    grid->addWidget(LabShow, 4, 0);
    grid->addWidget(edShow, 4, 1);
    grid->addWidget(LabArena, 4, 2);
    grid->addWidget(edArena, 4, 3, 1, 2);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);

    connect(tbBrokerCa, &QToolButton::clicked, this, &BrokerSettingsGroup::chooseCaFile);
    for (QCheckBox *box : {cbBroker, cbBrokerTls})
        connect(box, &QCheckBox::toggled, this, &BrokerSettingsGroup::enableFields);
    enableFields();
}

void BrokerSettingsGroup::setValues(const TSettings &s)
{
    cbBroker->setChecked(s.BrokerOn);
    edBrokerHost->setText(s.BrokerHost);
    seBrokerPort->setValue(s.BrokerPort);
    cbBrokerTls->setChecked(s.BrokerTls);
    edBrokerCa->setText(s.BrokerCa);
    edBrokerUser->setText(s.BrokerUser);
    edShow->setText(s.Show);
    edArena->setText(s.Arena);
    cbShowAll->setChecked(s.ShowAll);
    enableFields();
}

void BrokerSettingsGroup::values(TSettings &v) const
{
    v.BrokerOn = cbBroker->isChecked();
    v.BrokerHost = edBrokerHost->text().trimmed();
    v.BrokerPort = seBrokerPort->value();
    v.BrokerTls = cbBrokerTls->isChecked();
    v.BrokerCa = edBrokerCa->text().trimmed();
    v.BrokerUser = edBrokerUser->text().trimmed();
    v.Show = edShow->text().trimmed();
    v.Arena = edArena->text().trimmed();
    v.ShowAll = cbShowAll->isChecked();
}

void BrokerSettingsGroup::setPassword(const QString &password)
{
    edBrokerPassword->setText(password);
}

QString BrokerSettingsGroup::password() const
{
    // Spaces may belong to a password: it is taken as typed.
    return edBrokerPassword->text();
}

void BrokerSettingsGroup::chooseCaFile()
{
    const QString current = edBrokerCa->text().trimmed();
    const QString folder = current.isEmpty() ? QDir::homePath() : QFileInfo(current).absolutePath();
    int filter = 1;
    const QString chosen = fileDialogs().getOpenFileName(
        this, folder, {QStringLiteral("Zertifikate (*.pem *.crt)"), QStringLiteral("* (*)")},
        &filter);
    if (!chosen.isEmpty())
        edBrokerCa->setText(chosen);
}

bool BrokerSettingsGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edBrokerCa && event->type() == QEvent::ToolTipChange)
        edBrokerCa->setPlaceholderText(edBrokerCa->toolTip());
    return QWidget::eventFilter(watched, event);
}

void BrokerSettingsGroup::enableFields()
{
    const bool on = cbBroker->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{
             LabBrokerHost, edBrokerHost, LabBrokerPort, seBrokerPort, cbBrokerTls, LabBrokerUser,
             edBrokerUser, LabBrokerPassword, edBrokerPassword, LabShow, edShow, LabArena, edArena,
             cbShowAll})
        w->setEnabled(on);
    for (QWidget *w : std::initializer_list<QWidget *>{LabBrokerCa, edBrokerCa, tbBrokerCa})
        w->setEnabled(on && cbBrokerTls->isChecked());
}
