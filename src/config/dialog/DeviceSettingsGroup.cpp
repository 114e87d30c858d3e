#include "DeviceSettingsGroup.h"

#include "LanguageTable.h"
#include "NamedControl.h"

#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

// Settings line numbers of the group's texts.
enum : int
{
    GroupTitle = 128,
    DevPortCaption,
    DevTypeCaption,
    DevBaudCaption,
    Board1Caption,
    Board2Caption,
    ShowsTime,
    ShowsFaults,
    CountdownCaption,
    NoPort,
    DevPortHint
};

// The ports present now with what the system knows of each, and the stable names of the USB
// adapters, which survive a replug onto another ttyUSB number.
QList<std::pair<QString, QString>> presentPorts()
{
    QList<std::pair<QString, QString>> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString about = QStringList{info.manufacturer(), info.description()}.join(u' ');
        ports.append({info.systemLocation(), about.trimmed()});
    }
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(ports.begin(), ports.end(),
              [&](const auto &a, const auto &b) { return numeric.compare(a.first, b.first) < 0; });
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : byId.entryInfoList(QDir::System | QDir::Files, QDir::Name))
        ports.append({link.absoluteFilePath(), link.canonicalFilePath()});
    return ports;
}

} // namespace

DeviceSettingsGroup::DeviceSettingsGroup(QWidget *parent) : QGroupBox(parent)
{
    setObjectName(QStringLiteral("gbDevices"));
    setTitle(LanguageText(GroupTitle));
    const auto label = [this](const char *name, int line) {
        auto *l = make<QLabel>(this, name);
        l->setText(LanguageText(line));
        return l;
    };
    const auto portBox = [this](const char *name) {
        auto *box = make<QComboBox>(this, name);
        box->setEditable(true);
        // What is typed stays a path of its own, not a new item.
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMinimumContentsLength(14);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        return box;
    };
    const auto showsBox = [this](const char *name) {
        auto *box = make<QComboBox>(this, name);
        box->addItem(LanguageText(ShowsTime), QStringLiteral("zeit"));
        box->addItem(LanguageText(ShowsFaults), QStringLiteral("fehler"));
        return box;
    };
    LabDevPort = label("LabDevPort", DevPortCaption);
    cbDevPort = portBox("cbDevPort");
    cbDevPort->setToolTip(LanguageText(DevPortHint));
    LabDevType = label("LabDevType", DevTypeCaption);
    cbDevType = make<QComboBox>(this, "cbDevType");
    cbDevType->addItem(QStringLiteral("ALGE Timy"), QStringLiteral("timy"));
    cbDevType->addItem(QStringLiteral("ALGE TdC 8001"), QStringLiteral("tdc8001"));
    cbDevType->addItem(QStringLiteral("ALGE TdC 8000"), QStringLiteral("tdc8000"));
    LabDevBaud = label("LabDevBaud", DevBaudCaption);
    cbDevBaud = make<QComboBox>(this, "cbDevBaud");
    for (int baud : DeviceBauds)
        cbDevBaud->addItem(QString::number(baud), baud);
    LabBoard1 = label("LabBoard1", Board1Caption);
    cbBoard1Port = portBox("cbBoard1Port");
    cbBoard1Shows = showsBox("cbBoard1Shows");
    LabBoard2 = label("LabBoard2", Board2Caption);
    cbBoard2Port = portBox("cbBoard2Port");
    cbBoard2Shows = showsBox("cbBoard2Shows");
    cbBoardCountdown = make<QCheckBox>(this, "cbBoardCountdown");
    cbBoardCountdown->setText(LanguageText(CountdownCaption));

    auto *grid = new QGridLayout(this);
    const std::pair<QLabel *, QWidget *> buddies[] = {{LabDevPort, cbDevPort},
                                                      {LabDevType, cbDevType},
                                                      {LabDevBaud, cbDevBaud},
                                                      {LabBoard1, cbBoard1Port},
                                                      {LabBoard2, cbBoard2Port}};
    for (const auto &[l, w] : buddies)
        l->setBuddy(w);
    // Two columns of controls, so the group stays within half a small screen.
    grid->addWidget(LabDevPort, 0, 0);
    grid->addWidget(cbDevPort, 0, 1);
    grid->addWidget(LabDevType, 0, 2);
    grid->addWidget(cbDevType, 0, 3);
    grid->addWidget(LabDevBaud, 1, 0);
    grid->addWidget(cbDevBaud, 1, 1, Qt::AlignLeft);
    grid->addWidget(LabBoard1, 2, 0);
    grid->addWidget(cbBoard1Port, 2, 1);
    grid->addWidget(cbBoard1Shows, 2, 2, 1, 2);
    grid->addWidget(LabBoard2, 3, 0);
    grid->addWidget(cbBoard2Port, 3, 1);
    grid->addWidget(cbBoard2Shows, 3, 2, 1, 2);
    grid->addWidget(cbBoardCountdown, 4, 1, 1, 3);
    grid->setColumnStretch(1, 1);
}

void DeviceSettingsGroup::fillPorts(QComboBox *box, const QString &stored)
{
    box->clear();
    // In the language in force: the language file names the device's box only.
    box->addItem(LanguageText(NoPort));
    for (const auto &[path, about] : presentPorts()) {
        box->addItem(path);
        box->setItemData(box->count() - 1, about, Qt::ToolTipRole);
    }
    // An adapter unplugged today keeps its place in the settings.
    if (!stored.isEmpty() && box->findText(stored) < 0)
        box->addItem(stored);
    box->setCurrentIndex(stored.isEmpty() ? 0 : box->findText(stored));
}

void DeviceSettingsGroup::setValues(const TSettings &s)
{
    fillPorts(cbDevPort, s.DevPort);
    fillPorts(cbBoard1Port, s.Board1Port);
    fillPorts(cbBoard2Port, s.Board2Port);
    cbDevType->setCurrentIndex(qMax(0, cbDevType->findData(s.DevType)));
    cbDevBaud->setCurrentIndex(qMax(0, cbDevBaud->findData(s.DevBaud)));
    cbBoard1Shows->setCurrentIndex(qMax(0, cbBoard1Shows->findData(s.Board1Shows)));
    cbBoard2Shows->setCurrentIndex(qMax(0, cbBoard2Shows->findData(s.Board2Shows)));
    cbBoardCountdown->setChecked(s.BoardCountdown);
}

void DeviceSettingsGroup::values(TSettings &v) const
{
    v.DevPort = portPath(cbDevPort);
    v.DevType = cbDevType->currentData().toString();
    v.DevBaud = cbDevBaud->currentData().toInt();
    v.Board1Port = portPath(cbBoard1Port);
    v.Board1Shows = cbBoard1Shows->currentData().toString();
    v.Board2Port = portPath(cbBoard2Port);
    v.Board2Shows = cbBoard2Shows->currentData().toString();
    v.BoardCountdown = cbBoardCountdown->isChecked();
}

QString DeviceSettingsGroup::portPath(const QComboBox *box)
{
    const QString text = box->currentText().trimmed();
    return text == box->itemText(0).trimmed() ? QString() : text;
}
