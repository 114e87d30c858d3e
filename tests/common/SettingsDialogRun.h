#pragma once

#include "MainWindowFixture.h"
#include "SettingsCommand.h"
#include "TCfgDialog.h"

#include <QPushButton>

#include <functional>

// Opens "Einstellungen" as F2 does, lets edit work on the shown dialog, then presses OK or
// Abbrechen.
inline void runDialog(MainWindowFixture &f, const std::function<void(TCfgDialog &)> &edit,
                      bool ok = true)
{
    bool edited = false;
    QTimer::singleShot(0, f.window.get(), [&] {
        TCfgDialog &d = f.window->settings().dialog();
        QVERIFY(d.isVisible());
        edit(d);
        edited = true;
        (ok ? d.OKBtn : d.CancelBtn)->click();
    });
    f.key(Qt::Key_F2);
    QVERIFY(edited);
}

// Opens "Einstellungen", lets check look at the dialog, then presses Abbrechen.
inline void cancelDialog(MainWindowFixture &f, const std::function<void(TCfgDialog &)> &check)
{
    runDialog(f, check, false);
}

inline void choose(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}
