#pragma once

#include "ProtocolRow.h"
#include "TextProtocol.h"

#include <QStringList>
#include <functional>

class ProtocolGrid;
class QLabel;
class QWidget;
class ResultsProtocol;
class StarterList;
class TFormMainUi;

// What the kept session writes through when it brings a session back, and where it speaks: the
// window's controllers do the writing, so the live state follows as after the operator's input.
struct SessionControls
{
    QWidget *window = nullptr;     // its questions and messages open over this
    QLabel *statusPanel = nullptr; // the status bar's wide panel
    // The protocol, headings first; its rows take the protocol's columns.
    std::function<void(const ProtocolRows &rows)> setProtocol;
    std::function<void(JudgingProcedure procedure)> setProcedure;
    // The starter lists loaded, the first starter chosen; empty lists leave plain fields.
    std::function<void(const QStringList &items, const QStringList &headNumbers)> setStarters;
    // The starter at position in the list.
    std::function<void(int position)> chooseStarter;
    // The boxes' texts, without a list.
    std::function<void(const QString &startNumber, const QString &headNumber)> typeStartNumber;
    std::function<void(const QString &horse, const QString &rider, const QString &club)>
        typeStarter;
    std::function<void()> updateProtocolButtons;
};

// The main window's controls and controllers.
SessionControls windowSessionControls(TFormMainUi &ui, ProtocolGrid &grid, StarterList &starters,
                                      ResultsProtocol &protocol);
