#pragma once

class QUrl;

// Opens a file or web address with the desktop's associated program; tests replace it.
class DesktopOpener
{
public:
    virtual ~DesktopOpener() = default;
    virtual bool openUrl(const QUrl &url);
};

DesktopOpener &desktopOpener();
void setDesktopOpener(DesktopOpener *opener);
