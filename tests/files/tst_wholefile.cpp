#include "MainWindowFixture.h"

#include "ProtocolRow.h"
#include "TorisExchange.h"
#include "WholeFile.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
// Files may grow no larger than `bytes` while this lives: writes past it fail with EFBIG, as on
// a full disk, and the process is not killed for it.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old = {};
    void (*m_oldHandler)(int) = nullptr;
};
} // namespace

// Files under faults: a save that fails keeps the former file, and a load refuses what is no
// starter list, without blocking and without changing the protocol.
class tst_WholeFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings = TSettings{}; }

    // As text, with semicolons and as a dBase table.
    void failedSaveKeepsTheFormerFile()
    {
        QList<QStringList> rows;
        for (int i = 1; i <= 50; ++i)
            rows << QStringList{QString::number(i), QString(), QStringLiteral("Pferd %1").arg(i)};
        for (const int kind : {0, 1, 2}) {
            MainWindowFixture f;
            f.ui.SortGrid1->setDataRows(rows);
            const QString file = f.dir.filePath(QStringLiteral("protocol"));
            const auto write = [&](rlim_t room) {
                const FileSizeLimit limit(room);
                ProtocolFiles &files = f.window->files();
                return kind == 0   ? files.ExportTextList(file)
                       : kind == 1 ? files.SaveAsCsv(file)
                                   : files.toris().ExportTorisDbf(file);
            };
            const QByteArray former = "the former protocol\r\n";
            QVERIFY(writeBytes(file, former) && !write(256));
            QCOMPARE(fileBytes(file), former);
            QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"protocol"});
            const QString failed =
                kind < 2 ? "Can't write to file:\n" : "Error create Toris file.\n";
            QCOMPARE(f.boxes.messages, QStringList{failed + file + u'\n' + strerror(EFBIG)});
            QVERIFY(write(RLIM_INFINITY)); // room again: written
            QVERIFY(fileBytes(file).size() > 256);
        }
    }

    void refusedLoadsChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // "fifo" makes a FIFO
        QTest::addColumn<QString>("reason");
        QTest::newRow("FIFO") << QByteArray("fifo") << "Das ist keine gewöhnliche Datei.";
        QTest::newRow("empty") << QByteArray() << "Die Datei ist leer.";
        QTest::newRow("binary") << QByteArray("St.Nr\t\0\x01\x02\xff\r\n", 11)
                                << "Die Datei ist keine Textdatei.";
        QTest::newRow("control bytes")
            << QByteArray("1\t2\x07\r\n") << "Die Datei ist keine Textdatei.";
        QTest::newRow("too many lines")
            << QByteArray(MaxImportRows + 1, '\n')
            << QStringLiteral("Die Datei hat mehr als %1 Zeilen.").arg(MaxImportRows);
    }

    void refusedLoadsChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        MainWindowFixture f;
        const QStringList starters{"7\t70\tBär\tMüller\tRV\t"};
        f.ui.SortGrid1->setDataRows(QList<QStringList>{StarterFields(starters.first())});
        f.window->starters().setStarters(starters, {"70"});
        const QList<QStringList> before = gridRows(f.ui.SortGrid1);

        const QString file = f.dir.filePath(QStringLiteral("list.txt"));
        if (bytes == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        else
            QVERIFY(writeBytes(file, bytes));
        QVERIFY(!f.window->files().ImportTextList(file)); // a FIFO must not hang here
        QCOMPARE(f.boxes.messages,
                 QStringList{"Die Datei kann nicht geladen werden:\n" + file + "\n" + reason});
        QCOMPARE(gridRows(f.ui.SortGrid1), before);
        QCOMPARE(f.ui.cbStNr->count(), 1);
        if (bytes == "fifo") {
            QVERIFY(!f.window->files().toris().ImportTorisDbf(file));
            QCOMPARE(f.boxes.messages.value(1), "Error open Toris file.\n" + file + "\n" + reason);
        }
    }

    void utf16ListLoads()
    {
        MainWindowFixture f;
        const QString file = f.dir.filePath(QStringLiteral("unicode.txt"));
        const QString text =
            QStringLiteral("St.Nr\tKoNr.\tPferd/Pony\tReitername\r\n7\t70\tBär\tMüller\r\n");
        QByteArray bytes("\xFF\xFE");
        bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        QVERIFY(writeBytes(file, bytes) && f.window->files().ImportTextList(file));
        QCOMPARE(f.ui.SortGrid1->rowTexts(1).mid(0, 4), (QStringList{"7", "70", "Bär", "Müller"}));
        QCOMPARE(f.ui.Reiter->text(), QStringLiteral("Müller"));
    }
};

QTEST_MAIN(tst_WholeFile)
#include "tst_wholefile.moc"
