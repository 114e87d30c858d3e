#pragma once

#include "TColor.h"
#include "TOwnerDrawComboBox.h"

// A colour picker list: the 16 standard colours, then the user's own colour as the last item.
// Only the colours are drawn, no names.
class TColorBox : public TOwnerDrawComboBox
{
    Q_OBJECT
public:
    static const TColor StandardColors[16];

    explicit TColorBox(QWidget *parent = nullptr);

    // The colour of the chosen item.
    TColor color() const;
    // Chooses the standard colour, or makes any other the user colour and chooses that.
    void setColor(TColor color);
    TColor userColor() const { return m_userColor; }
    void setUserColor(TColor color);
    bool userColorChosen() const { return currentIndex() == count() - 1; }

private:
    TColor m_userColor = Colors::clBlack;
};
