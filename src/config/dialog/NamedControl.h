#pragma once

#include <QString>
#include <QWidget>

// A control of the settings dialog, with the objectName the language lines and tests find it by.
template <typename W> W *make(QWidget *parent, const char *name)
{
    auto *w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
