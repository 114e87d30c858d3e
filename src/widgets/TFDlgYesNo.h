#pragma once

#include <QDialog>

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

    QLabel *Label1 = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
};
