#pragma once

// "rittmeter --selftest": checks an installed program without touching the user's settings or
// kept protocol. It lists the data files it finds, times a short run through the real window's
// commands and enters it, and says whether Qt's dialogs speak German. 0 when all is well.
int runSelfTest();
