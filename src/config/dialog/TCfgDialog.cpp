#include "TCfgDialog.h"

#include "BrokerSettingsGroup.h"
#include "Charsets.h"
#include "DataFiles.h"
#include "DeviceSettingsGroup.h"
#include "FileDialogs.h"
#include "LanguageFiles.h"
#include "LanguageTable.h"
#include "MessageBoxes.h"
#include "NamedControl.h"
#include "PortChoices.h"
#include "Screens.h"
#include "SerialBackend.h"
#include "TColorBox.h"
#include "TDecimalSpinBox.h"
#include "TOwnerDrawComboBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QNetworkInterface>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>

#include <tuple>

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = make<QLabel>(parent, name);
    l->setText(text);
    return l;
}

QGroupBox *group(QWidget *parent, const char *name, const QString &title)
{
    auto *g = make<QGroupBox>(parent, name);
    g->setTitle(title);
    return g;
}

// A switch contact between two terminals, 41 x 16 pixels: closed and red, or open and grey with
// its arm lifted.
QPixmap contactPicture(bool closed)
{
    QPixmap picture(41, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = closed ? QColor(220, 0, 0) : QColor(128, 128, 128);
    p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
    const QPointF left(5, 11), right(35, 11);
    if (closed)
        p.drawLine(left, right);
    else
        p.drawLine(left, QPointF(31, 2));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(left, 3, 3);
    p.drawEllipse(right, 3, 3);
    return picture;
}

QDoubleSpinBox *decimalBox(QWidget *parent, const char *name, int decimals, double min)
{
    auto *box = make<TDecimalSpinBox>(parent, name);
    box->setDecimals(decimals);
    box->setSingleStep(decimals == 2 ? 0.01 : 0.1);
    box->setRange(min, 999);
    return box;
}

QSpinBox *wholeBox(QWidget *parent, const char *name, int max)
{
    auto *box = make<QSpinBox>(parent, name);
    box->setRange(0, max);
    return box;
}

} // namespace

