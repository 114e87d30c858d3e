#include "SessionControls.h"

#include "ProtocolGrid.h"
#include "ResultsProtocol.h"
#include "StarterList.h"
#include "TFormMainUi.h"
#include "TSortGrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>

SessionControls windowSessionControls(TFormMainUi &ui, ProtocolGrid &grid, StarterList &starters,
                                      ResultsProtocol &protocol)
{
    SessionControls c;
    c.window = ui.form;
    c.statusPanel = ui.StatusPanels[1];
    c.setProtocol = [&ui, &grid](const ProtocolRows &rows) {
        grid.setHeadings(rows.value(0));
        ProtocolRows data = rows.mid(1);
        for (QStringList &row : data)
            row.resize(ProtocolColumnCount);
        ui.SortGrid1->setDataRows(std::move(data));
        grid.SetProtocolColumnWidths();
    };
    c.setProcedure = [&ui](JudgingProcedure procedure) {
        (procedure == JudgingProcedure::CFahren ? ui.rbModeCfahren
         : procedure == JudgingProcedure::C     ? ui.rbModeC
                                                : ui.rbModeA)
            ->setChecked(true);
    };
    c.setStarters = [&starters](const QStringList &items, const QStringList &headNumbers) {
        starters.setStarters(items, headNumbers);
    };
    c.chooseStarter = [&ui](int position) { ui.cbStNr->setCurrentIndex(position); };
    c.typeStartNumber = [&ui](const QString &startNumber, const QString &headNumber) {
        ui.cbStNr->setEditText(startNumber);
        ui.cbKNr->setEditText(headNumber);
    };
    c.typeStarter = [&ui](const QString &horse, const QString &rider, const QString &club) {
        ui.Reiter->setText(rider);
        ui.ePferd->setText(horse);
        ui.eVerein->setText(club);
    };
    c.updateProtocolButtons = [&protocol] { protocol.UpdateProtocolButtons(); };
    return c;
}
