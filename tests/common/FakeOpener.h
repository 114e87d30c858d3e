#pragma once

#include "DesktopOpener.h"

#include <QList>
#include <QUrl>

// Keeps the addresses the program asks the desktop to open; there is no viewer.
class FakeOpener : public DesktopOpener
{
public:
    FakeOpener() { setDesktopOpener(this); }
    ~FakeOpener() override { setDesktopOpener(nullptr); }
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return false;
    }
    QList<QUrl> opened;
};