TCfgDialog::TCfgDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TCfgDialog"));
    setWindowTitle(LanguageText(70));
    setModal(true);
    auto *grid = new QGridLayout(this);

    // Language
    auto *langRow = new QHBoxLayout;
    Label1 = label(this, "Label1", LanguageText(69));
    cbLang = make<QComboBox>(this, "cbLang");
    cbCharset = make<QComboBox>(this, "cbCharset");
    cbCharset->setToolTip(QStringLiteral("Charset"));
    for (const CharsetEntry &c : CharsetTable)
        cbCharset->addItem(QString::fromLatin1(c.name));
    langRow->addWidget(Label1);
    langRow->addWidget(cbLang, 1);
    langRow->addWidget(cbCharset, 1);
    grid->addLayout(langRow, 0, 0, 1, 2);

    // Photocells
    gbLS = group(this, "gbLS", LanguageText(71));
    auto *ls = new QGridLayout(gbLS);
    Label19 = label(gbLS, "Label19", LanguageText(73));
    Label20 = label(gbLS, "Label20", LanguageText(74));
    LabelAlgo = label(gbLS, "LabelAlgo", LanguageText(72));
    cbPort1 = make<QComboBox>(gbLS, "cbPort1");
    cbPort2 = make<QComboBox>(gbLS, "cbPort2");
    Image1 = make<QLabel>(this, "Image1");
    Image1->setPixmap(contactPicture(true));
    Image1->hide();
    Image2 = make<QLabel>(this, "Image2");
    Image2->setPixmap(contactPicture(false));
    Image2->hide();
    for (TOwnerDrawComboBox **box : {&cbAlg1, &cbAlg2}) {
        *box = make<TOwnerDrawComboBox>(gbLS, box == &cbAlg1 ? "cbAlg1" : "cbAlg2");
        (*box)->addItems({LanguageText(76), LanguageText(77)});
        (*box)->setItemHeight(20);
        (*box)->setMinimumWidth(90);
        (*box)->OnDrawItem = [this, b = *box](QPainter &painter, const QRect &rect, int index,
                                              QStyle::State state) {
            // Both pictures stand clear of the longer text.
            const QFontMetrics fm = b->fontMetrics();
            const int text =
                qMax(fm.horizontalAdvance(b->itemText(0)), fm.horizontalAdvance(b->itemText(1)));
            cbAlg1DrawItem(painter, rect, b->itemText(index),
                           (index == 0 ? Image1 : Image2)->pixmap(), qMax(22, text + 6),
                           state & QStyle::State_Enabled);
        };
    }
    cbLSautoFrei = make<QCheckBox>(gbLS, "cbLSautoFrei");
    LabAutoFrei = label(gbLS, "LabAutoFrei", LanguageText(78));
    LabAutoFrei->setBuddy(cbLSautoFrei);
    LabAutoFrei->installEventFilter(this);
    ls->addWidget(LabelAlgo, 0, 2);
    ls->addWidget(Label19, 1, 0);
    ls->addWidget(cbPort1, 1, 1);
    ls->addWidget(cbAlg1, 1, 2);
    ls->addWidget(Label20, 2, 0);
    ls->addWidget(cbPort2, 2, 1);
    ls->addWidget(cbAlg2, 2, 2);
    auto *autoRow = new QHBoxLayout;
    autoRow->addWidget(cbLSautoFrei);
    autoRow->addWidget(LabAutoFrei, 1);
    ls->addLayout(autoRow, 3, 1, 1, 2);
    ls->setColumnStretch(1, 1);
    grid->addWidget(gbLS, 1, 0);

    // Clock and time faults
    auto *times = new QGridLayout;
    Label2 = label(this, "Label2", LanguageText(79));
    cbDigits = make<QComboBox>(this, "cbDigits");
    cbDigits->addItems({QStringLiteral("1/100"), QStringLiteral("1/10"), QStringLiteral("1")});
    Label7 = label(this, "Label7", LanguageText(80));
    seTimer = wholeBox(this, "seTimer", 9999);
    Label10 = label(this, "Label10", LanguageText(81));
    seELZ = wholeBox(this, "seELZ", 9999);
    Label12 = label(this, "Label12", LanguageText(82));
    sePktSek = decimalBox(this, "sePktSek", 2, 0);
    Label18 = label(this, "Label18", LanguageText(83));
    seSekInPachka = decimalBox(this, "seSekInPachka", 1, 0.1);
    const std::pair<QLabel *, QWidget *> timeRows[] = {{Label2, cbDigits},
                                                       {Label7, seTimer},
                                                       {Label10, seELZ},
                                                       {Label12, sePktSek},
                                                       {Label18, seSekInPachka}};
    int row = 0;
    for (const auto &[l, w] : timeRows) {
        l->setBuddy(w);
        times->addWidget(l, row, 0);
        times->addWidget(w, row++, 1);
    }

    // Colours and the audience screen
    gbFarbe = group(this, "gbFarbe", LanguageText(84));
    auto *colours = new QGridLayout(gbFarbe);
    Label4 = label(gbFarbe, "Label4", LanguageText(85));
    Label17 = label(gbFarbe, "Label17", LanguageText(86));
    Label5 = label(gbFarbe, "Label5", LanguageText(87));
    Label16 = label(gbFarbe, "Label16", LanguageText(88));
    Label3 = label(gbFarbe, "Label3", LanguageText(89));
    const std::tuple<QLabel *, TColorBox **, const char *> colourRows[] = {
        {Label4, &cbColor0, "cbColor0"},
        {Label17, &cbColor4, "cbColor4"},
        {Label5, &cbColor2, "cbColor2"},
        {Label16, &cbColor3, "cbColor3"},
        {Label3, &cbColor1, "cbColor1"}};
    row = 0;
    for (const auto &[l, box, name] : colourRows) {
        TColorBox *b = *box = make<TColorBox>(gbFarbe, name);
        connect(b, &QComboBox::activated, this, [this, b] { cbColor1Change(b); });
        l->setBuddy(b);
        colours->addWidget(l, row, 0);
        colours->addWidget(b, row++, 1);
    }
    colours->setColumnStretch(1, 1);
    grid->addWidget(gbFarbe, 1, 1);

    auto *screen = new QGridLayout;
    LabMonitor = label(this, "LabMonitor", LanguageText(91));
    LabMonitor->setToolTip(LanguageText(90));
    cbMonitor = make<QComboBox>(this, "cbMonitor");
    LabMonitor->setBuddy(cbMonitor);
    seBorder = wholeBox(this, "seBorder", 100);
    seBorder->setToolTip(LanguageText(116));
    screen->addWidget(LabMonitor, 0, 0);
    screen->addWidget(cbMonitor, 0, 1);
    screen->addWidget(seBorder, 0, 2);
    screen->setColumnStretch(1, 1);

    gbSound = group(this, "gbSound", LanguageText(92));
    auto *sounds = new QGridLayout(gbSound);
    Label11 = label(gbSound, "Label11", LanguageText(93));
    Label14 = label(gbSound, "Label14", LanguageText(94));
    sSoundTimer = make<QLineEdit>(gbSound, "sSoundTimer");
    sSoundHaltFort = make<QLineEdit>(gbSound, "sSoundHaltFort");
    SpeedButton1 = make<QToolButton>(gbSound, "SpeedButton1");
    SpeedButton2 = make<QToolButton>(gbSound, "SpeedButton2");
    row = 0;
    for (auto [l, edit, button] : {std::tuple{Label11, sSoundTimer, SpeedButton1},
                                   std::tuple{Label14, sSoundHaltFort, SpeedButton2}}) {
        button->setText(QStringLiteral("..."));
        connect(button, &QToolButton::clicked, this, [this, b = button] { SoundDblClick(b); });
        edit->installEventFilter(this);
        edit->setMinimumWidth(160);
        l->setBuddy(edit);
        sounds->addWidget(l, row, 0);
        sounds->addWidget(edit, row, 1);
        sounds->addWidget(button, row++, 2);
    }
    // The live results on the network
    gbLive = group(this, "gbLive", LanguageText(117));
    auto *live = new QGridLayout(gbLive);
    cbLiveWeb = make<QCheckBox>(gbLive, "cbLiveWeb");
    cbLiveWeb->setText(LanguageText(118));
    LabLivePort = label(gbLive, "LabLivePort", LanguageText(119));
    seLivePort = make<QSpinBox>(gbLive, "seLivePort");
    seLivePort->setRange(1, 65535);
    LabLivePort->setBuddy(seLivePort);
    LabLiveHost = label(gbLive, "LabLiveHost", LanguageText(120));
    cbLiveHost = make<QComboBox>(gbLive, "cbLiveHost");
    LabLiveHost->setBuddy(cbLiveHost);
    live->addWidget(cbLiveWeb, 0, 0, 1, 4);
    live->addWidget(LabLivePort, 1, 0);
    live->addWidget(seLivePort, 1, 1);
    live->addWidget(LabLiveHost, 1, 2);
    live->addWidget(cbLiveHost, 1, 3);
    brokerGroup = new BrokerSettingsGroup(gbLive);
    live->addWidget(brokerGroup, 2, 0, 1, 4);
    live->setColumnStretch(3, 1);

    // The sounds under the times, so the live results and the broker fit beside them on a
    // small screen.
    auto *left = new QVBoxLayout;
    left->addLayout(times);
    left->addWidget(gbSound);
    left->addStretch(1);
    grid->addLayout(left, 2, 0);
    auto *right = new QVBoxLayout;
    right->addLayout(screen);
    right->addWidget(gbLive);
    right->addStretch(1);
    grid->addLayout(right, 2, 1);

    auto *buttons = new QHBoxLayout;
    bDefault = make<QPushButton>(this, "bDefault");
    bDefault->setText(LanguageText(96));
    bDefault->setAutoDefault(false);
    OKBtn = make<QPushButton>(this, "OKBtn");
    OKBtn->setText(QStringLiteral("OK"));
    OKBtn->setDefault(true);
    CancelBtn = make<QPushButton>(this, "CancelBtn");
    CancelBtn->setText(LanguageText(103));
    CancelBtn->setAutoDefault(false);
    buttons->addWidget(bDefault);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    gbDevices = new DeviceSettingsGroup(this);
    grid->addWidget(gbDevices, 3, 0, 1, 2);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(bDefault, &QPushButton::clicked, this, &TCfgDialog::bDefaultClick);
    for (QComboBox *box : {cbPort1, cbPort2})
        connect(box, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbPort1Change);
    connect(cbDigits, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbDigitsChange);
    connect(cbLang, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbLangChange);
    connect(cbCharset, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbCharsetChange);
    connect(cbMonitor, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbMonitorChange);

    setPortList(ComPortMask);
    fillLanguages();
    fillLiveHosts(QString());
}

