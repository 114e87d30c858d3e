#include "TSortGrid.h"

#include "TSortGridModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

namespace {

// Primary column first, then the valid secondary ones, each once.
QVector<int> keyColumns(int primary, const QString &secondary, int cols)
{
    QVector<int> keys;
    if (primary >= 0 && primary < cols)
        keys.append(primary);
    const QStringList parts = secondary.split(u',');
    for (const QString &part : parts) {
        bool ok = false;
        const int col = part.trimmed().toInt(&ok);
        if (ok && col >= 0 && col < cols && col != primary && !keys.contains(col))
            keys.append(col);
    }
    return keys;
}

// Reads "-12" or "3,5" (with the locale's decimal mark) the way QLocale would, only much faster;
// a protocol column of 20,000 such numbers otherwise dominates the sort.
bool readPlainNumber(const QString &text, QChar decimal, double &value)
{
    char digits[32];
    const qsizetype n = text.size();
    if (n == 0 || n >= qsizetype(sizeof digits))
        return false;
    bool mark = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= u'0' && c <= u'9') {
            digits[i] = char(c);
        } else if (c == u'-' && i == 0) {
            digits[i] = '-';
        } else if (c == decimal.unicode() && !mark && i > 0 && digits[i - 1] != '-' && i + 1 < n) {
            digits[i] = '.';
            mark = true;
        } else {
            return false;
        }
    }
    const auto [end, error] = std::from_chars(digits, digits + n, value);
    return error == std::errc() && end == digits + n;
}

// Lowering leaves ASCII texts as long as they are; others are keyed as the comparison sees them.
QString lowerOutsideAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x7F)
            return text.toLower();
    return text;
}

// NaN stands for "not a number", so that such texts fall back to text comparison.
double numberOf(const QString &text, const QLocale &locale, QChar decimal)
{
    double value = 0;
    if (readPlainNumber(text, decimal, value))
        return value;
    bool ok = false;
    value = locale.toDouble(text, &ok);
    if (!ok)
        value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? value : std::nan("");
}

// Rows out of their place up to which a sort moves them one by one.
constexpr int MaxRowsOutOfPlace = 8;

} // namespace

TSortGrid::TSortGrid(QWidget *parent) : QTableView(parent), m_model(new TSortGridModel(this))
{
    m_model->setFormatter(
        [this](int col, int row, int role) { return formatRole(col, row, role); });
    setModel(m_model);
    setSortingEnabled(false);
    setShowGrid(true);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    verticalHeader()->hide();

    QHeaderView *heading = horizontalHeader();
    heading->setSectionResizeMode(QHeaderView::Interactive);
    heading->setStretchLastSection(false);
    heading->setSortIndicatorShown(false);
    heading->setSectionsClickable(true);
    heading->setHighlightSections(false);
    connect(heading, &QHeaderView::sectionClicked, this, &TSortGrid::headingClicked);
}

TSortGrid::~TSortGrid()
{
    // The model outlives this part of the destruction; it must not call back into it.
    m_model->setFormatter({});
}

int TSortGrid::gridRowCount() const
{
    return m_model->rowCount() + 1;
}

void TSortGrid::setGridRowCount(int rows)
{
    m_model->setDataRowCount(qMax(2, rows) - 1);
}

int TSortGrid::colCount() const
{
    return m_model->columnCount();
}

void TSortGrid::setColCount(int cols)
{
    m_model->setColumnCount(cols);
}

QString TSortGrid::cells(int col, int row) const
{
    if (col < 0 || col >= colCount() || row < 0 || row >= gridRowCount())
        return {};
    return row == 0 ? m_model->headings().at(col) : m_model->rows().at(row - 1).at(col);
}

void TSortGrid::setCells(int col, int row, const QString &text)
{
    if (row == 0)
        m_model->setHeading(col, text);
    else
        m_model->setText(row - 1, col, text);
}

void TSortGrid::setColumnCells(int col, const QStringList &texts)
{
    m_model->setColumnTexts(col, texts);
}

QList<QStringList> TSortGrid::allRowTexts() const
{
    return QList<QStringList>{m_model->headings()} + m_model->rows();
}

QStringList TSortGrid::rowTexts(int row) const
{
    if (row == 0)
        return m_model->headings();
    if (row < 0 || row >= gridRowCount()) {
        QStringList empty;
        empty.resize(colCount());
        return empty;
    }
    return m_model->rows().at(row - 1);
}

void TSortGrid::setRowTexts(int row, const QStringList &texts)
{
    if (row == 0)
        m_model->setHeadings(texts);
    else
        m_model->setRowTexts(row - 1, texts);
}

void TSortGrid::appendRow(const QStringList &texts)
{
    m_model->appendRow(texts);
}

