#pragma once

#include <QObject>
#include <QStringList>

class LiveState;
class ProtocolGrid;
class QStringListModel;
class RunHooks;
class StarterItemModel;
class TFormMainUi;

// Choosing the rider who rides next from the loaded starter list: the start-number and
// head-number boxes, the step buttons and the position text. The starter as the fields show it,
// chosen or typed, is the live state's.
class StarterList : public QObject
{
    Q_OBJECT
public:
    StarterList(TFormMainUi &ui, LiveState &live, ProtocolGrid &grid, RunHooks &hooks,
                QObject *parent = nullptr);

    void cbStNrChange();
    void sb1mClick(int step);
    void ShowSelectedStarter();
    void cbKNrChange();

    // Loads the lists: one item per starter (its fields, start number first) and the head
    // numbers. With starters the start-number box becomes a list showing start numbers only and
    // the head-number box an editable list, both at the first starter; without, plain fields.
    void setStarters(const QStringList &items, const QStringList &headNumbers);
    // The lists as loaded.
    QStringList items() const;
    QStringList headNumbers() const;
    // The whole item of the selected starter; empty when none is selected.
    QString selectedItem() const;
    // "3 von 25": the selected starter's place and the number of starters.
    void updatePosition();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scrollCurrentRowToTop();
    void publishStarter();
    void watchStartNumberEdit();

    TFormMainUi &m_ui;
    LiveState &m_live;
    ProtocolGrid &m_grid;
    RunHooks &m_hooks;
    StarterItemModel *m_startNumbers = nullptr;
    QStringListModel *m_headNumbers = nullptr;
    // The boxes select each other; their change signals must not run the handlers again.
    bool m_busy = false;
};
