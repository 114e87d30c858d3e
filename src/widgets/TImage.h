#pragma once

#include <QLabel>

// A picture that reports a mouse press and carries an integer tag (the photocell images keep
// their armed flag in it).
class TImage : public QLabel
{
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    int m_tag = 0;
};
