// Feeds arbitrary bytes to a timing device's line reader, the first byte choosing the device, the
// rest cut into lines as they come off the port. No line may outgrow the bound, and what is read as
// an impulse must carry a time of the day and a channel; a refused line carries nothing timed.
#include "TimerLine.h"
#include "TimerLineSplitter.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const TimerModel model = TimerModel(data[0] % 3);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    TimerLineSplitter splitter;
    // Two chunks, cut where the data says, as a port delivers them.
    const qsizetype cut = bytes.isEmpty() ? 0 : uchar(bytes[0]) % bytes.size();
    for (const QByteArray &chunk : {bytes.left(cut), bytes.mid(cut)}) {
        for (const TimerLineSplitter::Piece &piece : splitter.feed(chunk)) {
            if (piece.bytes.size() > TimerLineSplitter::MaxLine || piece.bytes.isEmpty())
                std::abort();
            const TimerLine line = parseTimerLine(model, piece.bytes);
            if (line.raw != piece.bytes)
                std::abort();
            if (line.kind == TimerLine::Impulse
                && (line.stamp < 0 || line.stamp >= StampsPerDay
                    || line.channel == TimerLine::NoChannel || stampText(line.stamp).isEmpty()))
                std::abort();
            if ((line.fault != TimerLine::NoFault) != (line.kind == TimerLine::Invalid)
                || (line.kind != TimerLine::Impulse && line.stamp != -1))
                std::abort();
        }
    }
    return 0;
}
