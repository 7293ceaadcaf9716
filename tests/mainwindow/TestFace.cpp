// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "mainwindow/AppIcon.h"
#include "mainwindow/SvgPicture.h"

#include <QLabel>
#include <QSvgRenderer>
#include <QtTest>

class TestFace : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void picturesSitWhereTheLayoutPutsThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRectF>("twipsRect");
        QTest::addColumn<bool>("hiddenAtStart");
        QTest::newRow("face") << "Image1" << QRectF(240, 0, 2985, 2250) << false;
        QTest::newRow("side, right") << "Image2" << QRectF(2760, 1920, 840, 1890) << false;
        QTest::newRow("side, left") << "Image3" << QRectF(-360, 1560, 840, 1890) << false;
        QTest::newRow("closed eye, right") << "Image4" << QRectF(1960, 540, 1170, 750) << true;
        QTest::newRow("closed eye, left") << "Image5" << QRectF(240, 480, 975, 660) << true;
    }

    void picturesSitWhereTheLayoutPutsThem()
    {
        QFETCH(QString, name);
        QFETCH(QRectF, twipsRect);
        QFETCH(bool, hiddenAtStart);
        MainWindowRig rig;
        QVERIFY(rig.start());
        auto* picture = rig.window->findChild<SvgPicture*>(name);
        QVERIFY(picture);
        QVERIFY(picture->isLoaded());
        const QRectF exact(twipsRect.x() / 15, twipsRect.y() / 15, twipsRect.width() / 15, twipsRect.height() / 15);
        QCOMPARE(picture->exactGeometry(), exact);
        QCOMPARE(picture->geometry(), exact.toAlignedRect());
        QCOMPARE(picture->isHidden(), hiddenAtStart);
        QVERIFY(!picture->accessibleName().isEmpty());
    }

    void eyeHotSpotsAreTransparentLabels()
    {
        MainWindowRig rig;
        QVERIFY(rig.start());
        const auto* label1 = rig.child<QLabel>("Label1");
        const auto* label2 = rig.child<QLabel>("Label2");
        for (const QLabel* label : { label1, label2 }) {
            QVERIFY(label->text().isEmpty());
            QVERIFY(!label->autoFillBackground());
            QVERIFY(label->accessibleName().startsWith(QStringLiteral("Occhio")));
            QVERIFY(label->isVisible());
        }
        // Over the closed-eye overlays, so that a sleeping face's eyes can be clicked too.
        const QObjectList children = rig.window->children();
        QVERIFY(children.indexOf(label1) > children.indexOf(rig.widget("Image5")));
        QVERIFY(children.indexOf(label2) > children.indexOf(rig.widget("Image4")));
    }

    void theIconReadsAtTaskBarSizes()
    {
        QVERIFY(QSvgRenderer(QStringLiteral(":/rubrica.svg")).isValid());
        const QIcon icon = appIcon();
        QVERIFY(!icon.isNull());
        for (const int size : { 16, 22, 32, 48 }) {
            const QImage image = icon.pixmap(size, size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // Something is drawn: at least a third of the square is not transparent.
            int opaque = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(opaque > size * size / 3, qPrintable(QString::number(size)));
        }
        MainWindowRig rig;
        QVERIFY(rig.start());
        QVERIFY(!rig.window->windowIcon().isNull());
        QVERIFY(rig.tray.hasIcon);
    }
};

QTEST_MAIN(TestFace)
#include "TestFace.moc"
