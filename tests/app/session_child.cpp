// Stands in for the program in the session tests: the real window with the program's own
// session folder and signal handling makes a protocol, prints what it shows, then waits to be
// killed or signalled. With an argument ("running", "held" or "stopped") the last starter's run
// is left on course that way, at 45.67 s, under a rider name typed over the list's.

#include "ClockDisplay.h"
#include "FakeTickSource.h"
#include "MessageBoxes.h"
#include "ProtocolFiles.h"
#include "ProtocolRow.h"
#include "ResultsProtocol.h"
#include "SessionKeeper.h"
#include "StarterList.h"
#include "TFormMain.h"
#include "TSortGrid.h"
#include "TerminationSignals.h"
#include "TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>

namespace {
class YesBoxes : public MessageBoxes
{
public:
    bool yesNo(QWidget *, const QString &) override { return true; }
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ostrel"));
    QApplication::setApplicationName(QStringLiteral("Rittmeter"));
    setSessionFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app,
                     [] { QCoreApplication::exit(0); });
    YesBoxes boxes;
    setMessageBoxes(&boxes);
    FakeTickSource ticks;

    TFormMain window;
    window.show();
    window.clock().startReveal();
    while (window.clock().revealing())
        window.clock().revealStep();

    const QString list = QStringLiteral("starter.txt");
    if (!writeBytes(list, "StNr\tKNr\tPferd\tReiter\tVerein\r\n"
                          "7\t12\tWindspiel\tAnna Müller\tRV Ostrel\r\n"
                          "9\t5\tZoë\tJörg Weiß\tRFV Süd\r\n"
                          "11\t5\tCaruso\tEva Groß\tRV Ostrel\r\n"
                          "14\t31\tLéa\tTom Bär\t \r\n") ||
        !window.files().ImportTextList(list))
        return 3;

    TFormMainUi &ui = window.ui;
    for (int i = 0; i < 3; ++i) {
        ui.mStart->trigger();
        ticks.advance(61'230 + 1'111 * i);
        ui.mStop->trigger();
        ui.mEintragen->trigger();
        ui.mReset->trigger(); // the next starter
    }
    ui.SortGrid1->selectGridRow(2);
    window.protocol().StrokadeleteClick();
    QAbstractItemModel *grid = ui.SortGrid1->model();
    grid->setData(grid->index(0, ColHorse), QStringLiteral("Windspiel II"));
    ui.cbStNr->setCurrentIndex(3);
    ui.rbModeC->setChecked(true);
    const QString onCourse = app.arguments().value(1);
    if (!onCourse.isEmpty()) {
        ui.Reiter->setText(QStringLiteral("Tom Bär-Meier"));
        ui.mStart->trigger();
        ticks.advance(45'670);
        if (onCourse == QLatin1String("held"))
            ui.HF1->trigger();
        else if (onCourse == QLatin1String("stopped"))
            ui.mStop->trigger();
        // Time that must not count: the clock is held or stopped.
        if (onCourse != QLatin1String("running"))
            ticks.advance(5'000);
    }
    if (!QTest::qWaitFor([&] { return !window.session()->pending(); }, 10'000))
        return 4;

    QJsonArray rows;
    for (const QStringList &row : ui.SortGrid1->allRowTexts())
        rows.append(QJsonArray::fromStringList(row));
    const QJsonObject shown{
        {QStringLiteral("rows"), rows},
        {QStringLiteral("starters"), QJsonArray::fromStringList(window.starters().items())},
        {QStringLiteral("headNumbers"),
         QJsonArray::fromStringList(window.starters().headNumbers())},
        {QStringLiteral("position"), ui.cbStNr->currentIndex()}};
    std::printf("%s\nready\n", QJsonDocument(shown).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
    const int rc = app.exec();
    setMessageBoxes(nullptr);
    return rc;
}
