#include "TFDlgYesNo.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
std::function<TFDlgYesNo::ButtonTexts()> g_buttonTexts;
} // namespace

void TFDlgYesNo::setButtonTexts(std::function<ButtonTexts()> source)
{
    g_buttonTexts = std::move(source);
}

TFDlgYesNo::TFDlgYesNo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FDlgYesNo"));
    setModal(true);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setMinimumWidth(240);
    QFont font = Label1->font();
    font.setPointSize(12);
    Label1->setFont(font);
    layout->addWidget(Label1);
    auto *buttons = new QHBoxLayout;
    const ButtonTexts texts = g_buttonTexts ? g_buttonTexts() : ButtonTexts();
    OKBtn = new QPushButton(texts.yes, this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(texts.no, this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    OKBtn->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFDlgYesNo::ask(const QString &question)
{
    setWindowTitle(QApplication::applicationName());
    Label1->setText(question);
    adjustSize();
    if (QWidget *p = parentWidget())
        move(p->frameGeometry().center() - rect().center());
    return exec() == QDialog::Accepted;
}
