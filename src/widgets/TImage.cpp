#include "TImage.h"

#include <QMouseEvent>

TImage::TImage(QWidget *parent) : QLabel(parent) {}

void TImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QLabel::mousePressEvent(event);
}
