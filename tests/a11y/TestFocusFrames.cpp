// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "agenda/TimelineLetter.h"
#include "core/Accessibility.h"
#include "mainwindow/PageStrip.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
const QDate Today(2026, 12, 5);

// How much of the window around a control is looked at: a frame may lie along the control's edge.
constexpr int Margin = 4;
// The deepest a frame goes: what the focus changes further in is what the frame encloses.
constexpr int FrameDepth = 4;
// Left out at each end of a side: a frame may round its corners.
constexpr int Corner = 3;

// One side of a focus frame, at its worst place: the frame's contrast with what lies just inside
// it and with what lies just outside it, each the better of the frame's lines there (a two-tone
// frame shows one or the other). Nothing lies outside a frame along the window's edge.
struct Side
{
    int unframed = 0; // places where the focus changes nothing
    double inside = 21;
    double outside = 21;
    QPoint worstInside, worstOutside;
};

// The frame across one side (0 left, 1 top, 2 right, 3 bottom) of `control`, from the outside
// inward, at every place along the side: the focus changes the frame's pixels.
Side cross(const QImage& unfocused, const QImage& focused, const QRect& control, int side)
{
    const QPoint inward[] = { { 1, 0 }, { 0, 1 }, { -1, 0 }, { 0, -1 } };
    const QPoint along = side % 2 ? QPoint(1, 0) : QPoint(0, 1);
    const QPoint start[] = { { 0, control.top() }, { control.left(), 0 }, { focused.width() - 1, control.top() },
        { control.left(), focused.height() - 1 } };
    const int length = side % 2 ? control.width() : control.height();
    const int depth = QPoint::dotProduct(control.center() - start[side], inward[side]);
    Side result;
    for (int place = Corner; place < length - Corner; ++place) {
        const QPoint from = start[side] + along * place;
        const auto at = [&](int step) {
            return from + inward[side] * step;
        };
        const auto changed = [&](int step) {
            return unfocused.pixel(at(step)) != focused.pixel(at(step));
        };
        int outer = 0;
        while (outer <= depth && !changed(outer))
            ++outer;
        if (outer > depth) {
            ++result.unframed;
            continue;
        }
        int inner = outer; // just inside the frame
        while (inner < outer + FrameDepth && inner < depth && changed(inner))
            ++inner;
        const auto best = [&](const QColor& beside) {
            double most = 1;
            for (int step = outer; step < inner; ++step)
                most = std::max(most, Accessibility::contrast(focused.pixelColor(at(step)), beside));
            return most;
        };
        if (const double inside = best(focused.pixelColor(at(inner))); inside < result.inside) {
            result.inside = inside;
            result.worstInside = at(inner);
        }
        if (outer == 0)
            continue;
        if (const double outside = best(focused.pixelColor(at(outer - 1))); outside < result.outside) {
            result.outside = outside;
            result.worstOutside = at(outer - 1);
        }
    }
    return result;
}

QString where(const QPoint& point) { return u"(%1, %2)"_s.arg(point.x()).arg(point.y()); }
} // namespace

