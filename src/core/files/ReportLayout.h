#pragma once

#include <array>
#include <optional>

// The widths, in device pixels, of the printout's nine columns (in the order of ReportColumns).
// natural: each column's widest text, heading included, with its padding. least: how narrow a
// name column may become by wrapping its text. Number columns keep their natural width, so a
// time, rank or heading is never cut; the name columns share what is left, the widest giving way
// first. A table narrower than the page widens in proportion to fill it. Empty when even the
// least widths do not fit: then the font has to become smaller.
std::optional<std::array<int, 9>> reportColumnWidths(const std::array<int, 9> &natural,
                                                     const std::array<int, 9> &least,
                                                     int pageWidth);
