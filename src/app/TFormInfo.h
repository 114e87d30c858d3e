#pragma once

#include <QDialog>

class QLabel;

// The information window: product, version and a notice text; OK or Escape closes it.
class TFormInfo : public QDialog
{
    Q_OBJECT
public:
    explicit TFormInfo(QWidget *parent = nullptr);

    // What the program is for, until a language file replaces it.

    QLabel *Memo1 = nullptr; // the notice text
};
