// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Controls.h"
#include "core/SvgPicture.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    // 15 twips to a logical pixel, each edge rounded to the nearest pixel on its own.
    void placesInTwips_data()
    {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("whole pixels") << QRect(120, 2460, 1440, 390) << QRect(8, 164, 96, 26);
        QTest::newRow("under half a pixel, down") << QRect(1882, 3367, 1567, 255) << QRect(125, 224, 104, 17);
        QTest::newRow("over half a pixel, up") << QRect(968, 1043, 3263, 1943) << QRect(65, 70, 218, 130);
        QTest::newRow("left of the parent") << QRect(-360, -8, 840, 8) << QRect(-24, -1, 56, 1);
    }
    void placesInTwips()
    {
        QFETCH(QRect, twips);
        QFETCH(QRect, pixels);
        QWidget window;

        QWidget* control = Controls::make<QPushButton>(
            &window, { .caption = u"&OK"_s, .twips = { twips.x(), twips.y(), twips.width(), twips.height() } });
        QCOMPARE(control->geometry(), pixels);
    }

    // A corner alone: the control is as large as its content asks (a link's address); no place at
    // all: it stays where Qt puts a new control, for its window to place.
    void placesAtACornerOrNowhere()
    {
        QWidget window;
        auto* link = Controls::make<QLabel>(
            &window, { .caption = u"https://vespelinda.org/"_s, .twips = Controls::Place::corner(180, 2460) });
        auto* unplaced = Controls::make<QLabel>(&window, { .caption = u"https://vespelinda.org/"_s });
        const QRect asNew = QLabel(&window).geometry();

        QCOMPARE(link->pos(), QPoint(12, 164));
        QCOMPARE(link->size(), link->sizeHint());
        QCOMPARE(unplaced->geometry(), asNew);
    }

    // A text box is named after its label, which takes the focus to it with its mnemonic; a name
    // given as well is the one heard.
    void aTextBoxIsNamedByItsLabel_data()
    {
        QTest::addColumn<QString>("labelCaption");
        QTest::addColumn<QString>("accessibleName");
        QTest::addColumn<QString>("heard");
        QTest::newRow("the label's words") << u"&Telefono:"_s << QString() << u"Telefono"_s;
        QTest::newRow("leader dots dropped") << u"Secondi di inattività (Min 15 - Max 60)......"_s << QString()
                                             << u"Secondi di inattività (Min 15 - Max 60)"_s;
        QTest::newRow("a name of its own") << u"Nome "_s << u"Nome da cercare"_s << u"Nome da cercare"_s;
    }
    void aTextBoxIsNamedByItsLabel()
    {
        QFETCH(QString, labelCaption);
        QFETCH(QString, accessibleName);
        QFETCH(QString, heard);
        QWidget window;
        auto* label = Controls::make<QLabel>(&window, { .caption = labelCaption });

        auto* field = Controls::make<QLineEdit>(
            &window, { .name = u"txtRtel", .label = label, .accessibleName = accessibleName });
        QCOMPARE(field->accessibleName(), heard);
        QCOMPARE(label->buddy(), field);
    }

    // A picture keeps the fractions of a pixel its artwork is drawn to, covers the whole pixels
    // around them and is a graphic to a screen reader.
    void aPictureKeepsItsExactPlace_data()
    {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QRectF>("exact");
        QTest::addColumn<QRect>("covered");
        QTest::newRow("whole pixels") << QRect(360, 360, 480, 480) << QRectF(24, 24, 32, 32) << QRect(24, 24, 32, 32);
        QTest::newRow("a fraction") << QRect(1960, 540, 1170, 750) << QRectF(1960 / 15.0, 36, 78, 50)
                                    << QRect(130, 36, 79, 50);
        QTest::newRow("left of the parent")
            << QRect(-360, 1560, 840, 1890) << QRectF(-24, 104, 56, 126) << QRect(-24, 104, 56, 126);
    }
    void aPictureKeepsItsExactPlace()
    {
        QFETCH(QRect, twips);
        QFETCH(QRectF, exact);
        QFETCH(QRect, covered);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"rubrica.svg"_s);
        QFile svg(file);
        QVERIFY(svg.open(QIODevice::WriteOnly));
        svg.write(
            "<svg xmlns='http://www.w3.org/2000/svg' width='32' height='32'><rect width='32' height='32'/></svg>");
        svg.close();
        QWidget window;

        SvgPicture* picture = Controls::picture(&window, file,
            { .name = u"Image6",
                .accessibleName = u"Immagine della rubrica"_s,
                .twips = { twips.x(), twips.y(), twips.width(), twips.height() } });
        QCOMPARE(picture->exactGeometry(), exact);
        QCOMPARE(picture->geometry(), covered);
        QVERIFY(picture->isLoaded());
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(picture);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Graphic);
        QCOMPARE(accessible->text(QAccessible::Name), u"Immagine della rubrica"_s);
    }
};

QTEST_MAIN(TestControls)
#include "TestControls.moc"
