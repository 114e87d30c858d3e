#pragma once

#include <QtGlobal>

// What the run control and the clock call in the scoring and the audience display. The
// program installs the real ones; until a part is present its hook does nothing.
class RunHooks
{
public:
    virtual ~RunHooks() = default;
    // Recompute the running total; called at the end of START.
    virtual void UpdateRunTotal() {}
    // Rewrite the time faults for a shown time beyond the allowed time.
    virtual void UpdateTimeFaults(qint32 elapsedMs) { Q_UNUSED(elapsedMs) }
    // Bring the audience window's texts up to date.
    virtual void RefreshAudienceTexts() {}
};