void TSortGrid::deleteRow(int row)
{
    if (row < 1 || row >= gridRowCount())
        return;
    if (gridRowCount() == 2)
        m_model->setRowTexts(0, {});
    else
        m_model->removeDataRow(row - 1);
}

void TSortGrid::setDataRows(QList<QStringList> rows)
{
    if (rows.isEmpty())
        rows.append(QStringList());
    m_model->setRows(std::move(rows));
}

int TSortGrid::currentGridRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

int TSortGrid::currentGridCol() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() : 0;
}

void TSortGrid::selectGridRow(int row)
{
    const QModelIndex current = currentIndex();
    const QModelIndex target = m_model->index(row - 1, current.isValid() ? current.column() : 0);
    if (!target.isValid())
        return;
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    scrollTo(target);
}

void TSortGrid::sortGrid()
{
    const QVector<QStringList> &rows = m_model->rows();
    const int n = int(rows.size());
    const QVector<int> keys = keyColumns(m_sortColumn, m_secondaryIndex, colCount());
    if (n < 2 || keys.isEmpty())
        return;

    const QLocale locale;
    const QString mark = locale.decimalPoint();
    const QChar decimal = mark.size() == 1 ? mark.at(0) : QChar();
    // Every cell of the key columns is read once; the comparisons then only look up.
    struct KeyColumn
    {
        SortStyle style = ssAlphabetic;
        QVector<QString> texts;
        QVector<double> numbers;
        QVector<SortKey> customKeys;
        bool lowered = false; // texts already lowered for a comparison without case
    };
    QVector<KeyColumn> columns(keys.size());
    for (int k = 0; k < keys.size(); ++k) {
        const int col = keys[k];
        KeyColumn &c = columns[k];
        c.style = m_sortStyle ? m_sortStyle(col) : ssAlphabetic;
        if (c.style == ssCustom && !m_customCompare)
            c.style = ssAlphabetic;
        // Numbers and keyed cells read alike in either case; only a comparison of their texts
        // needs them lowered, and lowers them when it comes to that.
        c.lowered = !m_caseSensitive && c.style == ssAlphabetic;
        c.texts.resize(n);
        for (int r = 0; r < n; ++r)
            c.texts[r] = c.lowered ? rows[r].at(col).toLower() : rows[r].at(col);
        if (c.style == ssNumeric) {
            c.numbers.resize(n);
            for (int r = 0; r < n; ++r)
                c.numbers[r] = numberOf(c.texts[r], locale, decimal);
        } else if (c.style == ssCustom && m_customKey) {
            c.customKeys.resize(n);
            for (int r = 0; r < n; ++r)
                c.customKeys[r] =
                    m_customKey(m_caseSensitive ? c.texts[r] : lowerOutsideAscii(c.texts[r]));
        }
    }
    const auto text = [this](const KeyColumn &c, int r) {
        return c.lowered || m_caseSensitive ? c.texts[r] : c.texts[r].toLower();
    };
    const auto compareIn = [&](const KeyColumn &c, int a, int b) {
        switch (c.style) {
        case ssNumeric: {
            const double va = c.numbers[a], vb = c.numbers[b];
            if (std::isnan(va) || std::isnan(vb))
                return QString::compare(text(c, a), text(c, b));
            return va < vb ? -1 : (vb < va ? 1 : 0);
        }
        case ssCustom:
            if (!c.customKeys.isEmpty()) {
                const SortKey &ka = c.customKeys[a], &kb = c.customKeys[b];
                if (ka.group != kb.group)
                    return ka.group < kb.group ? -1 : 1;
                if (ka.value != kb.value)
                    return ka.value < kb.value ? -1 : 1;
                if (ka.decides)
                    return 0;
            }
            return m_customCompare(text(c, a), text(c, b));
        case ssAlphabetic:
            break;
        }
        return QString::compare(c.texts[a], c.texts[b]);
    };
    // One stable sort by the primary column, then the secondary ones: the same order as stable
    // passes from the last key to the primary one, in one pass.
    const auto compare = [&](int a, int b) {
        for (const KeyColumn &c : columns)
            if (const int r = compareIn(c, a, b))
                return r;
        return 0;
    };
    QVector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    const auto before = [&](int a, int b) {
        const int r = compare(a, b);
        return m_ascending ? r < 0 : r > 0;
    };
    // The protocol is ranked at every entry, and all but the entered row are in order already:
    // moving the few rows out of place costs far less than sorting all of them.
    int outOfPlace = 0;
    for (int r = 1; r < n && outOfPlace <= MaxRowsOutOfPlace; ++r)
        outOfPlace += before(r, r - 1);
    if (outOfPlace == 0)
        return;
    if (outOfPlace > MaxRowsOutOfPlace) {
        std::stable_sort(order.begin(), order.end(), before);
    } else {
        for (int i = 1; i < n; ++i) {
            const int row = order[i];
            int j = i;
            for (; j > 0 && before(row, order[j - 1]); --j)
                order[j] = order[j - 1];
            order[j] = row;
        }
    }
    m_model->reorder(order);
}

