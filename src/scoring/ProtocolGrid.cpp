#include "ProtocolGrid.h"

#include "LiveState.h"
#include "ProtocolRow.h"
#include "ResultOrder.h"
#include "RunScoring.h"
#include "TFormMainUi.h"

#include <QComboBox>
#include <QLabel>

ProtocolGrid::ProtocolGrid(TFormMainUi &ui, LiveState &live, QObject *parent)
    : QObject(parent), m_ui(ui), m_live(live)
{
    TSortGrid *grid = m_ui.SortGrid1;
    const QAbstractItemModel *model = grid->model();
    const auto changed = [this] { m_live.protocolChanged(); };
    connect(model, &QAbstractItemModel::modelReset, this, changed);
    connect(model, &QAbstractItemModel::layoutChanged, this, changed);
    connect(model, &QAbstractItemModel::dataChanged, this, changed);
    connect(model, &QAbstractItemModel::headerDataChanged, this, changed);
    connect(model, &QAbstractItemModel::rowsInserted, this, changed);
    connect(model, &QAbstractItemModel::rowsRemoved, this, changed);
    m_live.setProtocolSource([grid] { return grid->allRowTexts(); });
    grid->setCaseSensitive(false);
    grid->setSortStyleHandler([this](int col) { return SortGrid1GetSortStyle(col); });
    grid->setCustomCompare(&CompareResultTexts);
    grid->setCustomKey([](const QString &text) {
        const ResultSortKey key = resultSortKey(text);
        return TSortGrid::SortKey{key.group, key.value, key.decides};
    });
    grid->setCellFormatHandler([this](int col, int row, TSortGrid::CellFormat &format) {
        SortGrid1GetCellFormat(col, row, format);
    });
    grid->setSelectCellHandler([this](int col, int row) { return SortGrid1SelectCell(col, row); });
    grid->setKeyPressHandler([this](QChar &key) { SortGrid1KeyPress(key); });
    connect(grid, &TSortGrid::headingSorted, this,
            [this] { showPosition(m_ui.SortGrid1->currentGridRow()); });
}

void ProtocolGrid::setHeadings(const QStringList &headings)
{
    for (int c = 0; c < headings.size() && c < ProtocolColumnCount; ++c)
        m_ui.SortGrid1->setCells(c, 0, headings.at(c));
}

void ProtocolGrid::RankProtocol()
{
    // The ranks are written cell by cell: the state reads the ranked rows once.
    const LiveState::Batch batch(m_live);
    TSortGrid *grid = m_ui.SortGrid1;
    const RankKeys keys = rankKeysFor(RunScoring::procedure(m_ui));
    grid->setCanSort(true);
    grid->setSortColumn(keys.primary);
    grid->setSecondaryIndex(keys.secondary);
    grid->setSortAscending(true); // whatever a heading click left behind
    grid->sortGrid();

    const int rows = grid->gridRowCount();
    QStringList points, times;
    points.reserve(rows);
    times.reserve(rows);
    for (int r = 1; r < rows; ++r) {
        points.append(grid->cells(ColPoints, r));
        times.append(grid->cells(ColTotalTime, r));
    }
    grid->setColumnCells(ColRank, rankTexts(points, times));
    selectCurrentStarter();
}

void ProtocolGrid::selectCurrentStarter()
{
    selectStarterRow(StartNumberKey(m_ui.cbStNr->currentText()));
}

void ProtocolGrid::selectStarterRow(const QString &key)
{
    TSortGrid *grid = m_ui.SortGrid1;
    // Without a start number there is no row to look for; the current one stays.
    if (key.isEmpty()) {
        showPosition(grid->currentGridRow());
        return;
    }
    for (int r = 1; r < grid->gridRowCount(); ++r) {
        if (grid->cells(ColStartNumber, r) == key) {
            grid->selectGridRow(r);
            showPosition(r);
            return;
        }
    }
}

TSortGrid::SortStyle ProtocolGrid::SortGrid1GetSortStyle(int col) const
{
    if (col == ColStartNumber || col == ColHeadNumber)
        return TSortGrid::ssNumeric;
    if (col >= ColRideTime)
        return TSortGrid::ssCustom;
    return TSortGrid::ssAlphabetic;
}

void ProtocolGrid::SortGrid1GetCellFormat(int col, int row, TSortGrid::CellFormat &format) const
{
    if (row == 0) {
        format.fontPointSize = 10;
        format.alignment = Qt::AlignLeft | Qt::AlignVCenter;
        return;
    }
    if (row != m_ui.SortGrid1->currentGridRow()) {
        if (col >= ColRideTime && col <= ColFaults)
            format.background = QColor(255, 255, 200);
        else if (col >= ColPoints)
            format.background = QColor(224, 255, 224);
    }
    const bool left = (col >= ColHorse && col <= ColClub) || col == ColRank;
    format.alignment = (left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
}

void ProtocolGrid::SetProtocolColumnWidths()
{
    const QVector<int> widths = protocolColumnWidths(m_ui.SortGrid1->clientWidth());
    for (int c = 0; c < widths.size(); ++c)
        m_ui.SortGrid1->setColWidth(c, widths[c]);
}

bool ProtocolGrid::SortGrid1SelectCell(int col, int row)
{
    TSortGrid *grid = m_ui.SortGrid1;
    const bool editable = col <= ColClub;
    // Names and numbers can be corrected by hand; results cannot.
    grid->setEditing(editable);
    grid->setRowSelect(!editable);
    showPosition(editable ? row : grid->currentGridRow());
    return editable;
}

void ProtocolGrid::SortGrid1KeyPress(QChar &key)
{
    const int col = m_ui.SortGrid1->currentGridCol();
    if (col < ColRideTime || col > ColPoints)
        return;
    const bool passes = (key >= QLatin1Char('0') && key <= QLatin1Char('9')) ||
                        key == QLatin1Char(',') || key == QLatin1Char('.');
    if (!passes)
        key = QChar();
}

void ProtocolGrid::showPosition(int row)
{
    m_ui.StatusPanels[0]->setText(
        QStringLiteral("%1:%2").arg(row).arg(m_ui.SortGrid1->gridRowCount() - 1));
}