void TCfgDialog::fillLanguages()
{
    const QSignalBlocker block(cbLang);
    const QStringList names = languageNames();
    cbLang->clear();
    cbLang->addItem(QStringLiteral("DEFAULT"));
    cbLang->addItems(names);
    cbCharset->setEnabled(!names.isEmpty());
    cbLang->setEnabled(cbLang->count() > 1);
    cbLang->setCurrentIndex(0);
    m_langIndex = 0;
}

void TCfgDialog::cbLangChange()
{
    const QString name = cbLang->currentText();
    const QString lower = name.toLower();
    const bool russian =
        lower.contains(QStringLiteral("russ")) || lower.contains(QStringLiteral("русский"));
    const int formerCharset = cbCharset->currentIndex();
    {
        const QSignalBlocker block(cbCharset);
        cbCharset->setCurrentIndex(russian ? 3 : 0);
    }
    if (!OnLanguageChange || OnLanguageChange(name, cbCharset->currentIndex())) {
        m_langIndex = cbLang->currentIndex();
        return;
    }
    const QSignalBlocker blockLang(cbLang);
    const QSignalBlocker blockCharset(cbCharset);
    cbLang->setCurrentIndex(m_langIndex);
    cbCharset->setCurrentIndex(formerCharset);
}

void TCfgDialog::cbCharsetChange()
{
    if (OnCharsetChange)
        OnCharsetChange(cbCharset->currentIndex());
}

