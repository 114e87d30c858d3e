#include "MainWindowFixture.h"

#include "DesktopOpener.h"
#include "TFormInfo.h"

#include <QClipboard>
#include <QUrl>

namespace {

class FakeOpener : public DesktopOpener
{
public:
    FakeOpener() { setDesktopOpener(this); }
    ~FakeOpener() override { setDesktopOpener(nullptr); }
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return succeed;
    }
    QList<QUrl> opened;
    bool succeed = false;
};

} // namespace

// The window's commands from the keyboard, whatever has the focus, and the information and help
// commands.
class tst_FormMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings = TSettings{}; }

    void runKeysWorkFromEditFields_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("rider") << "Reiter";
        QTest::newRow("allowed time") << "seELZmain";
        QTest::newRow("start number") << "cbStNr";
    }

    void runKeysWorkFromEditFields()
    {
        QFETCH(QString, focus);
        MainWindowFixture f;
        auto *w = f.window->findChild<QWidget *>(focus);
        QVERIFY(w);
        w->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
        f.ticks.advance(2220);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
        QCOMPARE(f.elapsed(), 2220);
    }

    void shortcutOrEditField_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("EINTRAGEN enabled: the command wins") << true;
        QTest::newRow("EINTRAGEN disabled: the field pastes") << false;
    }

    void shortcutOrEditField()
    {
        QFETCH(bool, stopped);
        MainWindowFixture f;
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        if (stopped) {
            f.key(Qt::Key_F5);
            f.key(Qt::Key_F9);
        }
        QSignalSpy entered(f.ui.mEintragen, &QAction::triggered);
        f.ui.Reiter->setText(QStringLiteral("Anna"));
        f.ui.Reiter->setFocus();
        QTest::keyClick(f.ui.Reiter, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(entered.size(), stopped ? 1 : 0);
        QCOMPARE(f.ui.Reiter->text(),
                 stopped ? QStringLiteral("Anna") : QStringLiteral("Annapasted"));
    }

    void informationWindow()
    {
        MainWindowFixture f;
        TFormInfo &info = f.window->formInfo();
        f.key(Qt::Key_F3);
        QVERIFY(info.isVisible());
        QTest::keyClick(&info, Qt::Key_Escape);
        QVERIFY(!info.isVisible());
        QTest::mouseClick(f.ui.bInfo, Qt::LeftButton);
        QVERIFY(info.isVisible());
        info.accept();
    }

    void desktopCommands_data()
    {
        QTest::addColumn<int>("key"); // 0: a click on the logo
        QTest::addColumn<int>("mods");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("target");
        QTest::newRow("F1, no help viewer") << int(Qt::Key_F1) << 0 << false << "/rittmeter.chm";
        QTest::newRow("Alt+I, no help viewer")
            << int(Qt::Key_I) << int(Qt::AltModifier) << false << "/rittmeter.chm";
        QTest::newRow("F1, help shown") << int(Qt::Key_F1) << 0 << true << "/rittmeter.chm";
        QTest::newRow("logo") << 0 << 0 << true << "https://";
    }

    void desktopCommands()
    {
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(bool, opens);
        QFETCH(QString, target);
        FakeOpener opener;
        opener.succeed = opens;
        MainWindowFixture f;
        if (key)
            f.key(key, Qt::KeyboardModifiers(mods));
        else
            QTest::mouseClick(f.ui.ImageLogo, Qt::LeftButton);
        QCOMPARE(opener.opened.size(), 1);
        QVERIFY(opener.opened[0].toString().contains(target));
        // Without a viewer the user is told why nothing appeared.
        QCOMPARE(f.boxes.messages.size(), opens ? 0 : 1);
    }
};

QTEST_MAIN(tst_FormMain)
#include "tst_formmain.moc"
