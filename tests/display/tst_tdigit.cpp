#include "TDigit.h"

#include <QImage>
#include <QSignalSpy>
#include <QtTest>

namespace {
// Probe points inside each segment of a 76 x 150 digit with thickness 9 and separation 1,
// in bit order, chosen away from the outlines.
const QPoint kSegmentCentres[8] = {{37, 9},  {37, 74}, {37, 140}, {9, 41},
                                   {66, 41}, {9, 106}, {66, 106}, {70, 144}};
const QColor kBackground(0, 0, 128);
const QColor kOff(64, 0, 0);
const QColor kOn(255, 255, 0);
} // namespace

class TstTDigit : public QObject
{
    Q_OBJECT

private slots:
    void value_data()
    {
        QTest::addColumn<QList<int>>("inputs");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("binary");
        QTest::addColumn<int>("overflows");
        QTest::newRow("0") << QList<int>{0} << 0 << 125 << 0;
        QTest::newRow("7") << QList<int>{7} << 7 << 81 << 0;
        QTest::newRow("10") << QList<int>{10} << 0 << 125 << 1;
        QTest::newRow("-1") << QList<int>{-1} << 0 << 125 << 1;
        QTest::newRow("7 then 10") << QList<int>{7, 10} << 0 << 125 << 1;
        QTest::newRow("10 then 7") << QList<int>{10, 7} << 7 << 81 << 1;
    }

    void value()
    {
        QFETCH(QList<int>, inputs);
        TDigit digit;
        QSignalSpy spy(&digit, &TDigit::OnOverflow);
        for (int input : inputs)
            digit.setValue(input);
        QTEST(digit.value(), "value");
        QTEST(int(digit.valueBinary()), "binary");
        QTEST(int(spy.count()), "overflows");
        if (!spy.isEmpty())
            QCOMPARE(spy.first().at(0).value<TDigit *>(), &digit);
    }

    void painting_data()
    {
        QTest::addColumn<bool>("point");
        QTest::newRow("value 8") << false;
        QTest::newRow("4 and the point") << true;
    }

    void painting()
    {
        QFETCH(bool, point);
        TDigit digit;
        digit.resize(76, 150);
        digit.setThickness(9);
        digit.setSeparation(1);
        digit.setColor(fromQColor(kBackground));
        digit.setColorOff(fromQColor(kOff));
        digit.setColorOn(fromQColor(kOn));
        point ? digit.setValueBinary(128 | 90) : digit.setValue(8);
        const int lit = point ? 128 | 90 : 127;
        // Magenta shows any pixel the opaque control left unpainted.
        QImage image(digit.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        digit.render(&image);
        for (int bit = 0; bit < 8; ++bit)
            QCOMPARE(image.pixelColor(kSegmentCentres[bit]), lit & (1 << bit) ? kOn : kOff);
        for (const QPoint &p : {QPoint(2, 2), QPoint(73, 2), QPoint(1, 74), QPoint(2, 147)})
            QCOMPARE(image.pixelColor(p), kBackground);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY(image.pixelColor(x, y) != QColor(Qt::magenta));
    }
};

QTEST_MAIN(TstTDigit)
#include "tst_tdigit.moc"