void TCfgDialog::setPortList(quint32 mask, quint32 denied)
{
    const auto has = [](quint32 m, int port) { return (m >> (port - 1)) & 1u; };
    const QStringList entries =
        portEntries(comPortMask([&](int port) { return has(mask, port) || has(denied, port); }));
    for (QComboBox *box : {cbPort1, cbPort2}) {
        const QString chosen = box->currentText();
        const QSignalBlocker block(box);
        box->clear();
        box->addItem(LanguageText(75));
        for (const QString &entry : entries) {
            box->addItem(entry);
            const int port = parsePortEntry(entry).port;
            QString tip = serialDevicePath(port);
            if (has(denied, port) && !has(mask, port))
                tip += QStringLiteral(": kein Zugriff. Der Benutzer muss Mitglied der Gruppe "
                                      "dialout sein: sudo adduser $USER dialout, danach neu "
                                      "anmelden.");
            box->setItemData(box->count() - 1, tip, Qt::ToolTipRole);
        }
        box->setCurrentIndex(qMax(0, box->findText(chosen)));
    }
    cbPort1Change();
}

void TCfgDialog::setValues(const TSettings &s)
{
    const TColor colors[5] = {s.C0, s.C1, s.C2, s.C3, s.C4};
    TColorBox *boxes[5] = {cbColor0, cbColor1, cbColor2, cbColor3, cbColor4};
    for (int i = 0; i < 5; ++i)
        boxes[i]->setColor(colors[i]);
    {
        // Only the operator's choice previews.
        const QSignalBlocker block(cbDigits);
        cbDigits->setCurrentIndex(2 - qBound(0, s.Acc, 2));
    }
    // A stored contact without a label matches no entry: "Keine".
    for (auto [box, port, kont] :
         {std::tuple{cbPort1, s.Port1, s.Kont1}, std::tuple{cbPort2, s.Port2, s.Kont2}}) {
        const int index = port > 0 ? box->findText(portEntry(port, kont)) : -1;
        box->setCurrentIndex(qMax(0, index));
    }
    cbAlg1->setCurrentIndex(s.Alg1 == 0 || s.Alg1 == 1 ? s.Alg1 : -1);
    cbAlg2->setCurrentIndex(s.Alg2 == 0 || s.Alg2 == 1 ? s.Alg2 : -1);
    cbPort1Change();
    seTimer->setValue(s.Timer);
    seELZ->setValue(s.ELZ);
    sePktSek->setValue(s.PktSek / 100.0);
    seSekInPachka->setValue(s.SekPachka / 100.0);
    cbLSautoFrei->setChecked(s.AutoFrei);
    {
        // Choosing a language or character set acts at once; showing the stored ones must not.
        const QSignalBlocker blockLang(cbLang);
        const QSignalBlocker blockCharset(cbCharset);
        cbLang->setCurrentIndex(cbLang->findText(s.Lang));
        m_langIndex = qMax(0, cbLang->currentIndex());
        cbCharset->setCurrentIndex(s.CharSet >= 0 && s.CharSet < 16 ? s.CharSet : 0);
    }
    seBorder->setValue(s.BorderTV2);
    sSoundTimer->setText(s.Sound0);
    sSoundHaltFort->setText(s.Sound1);
    cbLiveWeb->setChecked(s.LiveWeb);
    seLivePort->setValue(s.LivePort);
    fillLiveHosts(s.LiveHost);
    brokerGroup->setValues(s);
    gbDevices->setValues(s);
    m_shownMonitor = s.Monitor;
    m_shownAlg1 = s.Alg1;
}

