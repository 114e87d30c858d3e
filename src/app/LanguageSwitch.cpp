#include "LanguageSwitch.h"

#include "LanguageFiles.h"
#include "LanguageTable.h"
#include "MessageBoxes.h"
#include "Screens.h"
#include "StarterList.h"
#include "TCfgDialog.h"
#include "TFormInfo.h"
#include "TFormMainUi.h"
#include "TSortGrid.h"
#include "WholeFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

// The element of that name in the window, not in one of the dialogs the window owns.
QObject *findIn(QWidget *root, const char *name)
{
    if (!root || !name)
        return nullptr;
    for (QObject *o : root->findChildren<QObject *>(QLatin1String(name))) {
        QObject *p = o->parent();
        while (p && p != root && !qobject_cast<QDialog *>(p))
            p = p->parent();
        if (p == root)
            return o;
    }
    return nullptr;
}

void setCaption(QObject *o, const QString &text)
{
    if (auto *l = qobject_cast<QLabel *>(o))
        l->setText(text);
    else if (auto *b = qobject_cast<QAbstractButton *>(o))
        b->setText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(o))
        g->setTitle(text);
    else if (auto *a = qobject_cast<QAction *>(o))
        a->setText(text);
}

void setHint(QObject *o, const QString &text)
{
    if (auto *w = qobject_cast<QWidget *>(o))
        w->setToolTip(text);
    else if (auto *a = qobject_cast<QAction *>(o))
        a->setToolTip(text);
}

} // namespace

LanguageSwitch::LanguageSwitch(const Windows &windows, QObject *parent)
    : QObject(parent), m_w(windows)
{}

LanguageSwitch::Load LanguageSwitch::LoadLanguage(const QString &name, bool newTitles)
{
    const QString path = languageFilePath(name);
    QByteArray bytes;
    if (!path.isEmpty()) {
        QString reason;
        if (readWholeFile(path, MaxLanguageFileBytes, bytes, reason))
            reason = LanguageFileFault(bytes, Settings.CharSet);
        if (!reason.isEmpty()) {
            // Garbage in every caption would leave the operator no way back to a readable window.
            messageBoxes().error(m_w.main,
                                 QStringLiteral("Die Sprachdatei wird nicht verwendet:\n%1\n%2")
                                     .arg(QDir::toNativeSeparators(path), reason));
            return Load::Refused;
        }
    }
    if (newTitles) {
        m_w.ui->eFText1->clear();
        m_w.ui->eFText2->clear();
    }
    if (path.isEmpty()) {
        // The texts stay as they are; the built-in ones are German.
        if (!LanguageFileRead())
            m_dialogs.apply(true);
        return Load::NoFile;
    }
    StoreLanguageLines(bytes);
    m_dialogs.apply(DialogLanguage::isGerman(name));
    ApplyLanguage();
    return Load::Loaded;
}

LanguageSwitch::State LanguageSwitch::state() const
{
    const TFormMainUi &ui = *m_w.ui;
    State s{Settings.Lang,      Settings.CharSet,   SavedLanguageLines(),    m_dialogs.german(),
            ui.eFText1->text(), ui.eFText2->text(), m_w.info->Memo1->text(), {}};
    for (int col = 0; col < ui.SortGrid1->colCount(); ++col)
        s.headings << ui.SortGrid1->cells(col, 0);
    return s;
}

void LanguageSwitch::restore(const State &s)
{
    TFormMainUi &ui = *m_w.ui;
    Settings.Lang = s.lang;
    Settings.CharSet = s.charSet;
    RestoreLanguageLines(s.lines);
    if (m_dialogs.german() != s.germanDialogs)
        m_dialogs.apply(s.germanDialogs);
    ApplyLanguage();
    // What the lines alone do not bring back: the operator's titles, the notice, and headings
    // a loaded list brought.
    m_w.info->Memo1->setText(s.notice);
    ui.eFText1->setText(s.title1);
    ui.eFText2->setText(s.title2);
    for (int col = 0; col < s.headings.size(); ++col)
        ui.SortGrid1->setCells(col, 0, s.headings.at(col));
}

void LanguageSwitch::ApplyLanguage()
{
    TFormMainUi &ui = *m_w.ui;
    TCfgDialog &settings = *m_w.settings;
    for (int line = 1; line <= LanguageLinesUsed; ++line) {
        const LanguageElement &e = LanguageTable[line - 1];
        QWidget *root = e.window == LineWindow::Main       ? m_w.main
                        : e.window == LineWindow::Settings ? &settings
                                                           : nullptr;
        const QString text = LanguageText(line);
        switch (e.use) {
        case LineUse::Unused:
        case LineUse::Text:
            break;
        case LineUse::Caption:
            if (!e.object && root)
                root->setWindowTitle(text);
            else
                setCaption(findIn(root, e.object), text);
            break;
        case LineUse::Hint:
            setHint(findIn(root, e.object), text);
            setHint(findIn(root, e.also), text);
            break;
        case LineUse::MainCaption:
            m_w.main->setWindowTitle(text + QLatin1Char(' ') + QStringLiteral(RITTMETER_VERSION));
            break;
        case LineUse::TitleIfEmpty:
            if (auto *edit = qobject_cast<QLineEdit *>(findIn(root, e.object));
                edit && edit->text().isEmpty())
                edit->setText(text);
            break;
        case LineUse::OfWord:
            ui.LabelBase->setToolTip(text);
            m_w.starters->updatePosition();
            break;
        case LineUse::Heading:
            ui.SortGrid1->setCells(e.index, 0, text);
            break;
        case LineUse::Item:
            // The items keep their places, so the selection stays.
            for (const char *name : {e.object, e.also})
                if (auto *box = qobject_cast<QComboBox *>(findIn(root, name));
                    box && box->count() > e.index)
                    box->setItemText(e.index, text);
            break;
        case LineUse::MonitorHint:
            settings.LabMonitor->setToolTip(text);
            if (screenRects().size() < 2 && settings.cbMonitor->count() == 1)
                settings.cbMonitor->setItemText(0, text);
            break;
        case LineUse::Notice:
            if (!text.trimmed().isEmpty())
                m_w.info->Memo1->setText(QLatin1Char('\n') + text);
            break;
        }
    }
    emit languageApplied();
}