class TestFocusFrames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void contrastOfTwoColours_data()
    {
        QTest::addColumn<QColor>("one");
        QTest::addColumn<QColor>("other");
        QTest::addColumn<int>("hundredths");
        QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 2100;
        QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black) << 2100;
        QTest::newRow("the same colour") << QColor(0, 255, 0) << QColor(0, 255, 0) << 100;
        QTest::newRow("black on a lit letter") << QColor(Qt::black) << QColor(0, 255, 0) << 1530;
        QTest::newRow("white on a lit letter") << QColor(Qt::white) << QColor(0, 255, 0) << 137;
        QTest::newRow("the darkest grey text on white") << QColor(0x76, 0x76, 0x76) << QColor(Qt::white) << 454;
        QTest::newRow("blue on black") << QColor(Qt::blue) << QColor(Qt::black) << 244;
    }
    void contrastOfTwoColours()
    {
        QFETCH(QColor, one);
        QFETCH(QColor, other);
        QFETCH(int, hundredths);
        QCOMPARE(qRound(Accessibility::contrast(one, other) * 100), hundredths);
    }

    void blackOrWhiteStandsOut_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("line");
        QTest::newRow("a lit letter") << QColor(0, 255, 0) << QColor(Qt::black);
        QTest::newRow("an unlit letter") << QColor(Qt::white) << QColor(Qt::black);
        QTest::newRow("blue") << QColor(Qt::blue) << QColor(Qt::white);
        QTest::newRow("black") << QColor(Qt::black) << QColor(Qt::white);
        QTest::newRow("middle grey, a little darker") << QColor(0x75, 0x75, 0x75) << QColor(Qt::white);
        QTest::newRow("middle grey, a little lighter") << QColor(0x76, 0x76, 0x76) << QColor(Qt::black);
    }
    void blackOrWhiteStandsOut()
    {
        QFETCH(QColor, background);
        QFETCH(QColor, line);
        QCOMPARE(Accessibility::contrasting(background), line);
        QVERIFY(Accessibility::contrast(background, line) > 4.58);
    }

    // Every control the program draws a focus frame on, in each of its looks, in its own window:
    // the frame stands out at least 3:1 against what it encloses and against what lies around it,
    // all the way round.
    void frameStandsOutOnBothSides_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("lit"); // for a timeline letter
        QTest::newRow("appointment letter, lit") << u"frmArriv"_s << u"appu10"_s << true;
        QTest::newRow("appointment letter, unlit") << u"frmArriv"_s << u"appu11"_s << false;
        QTest::newRow("reminder letter, lit") << u"frmArriv"_s << u"prom16"_s << true;
        QTest::newRow("reminder letter, unlit") << u"frmArriv"_s << u"prom17"_s << false;
        QTest::newRow("the face") << u"frmArriv"_s << u"Image1"_s << false;
        QTest::newRow("web address") << u"frmAbout"_s << u"Label1"_s << false;
        QTest::newRow("mail address") << u"frmAbout"_s << u"Label2"_s << false;
    }
    void frameStandsOutOnBothSides()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(bool, lit);
        MainWindowRig rig({ .load = false }, QDateTime(Today, QTime(8, 0, 30)));
        QVERIFY(rig.file.addAppointment(Today, QTime(10, 15), u"dentista"_s));
        QVERIFY(rig.file.addReminder(QTime(16, 0), u"medicina"_s));
        QVERIFY(rig.start());
        rig.window->show();
        rig.window->pages().showPage(PageStrip::Agenda);
        rig.window->heartbeat().tick();
        if (window == u"frmAbout")
            QMetaObject::invokeMethod(rig.action("mnuInfo"), "trigger");
        QWidget* shown = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == window && top->isVisible())
                shown = top;
        QVERIFY(shown);
        auto* widget = shown->findChild<QWidget*>(control);
        QVERIFY(widget);
        if (auto* letter = qobject_cast<TimelineLetter*>(widget))
            QCOMPARE(letter->isLit(), lit);

        shown->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), shown);
        shown->setAttribute(Qt::WA_KeyboardFocusChange); // as once Tab has moved the focus
        const QRect area = QRect(widget->mapTo(shown, QPoint(0, 0)), widget->size())
                               .adjusted(-Margin, -Margin, Margin, Margin)
                               .intersected(shown->rect());
        const auto look = [&] {
            return shown->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
        };
        // A label lays its text out anew the first time it has the focus: the pictures compared
        // are both of after that.
        widget->setFocus(Qt::TabFocusReason);
        widget->clearFocus();
        const QImage unfocused = look();
        widget->setFocus(Qt::TabFocusReason);
        QVERIFY(widget->hasFocus());
        const QImage focused = look();

        const QRect inLook(widget->mapTo(shown, QPoint(0, 0)) - area.topLeft(), widget->size());
        const char* names[] = { "left", "top", "right", "bottom" };
        for (int side = 0; side < 4; ++side) {
            const Side frame = cross(unfocused, focused, inLook, side);
            QVERIFY2(
                frame.unframed == 0, qPrintable(u"%1: no frame at %2 places"_s.arg(names[side]).arg(frame.unframed)));
            QVERIFY2(frame.inside >= 3,
                qPrintable(u"%1: %2:1 against the inside at %3"_s.arg(names[side])
                               .arg(frame.inside, 0, 'f', 2)
                               .arg(where(frame.worstInside))));
            QVERIFY2(frame.outside >= 3,
                qPrintable(u"%1: %2:1 against the outside at %3"_s.arg(names[side])
                               .arg(frame.outside, 0, 'f', 2)
                               .arg(where(frame.worstOutside))));
        }
    }
};

QTEST_MAIN(TestFocusFrames)
#include "TestFocusFrames.moc"