TSettings TCfgDialog::values(const TSettings &base) const
{
    TSettings v = base;
    v.BorderTV2 = seBorder->value();
    v.CharSet = qMax(0, cbCharset->currentIndex());
    v.Lang = cbLang->currentText();
    v.AutoFrei = cbLSautoFrei->isChecked();
    v.C0 = cbColor0->color();
    v.C1 = cbColor1->color();
    v.C2 = cbColor2->color();
    v.C3 = cbColor3->color();
    v.C4 = cbColor4->color();
    v.PktSek = hundredths(sePktSek->value());
    v.SekPachka = hundredths(seSekInPachka->value());
    v.Timer = seTimer->value();
    v.ELZ = seELZ->value();
    v.Acc = 2 - cbDigits->currentIndex();
    // The finish photocell is taken whether or not a start photocell is chosen.
    for (auto [box, alg, port, kont, algorithm] :
         {std::tuple{cbPort1, cbAlg1, &v.Port1, &v.Kont1, &v.Alg1},
          std::tuple{cbPort2, cbAlg2, &v.Port2, &v.Kont2, &v.Alg2}}) {
        *port = 0;
        if (box->currentIndex() <= 0)
            continue;
        const PortChoice choice = parsePortEntry(box->currentText());
        *port = choice.port;
        *kont = choice.kont;
        // A stored algorithm the list does not know stays as it was.
        if (alg->currentIndex() >= 0)
            *algorithm = alg->currentIndex();
    }
    v.Sound0 = sSoundTimer->text();
    v.Sound1 = sSoundHaltFort->text();
    v.LiveWeb = cbLiveWeb->isChecked();
    v.LivePort = seLivePort->value();
    v.LiveHost = cbLiveHost->currentIndex() > 0 ? cbLiveHost->currentText() : QString();
    brokerGroup->values(v);
    gbDevices->values(v);
    return v;
}

void TCfgDialog::setBrokerPassword(const QString &password)
{
    brokerGroup->setPassword(password);
}

QString TCfgDialog::brokerPassword() const
{
    return brokerGroup->password();
}

void TCfgDialog::accept()
{
    const TSettings v = values(TSettings{});
    const auto caption = [](const QLabel *l) {
        QString text = l->text().trimmed();
        return text.endsWith(u':') ? text.chopped(1).trimmed() : text;
    };
    const DeviceSettingsGroup &g = *gbDevices;
    // The two photocells may share a port, each on its own contact line.
    const QList<PortRole> roles = {
        {caption(Label19), cbPort1->currentText(), serialDevicePath(v.Port1), 0},
        {caption(Label20), cbPort2->currentText(), serialDevicePath(v.Port2), 0},
        {caption(g.LabDevPort), v.DevPort, v.DevPort, 1},
        {caption(g.LabBoard1), v.Board1Port, v.Board1Port, 2},
        {caption(g.LabBoard2), v.Board2Port, v.Board2Port, 3}};
    const auto [later, earlier] = portClash(roles);
    if (later < 0) {
        QDialog::accept();
        return;
    }
    messageBoxes().warning(this, windowTitle(), portClashText(roles[later], roles[earlier]));
    QComboBox *const boxes[] = {cbPort1, cbPort2, g.cbDevPort, g.cbBoard1Port, g.cbBoard2Port};
    boxes[later]->setFocus();
}

void TCfgDialog::fillLiveHosts(const QString &host)
{
    QStringList hosts;
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        if (!i.flags().testFlag(QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry &entry : i.addressEntries()) {
            // A link-local IPv6 address needs its interface in the URL, which browsers refuse.
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol ||
                (ip.protocol() == QAbstractSocket::IPv6Protocol && !ip.isLinkLocal()))
                hosts << ip.toString();
        }
    }
    hosts.removeDuplicates();
    // A network that is down today keeps its address in the settings.
    if (!host.isEmpty() && !hosts.contains(host))
        hosts << host;
    cbLiveHost->clear();
    cbLiveHost->addItem(LanguageText(121));
    cbLiveHost->addItems(hosts);
    cbLiveHost->setCurrentIndex(host.isEmpty() ? 0 : int(hosts.indexOf(host)) + 1);
}

