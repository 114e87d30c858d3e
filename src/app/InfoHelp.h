#pragma once

#include <QObject>
#include <QString>

class TFormInfo;
class TFormMainUi;

// The information window, the help file and the maker's web page.
class InfoHelp : public QObject
{
    Q_OBJECT
public:
    InfoHelp(TFormMainUi &ui, TFormInfo &info, QObject *parent = nullptr);

    void bInfoClick();
    void bHelpClick();
    void ImageLogoClick();

    static QString helpFilePath();
    static QString webAddress();

private:
    TFormMainUi &m_ui;
    TFormInfo &m_info;
};
