#include "TFormInfo.h"

#include "LanguageTable.h"

#include "Artwork.h"

#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFormInfo::TFormInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormInfo"));
    setWindowTitle(QStringLiteral("Information"));
    auto *layout = new QVBoxLayout(this);

    auto *logo = new QLabel(this);
    logo->setPixmap(makerLogo(40));
    layout->addWidget(logo, 0, Qt::AlignHCenter);

    auto *product = new QLabel(QStringLiteral("Rittmeter"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    product->setFont(big);
    layout->addWidget(product, 0, Qt::AlignHCenter);

    auto *version =
        new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(RITTMETER_VERSION)), this);
    version->setObjectName(QStringLiteral("Version"));
    layout->addWidget(version, 0, Qt::AlignHCenter);

    Memo1 = new QLabel(QString::fromUtf8(BuiltInNotice), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setWordWrap(true);
    Memo1->setMinimumWidth(360);
    layout->addWidget(Memo1);

    lLiveQr = new QLabel(this);
    lLiveQr->setObjectName(QStringLiteral("lLiveQr"));
    layout->addWidget(lLiveQr, 0, Qt::AlignHCenter);
    lLiveUrl = new QLabel(this);
    lLiveUrl->setObjectName(QStringLiteral("lLiveUrl"));
    lLiveUrl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lLiveUrl, 0, Qt::AlignHCenter);
    showLiveAddress(QString(), QImage());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

void TFormInfo::showLiveAddress(const QString &address, const QImage &qrCode)
{
    lLiveUrl->setText(address);
    lLiveQr->setPixmap(QPixmap::fromImage(qrCode));
    lLiveUrl->setVisible(!address.isEmpty());
    lLiveQr->setVisible(!address.isEmpty() && !qrCode.isNull());
    adjustSize();
}
