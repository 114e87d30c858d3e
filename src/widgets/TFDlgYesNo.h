#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// The shared yes/no question: modal, on top, centred on its parent, titled with the
// application's name. "Nein" and Escape answer no.
class TFDlgYesNo : public QDialog
{
    Q_OBJECT
public:
    explicit TFDlgYesNo(QWidget *parent = nullptr);

    // Shows the question and returns true only for "Ja".
    bool ask(const QString &question);

    // The captions of the two buttons, asked at each question so that they follow the language;
    // without a source the built-in "Ja" and "Nein".
    struct ButtonTexts
    {
        QString yes = QStringLiteral("Ja");
        QString no = QStringLiteral("Nein");
    };
    static void setButtonTexts(std::function<ButtonTexts()> source);

    QLabel *Label1 = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
};
