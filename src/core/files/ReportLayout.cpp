#include "ReportLayout.h"

#include "HtmlReport.h"

#include <algorithm>
#include <numeric>

std::optional<std::array<int, 9>> reportColumnWidths(const std::array<int, 9> &natural,
                                                     const std::array<int, 9> &least, int pageWidth)
{
    // The left-aligned columns hold names; the right-aligned ones numbers and times.
    int numbers = 0, names = 0, leastNames = 0, widestName = 0;
    for (size_t i = 0; i < 9; ++i) {
        if (ReportColumns[i].right) {
            numbers += natural[i];
        } else {
            names += natural[i];
            leastNames += std::min(least[i], natural[i]);
            widestName = std::max(widestName, natural[i]);
        }
    }
    const int room = pageWidth - numbers;
    if (leastNames > room)
        return std::nullopt;

    std::array<int, 9> widths = natural;
    if (names <= room) {
        const int total = std::max(1, numbers + names);
        for (int &w : widths)
            w = int(qint64(w) * pageWidth / total);
        return widths;
    }

    // The largest cap on the name columns' widths that still fits the room.
    auto nameWidth = [&](size_t i, int cap) {
        return std::max(std::min(least[i], natural[i]), std::min(natural[i], cap));
    };
    auto shared = [&](int cap) {
        int sum = 0;
        for (size_t i = 0; i < 9; ++i)
            if (!ReportColumns[i].right)
                sum += nameWidth(i, cap);
        return sum;
    };
    int low = 0, high = widestName;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (shared(mid) <= room)
            low = mid;
        else
            high = mid - 1;
    }
    int spare = room - shared(low);
    for (size_t i = 0; i < 9; ++i) {
        if (ReportColumns[i].right)
            continue;
        widths[i] = nameWidth(i, low);
        // Fewer pixels are left over than columns stand at the cap.
        if (spare > 0 && widths[i] < natural[i] && widths[i] == low) {
            ++widths[i];
            --spare;
        }
    }
    return widths;
}
