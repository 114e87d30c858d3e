#include "StarterList.h"

#include "LanguageTable.h"
#include "LiveState.h"
#include "PlainComboStyle.h"
#include "ProtocolGrid.h"
#include "ProtocolRow.h"
#include "RunHooks.h"
#include "RunState.h"
#include "StarterItemModel.h"
#include "TBitBtnWithColor.h"
#include "TFormMainUi.h"
#include "TLbSpeedButton.h"
#include "TSortGrid.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringListModel>

namespace {
// Starter items keep their whole line here; the box shows the start number only.
constexpr int ItemRole = Qt::UserRole;

class Busy
{
public:
    explicit Busy(bool &flag) : m_flag(flag) { m_flag = true; }
    ~Busy() { m_flag = false; }

private:
    bool &m_flag;
};
} // namespace

StarterList::StarterList(TFormMainUi &ui, LiveState &live, ProtocolGrid &grid, RunHooks &hooks,
                         QObject *parent)
    : QObject(parent), m_ui(ui), m_live(live), m_grid(grid), m_hooks(hooks),
      m_startNumbers(new StarterItemModel(this)), m_headNumbers(new QStringListModel(this))
{
    // The lists stay parallel to the protocol's rows: a typed number is looked up, never added.
    m_ui.cbStNr->setModel(m_startNumbers);
    m_ui.cbKNr->setModel(m_headNumbers);
    m_ui.cbStNr->setInsertPolicy(QComboBox::NoInsert);
    m_ui.cbKNr->setInsertPolicy(QComboBox::NoInsert);
    connect(m_ui.cbStNr, &QComboBox::currentIndexChanged, this, &StarterList::cbStNrChange);
    connect(m_ui.cbStNr, &QComboBox::editTextChanged, this, &StarterList::cbStNrChange);
    // Only the operator's changes: NEXT empties the head number without choosing anew.
    connect(m_ui.cbKNr, &QComboBox::activated, this, &StarterList::cbKNrChange);
    connect(m_ui.cbKNr->lineEdit(), &QLineEdit::textEdited, this, &StarterList::cbKNrChange);
    connect(m_ui.sb1m, &QToolButton::clicked, this, [this] { sb1mClick(-1); });
    connect(m_ui.sb1p, &QToolButton::clicked, this, [this] { sb1mClick(1); });
    m_ui.cbStNr->installEventFilter(this);
    watchStartNumberEdit();
    for (QWidget *w : std::initializer_list<QWidget *>{m_ui.Reiter, m_ui.ePferd, m_ui.eVerein,
                                                       m_ui.eFText1, m_ui.eFText2})
        w->installEventFilter(this);
    m_ui.cbKNr->installEventFilter(this);
    // Without a starter list the boxes are plain edit fields.
    PlainComboStyle::apply(m_ui.cbStNr, true);
    PlainComboStyle::apply(m_ui.cbKNr, true);
    for (QComboBox *box : {m_ui.cbStNr, m_ui.cbKNr}) {
        connect(box, &QComboBox::currentIndexChanged, this, &StarterList::publishStarter);
        connect(box, &QComboBox::editTextChanged, this, &StarterList::publishStarter);
        connect(box->model(), &QAbstractItemModel::modelReset, this, &StarterList::publishStarter);
    }
    for (QLineEdit *field : {m_ui.ePferd, m_ui.Reiter, m_ui.eVerein})
        connect(field, &QLineEdit::textChanged, this, &StarterList::publishStarter);
    // Without a list NEXT counts the typed start number up from here.
    m_ui.cbStNr->setEditText(QStringLiteral("1"));
}

void StarterList::publishStarter()
{
    LiveSnapshot::Starter starter;
    starter.startNumber = m_ui.cbStNr->currentText();
    starter.headNumber = m_ui.cbKNr->currentText();
    starter.horse = m_ui.ePferd->text();
    starter.rider = m_ui.Reiter->text();
    starter.club = m_ui.eVerein->text();
    starter.items = m_startNumbers->items();
    starter.headNumbers = m_headNumbers->stringList();
    starter.position = starter.items.isEmpty() ? -1 : m_ui.cbStNr->currentIndex();
    m_live.setStarter(starter);
}

void StarterList::watchStartNumberEdit()
{
    if (QLineEdit *edit = m_ui.cbStNr->lineEdit())
        edit->installEventFilter(this);
}

void StarterList::cbStNrChange()
{
    if (m_busy || m_ui.cbStNr->count() == 0)
        return;
    Busy busy(m_busy);
    updatePosition();
    ShowSelectedStarter();
    scrollCurrentRowToTop();
}

void StarterList::sb1mClick(int step)
{
    {
        const QSignalBlocker blocker(m_ui.cbStNr);
        m_ui.cbStNr->setCurrentIndex(m_ui.cbStNr->currentIndex() + step);
    }
    cbStNrChange();
}

QStringList StarterList::items() const
{
    return m_startNumbers->items();
}

