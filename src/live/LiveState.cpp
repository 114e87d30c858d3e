#include "LiveState.h"

#include <utility>

bool LiveSnapshot::Competition::operator==(const Competition &o) const
{
    return title1 == o.title1 && title2 == o.title2 && procedure == o.procedure &&
           allowedSeconds == o.allowedSeconds && timeFaultInterval == o.timeFaultInterval &&
           timeFaultPoints == o.timeFaultPoints && decimals == o.decimals;
}

bool LiveSnapshot::Starter::operator==(const Starter &o) const
{
    return startNumber == o.startNumber && headNumber == o.headNumber && horse == o.horse &&
           rider == o.rider && club == o.club && position == o.position && items == o.items &&
           headNumbers == o.headNumbers;
}

bool LiveSnapshot::Scoring::operator==(const Scoring &o) const
{
    return faults == o.faults && penaltySeconds == o.penaltySeconds && timeFaults == o.timeFaults &&
           total == o.total;
}

bool LiveSnapshot::Result::operator==(const Result &o) const
{
    return row == o.row && rank == o.rank && text == o.text;
}

LiveState::LiveState(QObject *parent)
    : QObject(parent), m_published(std::make_shared<const LiveSnapshot>())
{}

LiveState::~LiveState() = default;

std::shared_ptr<const LiveSnapshot> LiveState::snapshot() const
{
    const std::lock_guard lock(m_mutex);
    return m_published;
}

void LiveState::setCompetition(const LiveSnapshot::Competition &competition)
{
    if (m_work.competition == competition)
        return;
    m_work.competition = competition;
    changed(CompetitionPart);
}

void LiveState::setTitles(const QString &title1, const QString &title2)
{
    LiveSnapshot::Competition c = m_work.competition;
    c.title1 = title1;
    c.title2 = title2;
    setCompetition(c);
}

void LiveState::setProcedure(JudgingProcedure procedure)
{
    LiveSnapshot::Competition c = m_work.competition;
    c.procedure = procedure;
    setCompetition(c);
}

void LiveState::setStarter(const LiveSnapshot::Starter &starter)
{
    if (m_work.starter == starter)
        return;
    m_work.starter = starter;
    changed(StarterPart);
}

void LiveState::setStarterTexts(const QString &horse, const QString &rider, const QString &club)
{
    LiveSnapshot::Starter s = m_work.starter;
    s.horse = horse;
    s.rider = rider;
    s.club = club;
    setStarter(s);
}

void LiveState::setRun(const LiveRun &run)
{
    if (m_work.run == run)
        return;
    m_work.run = run;
    changed(RunPart);
}

void LiveState::setScoring(const LiveSnapshot::Scoring &scoring)
{
    if (m_work.scoring == scoring)
        return;
    m_work.scoring = scoring;
    changed(RunPart);
}

void LiveState::setInfo(const QString &info)
{
    if (m_work.info == info)
        return;
    m_work.info = info;
    changed(RunPart);
}

void LiveState::setCellsArmed(bool start, bool finish)
{
    if (m_work.startCellArmed == start && m_work.finishCellArmed == finish)
        return;
    m_work.startCellArmed = start;
    m_work.finishCellArmed = finish;
    changed(RunPart);
}

void LiveState::setResult(const LiveSnapshot::Result &result)
{
    if (m_work.result == result)
        return;
    m_work.result = result;
    changed(ResultsPart);
}

void LiveState::enterResult(const LiveSnapshot::Result &result)
{
    m_work.result = result;
    ++m_work.entries;
    changed(ResultsPart);
}

void LiveState::setProtocol(const QList<QStringList> &rows)
{
    // Shared, not copied: the grid's next change detaches its own rows.
    if (m_work.protocol == rows)
        return;
    m_work.protocol = rows;
    ++m_work.protocolRevision;
    changed(ResultsPart);
}

void LiveState::setProtocolSource(std::function<QList<QStringList>()> source)
{
    m_protocolSource = std::move(source);
    protocolChanged();
}

void LiveState::protocolChanged()
{
    if (!m_protocolSource)
        return;
    if (m_batchDepth > 0) {
        m_protocolStale = true;
        return;
    }
    setProtocol(m_protocolSource());
}

void LiveState::changed(Part part)
{
    m_pending |= part;
    if (m_batchDepth == 0)
        publish();
}

void LiveState::publish()
{
    const unsigned parts = std::exchange(m_pending, 0u);
    if (!parts)
        return;
    auto next = std::make_shared<const LiveSnapshot>(m_work);
    {
        const std::lock_guard lock(m_mutex);
        m_published.swap(next);
    }
    // The former snapshot is released here, outside the lock, if no reader keeps it.
    next.reset();
    if (parts & CompetitionPart)
        emit titlesChanged();
    if (parts & StarterPart)
        emit starterChanged();
    if (parts & RunPart)
        emit runChanged();
    if (parts & ResultsPart)
        emit resultsChanged();
}

LiveState::Batch::Batch(LiveState &state) : m_state(state)
{
    ++m_state.m_batchDepth;
}

LiveState::Batch::~Batch()
{
    if (--m_state.m_batchDepth > 0)
        return;
    if (std::exchange(m_state.m_protocolStale, false))
        m_state.protocolChanged();
    m_state.publish();
}