void TCfgDialog::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TCfgDialog::FormShow()
{
    if (cbLang->currentIndex() < 0) {
        const QSignalBlocker block(cbLang);
        cbLang->setCurrentIndex(0);
    }
    // A negative algorithm locks the ports.
    cbPort1->setEnabled(m_shownAlg1 >= 0);
    cbPort2->setEnabled(m_shownAlg1 >= 0);
    {
        const QSignalBlocker block(cbMonitor);
        cbMonitor->clear();
        const QList<QRect> screens = screenRects();
        const bool several = screens.size() >= 2;
        if (several) {
            for (int i = 0; i < screens.size(); ++i) {
                const QRect &r = screens.at(i);
                cbMonitor->addItem(QString::asprintf("%d=(%d,%d)-(%d,%d)", i + 1, r.left(), r.top(),
                                                     r.width(), r.height()));
            }
            cbMonitor->setCurrentIndex(qBound(0, m_shownMonitor, int(screens.size()) - 1));
        } else {
            cbMonitor->addItem(LanguageText(90));
        }
        cbMonitor->setEnabled(several);
        LabMonitor->setEnabled(several);
    }
    LabelAlgo->setEnabled(cbAlg1->isEnabled() || cbAlg2->isEnabled());
}

void TCfgDialog::cbPort1Change()
{
    cbAlg1->setEnabled(cbPort1->currentIndex() >= 1);
    cbAlg2->setEnabled(cbPort2->currentIndex() >= 1);
    LabelAlgo->setEnabled(cbAlg1->isEnabled() || cbAlg2->isEnabled());
}

void TCfgDialog::cbDigitsChange()
{
    if (OnAccuracyPreview && cbDigits->currentIndex() >= 0)
        OnAccuracyPreview(2 - cbDigits->currentIndex());
}

void TCfgDialog::cbMonitorChange()
{
    m_shownMonitor = cbMonitor->currentIndex();
    if (OnMonitorChange && m_shownMonitor >= 0)
        OnMonitorChange(m_shownMonitor);
}

void TCfgDialog::cbColor1Change(TColorBox *box)
{
    if (!isVisible() || m_colorBusy || !box->userColorChosen())
        return;
    m_colorBusy = box;
    const QColor chosen = fileDialogs().getColor(this, toQColor(box->userColor()));
    if (chosen.isValid())
        box->setUserColor(fromQColor(chosen));
    m_colorBusy = nullptr;
}

void TCfgDialog::SoundDblClick(QObject *sender)
{
    QLineEdit *edit =
        sender == SpeedButton2 || sender == sSoundHaltFort ? sSoundHaltFort : sSoundTimer;
    // The program's own cues are where a replacement is looked for first.
    const QString cue = findDataFile(QStringLiteral("1x_Timer_HF.wav"));
    const QString folder =
        cue.isEmpty() ? dataDirectories().constFirst() : QFileInfo(cue).absolutePath();
    int filter = 1;
    const QString chosen = fileDialogs().getOpenFileName(
        this, folder, {QStringLiteral("WAVE files (*.wav)")}, &filter);
    if (!chosen.isEmpty())
        edit->setText(chosen);
}

void TCfgDialog::bDefaultClick()
{
    if (OnDefaults && OnDefaults())
        reject();
}

void TCfgDialog::cbAlg1DrawItem(QPainter &painter, const QRect &rect, const QString &text,
                                const QPixmap &picture, int pictureLeft, bool enabled)
{
    if (!enabled)
        return;
    painter.drawText(rect.adjusted(1, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.drawPixmap(rect.left() + pictureLeft,
                       rect.top() + (rect.height() - picture.height()) / 2, picture);
}

bool TCfgDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        (watched == sSoundTimer || watched == sSoundHaltFort)) {
        SoundDblClick(watched);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && watched == LabAutoFrei &&
        cbLSautoFrei->isEnabled())
        cbLSautoFrei->toggle();
    return QDialog::eventFilter(watched, event);
}