QStringList StarterList::headNumbers() const
{
    return m_headNumbers->stringList();
}

QString StarterList::selectedItem() const
{
    const int index = m_ui.cbStNr->currentIndex();
    return index < 0 ? QString() : m_ui.cbStNr->itemData(index, ItemRole).toString();
}

void StarterList::ShowSelectedStarter()
{
    // The boxes may have moved under a signal blocker: the state hears of it here.
    if (m_ui.cbStNr->currentIndex() < 0) {
        publishStarter();
        return;
    }
    QStringList fields = StarterFields(selectedItem());
    while (fields.size() < 5)
        fields.append(QString());
    m_ui.ePferd->setText(fields[2]);
    m_ui.Reiter->setText(fields[3]);
    m_ui.eVerein->setText(fields[4]);
    m_grid.selectStarterRow(fields[0]);
    {
        // The lists run parallel: the starter's own head number, even where others share it.
        const QSignalBlocker blocker(m_ui.cbKNr);
        const int position = m_ui.cbStNr->currentIndex();
        m_ui.cbKNr->setCurrentIndex(m_ui.cbKNr->itemText(position) == fields[1]
                                        ? position
                                        : m_ui.cbKNr->findText(fields[1], Qt::MatchExactly));
    }
    publishStarter();
    InfoText.clear();
    m_hooks.RefreshAudienceTexts();
}

void StarterList::cbKNrChange()
{
    if (m_busy || m_ui.cbKNr->count() == 0)
        return;
    Busy busy(m_busy);
    // The starter at the position chosen: head numbers may repeat (5, 7, 5). A typed head
    // number selects its first starter, and one not in the list selects none.
    const QString text = m_ui.cbKNr->currentText();
    int index = m_ui.cbKNr->currentIndex();
    if (index < 0 || m_ui.cbKNr->itemText(index) != text)
        index = m_ui.cbKNr->findText(text, Qt::MatchExactly);
    {
        const QSignalBlocker blocker(m_ui.cbStNr);
        m_ui.cbStNr->setCurrentIndex(index);
    }
    updatePosition();
    ShowSelectedStarter();
    scrollCurrentRowToTop();
}

void StarterList::updatePosition()
{
    const int position = m_ui.cbStNr->currentIndex();
    const int count = m_ui.cbStNr->count();
    m_ui.sb1m->setEnabled(position > 0);
    m_ui.sb1p->setEnabled(position < count - 1);
    m_ui.LabelBase->setText(QStringLiteral("%1 %2 %3")
                                .arg(QString::number(position + 1), LanguageText(LanguageLine::Of),
                                     QString::number(count)));
}

void StarterList::scrollCurrentRowToTop()
{
    TSortGrid *grid = m_ui.SortGrid1;
    if (grid->currentIndex().isValid())
        grid->scrollTo(grid->currentIndex(), QAbstractItemView::PositionAtTop);
}

void StarterList::setStarters(const QStringList &items, const QStringList &headNumbers)
{
    {
        Busy busy(m_busy);
        m_startNumbers->setItems(items);
        m_ui.cbStNr->setEditable(items.isEmpty());
        PlainComboStyle::apply(m_ui.cbStNr, items.isEmpty());
        PlainComboStyle::apply(m_ui.cbKNr, headNumbers.isEmpty());
        m_headNumbers->setStringList(headNumbers);
        m_ui.cbStNr->setCurrentIndex(items.isEmpty() ? -1 : 0);
        m_ui.cbKNr->setCurrentIndex(headNumbers.isEmpty() ? -1 : 0);
    }
    watchStartNumberEdit();
    if (items.isEmpty()) {
        m_ui.LabelBase->setText(QStringLiteral("0 %1 0").arg(LanguageText(LanguageLine::Of)));
        m_ui.sb1m->setEnabled(false);
        m_ui.sb1p->setEnabled(false);
    }
    cbStNrChange();
}

bool StarterList::eventFilter(QObject *watched, QEvent *event)
{
    // A plain field has no list to open, by the keyboard or the mouse wheel.
    if ((watched == m_ui.cbStNr || watched == m_ui.cbKNr) &&
        static_cast<QComboBox *>(watched)->count() == 0) {
        if (event->type() == QEvent::Wheel)
            return true;
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) &&
                key->modifiers() & Qt::AltModifier)
                return true;
        }
    }
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_ui.cbStNr || watched == m_ui.cbStNr->lineEdit()) {
        // Start numbers are typed as digits; any other character is dropped.
        const QString text = key->text();
        const bool character = !text.isEmpty() && text.at(0).isPrint();
        return character && !text.at(0).isDigit();
    }
    if (watched == m_ui.cbKNr)
        return false;
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_ui.bTimer->isEnabled()) {
        // Typed the rider, straight on to timing.
        if (!m_ui.bTimer->isHidden())
            m_ui.bTimer->setFocus();
        else
            m_ui.bSTART->setFocus();
    }
    return QObject::eventFilter(watched, event);
}