void TSortGrid::setSortStyleHandler(std::function<SortStyle(int col)> handler)
{
    m_sortStyle = std::move(handler);
}

void TSortGrid::setCustomKey(std::function<SortKey(const QString &)> key)
{
    m_customKey = std::move(key);
}

void TSortGrid::setCustomCompare(std::function<int(const QString &, const QString &)> compare)
{
    m_customCompare = std::move(compare);
}

void TSortGrid::setCellFormatHandler(
    std::function<void(int col, int row, CellFormat &format)> handler)
{
    m_cellFormat = std::move(handler);
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

void TSortGrid::setSelectCellHandler(std::function<bool(int col, int row)> handler)
{
    m_selectCell = std::move(handler);
}

void TSortGrid::setKeyPressHandler(std::function<void(QChar &key)> handler)
{
    m_keyPress = std::move(handler);
}

void TSortGrid::setEditing(bool on)
{
    m_editing = on;
    m_model->setEditable(on);
    setEditTriggers(on ? DoubleClicked | EditKeyPressed | AnyKeyPressed : NoEditTriggers);
    if (!on && state() == EditingState) {
        if (QWidget *editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
}

void TSortGrid::setRowSelect(bool on)
{
    m_rowSelect = on;
    setSelectionBehavior(on ? SelectRows : SelectItems);
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (on)
        flags |= QItemSelectionModel::Rows;
    selectionModel()->select(current, flags);
}

int TSortGrid::clientWidth() const
{
    return viewport()->width();
}

int TSortGrid::colWidth(int col) const
{
    return horizontalHeader()->sectionSize(col);
}

void TSortGrid::setColWidth(int col, int width)
{
    // A negative width hides the column.
    setColumnHidden(col, width < 0);
    if (width >= 0)
        horizontalHeader()->resizeSection(col, width);
}

void TSortGrid::keyboardSearch(const QString &) {}

void TSortGrid::mousePressEvent(QMouseEvent *event)
{
    if (!mayMoveTo(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TSortGrid::mouseMoveEvent(QMouseEvent *event)
{
    // Dragging with the button down moves the current cell as well.
    if ((event->buttons() & Qt::LeftButton) && !mayMoveTo(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void TSortGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!mayMoveTo(indexAt(event->position().toPoint()))) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TSortGrid::keyPressEvent(QKeyEvent *event)
{
    if (dropsKey(event)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QModelIndex TSortGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex target = QTableView::moveCursor(action, modifiers);
    return mayMoveTo(target) ? target : currentIndex();
}

bool TSortGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (!QTableView::edit(index, trigger, event))
        return false;
    // Keys typed into the in-place editor go through the key-press handler too.
    if (QWidget *editor = indexWidget(index))
        editor->installEventFilter(this);
    return true;
}

bool TSortGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched == indexWidget(currentIndex()) &&
        dropsKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QTableView::eventFilter(watched, event);
}

void TSortGrid::headingClicked(int col)
{
    if (!m_canSort)
        return;
    // Only a second click on the same heading reverses.
    m_ascending = col == m_clickedHeading ? !m_ascending : true;
    m_sortColumn = col;
    m_clickedHeading = col;
    sortGrid();
    emit headingSorted(col);
}

bool TSortGrid::mayMoveTo(const QModelIndex &target) const
{
    if (!m_selectCell || !target.isValid() || target == currentIndex())
        return true;
    return m_selectCell(target.column(), target.row() + 1);
}

bool TSortGrid::dropsKey(const QKeyEvent *event) const
{
    if (!m_keyPress || event->text().isEmpty())
        return false;
    QChar key = event->text().at(0);
    m_keyPress(key);
    return key.isNull();
}

QVariant TSortGrid::formatRole(int col, int row, int role) const
{
    CellFormat format;
    if (m_cellFormat)
        m_cellFormat(col, row, format);
    switch (role) {
    case Qt::BackgroundRole:
        return format.background.isValid() ? QVariant(format.background) : QVariant();
    case Qt::TextAlignmentRole:
        return int(format.alignment);
    case Qt::FontRole: {
        if (format.fontPointSize <= 0)
            return {};
        // The header draws the font as given, so it must carry the grid's family.
        QFont font = row == 0 ? horizontalHeader()->font() : this->font();
        font.setPointSize(format.fontPointSize);
        return font;
    }
    default:
        return {};
    }
}
