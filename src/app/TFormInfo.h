#pragma once

#include <QDialog>

class QImage;
class QLabel;

// The information window: product, version and a notice text; OK or Escape closes it.
class TFormInfo : public QDialog
{
    Q_OBJECT
public:
    explicit TFormInfo(QWidget *parent = nullptr);

    // The live results page's address and its QR code, for phones to open; nothing of it for an
    // empty address.
    void showLiveAddress(const QString &address, const QImage &qrCode);

    QLabel *Memo1 = nullptr; // the notice text
    QLabel *lLiveQr = nullptr;
    QLabel *lLiveUrl = nullptr;
};
