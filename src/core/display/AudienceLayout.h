#pragma once

#include <QRect>
#include <QSize>

// The main window's digit block, as the audience window scales it.
struct MainClockGeometry
{
    QSize panelTimer; // the digit panel
    QRect digits[5];  // Digit4 .. Digit8, within the panel
    int thickness[5] = {};
    QRect labSec; // the decimal comma
    int labSecPointSize = 0;
};

// Where everything of the audience window goes, for a client area of the given size.
struct AudienceLayout
{
    int lineHeight = 0;    // H: each text line, a twelfth of the client height
    int fontPointSize = 0; // of all text panels
    int innerBorder = 0;   // of the bottom line
    double scale = 1.0;    // main-window pixels to audience pixels in the digit area
    QRect textPanels[5];   // title 1, title 2, head number and horse, start number and rider, club
    QRect digitArea;       // Panel1
    QRect bottomLine;      // PanelDate
    QRect panelTimer;      // within the digit area
    QRect digits[5];       // within the digit panel
    int thickness[5] = {};
    QRect labSec;
    int labSecPointSize = 0;
};

// Rounded values round to the nearest integer, ties to even; divisions of integers truncate.
AudienceLayout layoutAudience(QSize client, const MainClockGeometry &main);
