#include "ShowArenas.h"

#include <chrono>

qint64 showClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
