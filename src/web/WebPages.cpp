#include "WebPages.h"

#include <QFile>
#include <QList>

// Outside any namespace, as the resource macro requires; the pages sit in a static library, so
// nothing else would pull their resource data in.
static void initPageResources()
{
    Q_INIT_RESOURCE(pages);
}

namespace {
struct Route
{
    const char16_t *path;
    const char *resource;
    const char *contentType;
};

constexpr char Html[] = "text/html; charset=utf-8";
constexpr char Script[] = "application/javascript; charset=utf-8";
constexpr char Style[] = "text/css; charset=utf-8";

// Every page the server hands out; any other path is not found, so no name reaches a file.
constexpr Route Routes[] = {
    {u"/", ":/web/index.html", Html},
    {u"/live.js", ":/web/live.js", Script},
    {u"/app.js", ":/web/app.js", Script},
    {u"/style.css", ":/web/style.css", Style},
    {u"/show", ":/web/show.html", Html},
    {u"/show.js", ":/web/show.js", Script},
    {u"/overlay/clock", ":/web/overlay-clock.html", Html},
    {u"/overlay/result", ":/web/overlay-result.html", Html},
    {u"/overlay/leaders", ":/web/overlay-leaders.html", Html},
    {u"/overlay.js", ":/web/overlay.js", Script},
    {u"/overlay.css", ":/web/overlay.css", Style},
};

// Read once, on whichever thread asks first; the bodies are shared, never copied, afterwards.
const QList<WebPage> &loadedPages()
{
    static const QList<WebPage> pages = [] {
        initPageResources();
        QList<WebPage> loaded;
        for (const Route &route : Routes) {
            QFile file(QString::fromLatin1(route.resource));
            loaded.append({route.contentType,
                           file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray()});
        }
        return loaded;
    }();
    return pages;
}
} // namespace

std::optional<WebPage> WebPages::find(QStringView path)
{
    for (qsizetype i = 0; i < qsizetype(std::size(Routes)); ++i)
        if (path == QStringView(Routes[i].path))
            return loadedPages().at(i);
    return std::nullopt;
}
