#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's pictures are drawn at run time so the install carries no image files for them.

// Covers the clock panel at start-up and slides away to reveal the digits.
QPixmap revealBanner(int width, int height);

// The 20 x 20 photocell state shown beside the clock.
QPixmap armingIcon(bool armed);

// The maker's mark for the header band; the width follows from the height.
QPixmap makerLogo(int height);

// Header and toolbar glyphs; an unknown name gives a null icon so a typo shows up at once.
QIcon toolIcon(const QString &name);
