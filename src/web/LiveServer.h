#pragma once
// Placeholder until the server lands.
#include <QObject>
class LiveServer : public QObject
{
    Q_OBJECT
};
