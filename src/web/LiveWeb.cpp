#include "LiveWeb.h"

// Placeholder until the server lands.
LiveWeb::LiveWeb(const LiveState &state, QObject *parent) : QObject(parent), m_state(state) {}
LiveWeb::~LiveWeb() = default;
void LiveWeb::start(const QString &, quint16) {}
void LiveWeb::stop() {}
void LiveWeb::setTexts(const QByteArray &texts) { m_texts = texts; }
QString LiveWeb::pageAddress(const QString &host, quint16 port)
{
    return QStringLiteral("http://%1:%2/").arg(host).arg(port);
}
