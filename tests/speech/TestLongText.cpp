// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpeechRig.h"
#include "speech/EspeakEngine.h"
#include "speech/SentenceSplitter.h"

#include <QSignalSpy>
#include <QtTest>
#include <thread>

using namespace Qt::StringLiterals;

namespace {
// Its first synthesis goes on until it is told to stop (ten seconds at most).
struct StubbornEngine final : SpeechEngine
{
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool& cancel) override
    {
        const bool stubborn = first.exchange(false);
        inStubbornSynthesis = stubborn;
        for (int ms = 0; stubborn && !cancel && ms < 10000; ++ms)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (stubborn)
            abandoned = cancel.load();
        return Pcm::audio(QByteArray(text.size() * 441, '\x10'));
    }
    QStringList voices() const override { return {}; }
    std::atomic_bool first = true;
    std::atomic_bool inStubbornSynthesis = false; // its first synthesis has begun
    std::atomic_bool abandoned = false; // its first synthesis ended because it was told to stop
};
} // namespace

class TestLongText : public QObject
{
    Q_OBJECT

private slots:
    void piecesEndAtSentencesAndRejoin_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxChars");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("short text whole") << u"Ciao. Come stai?"_s << 160 << QStringList { "Ciao. Come stai?" };
        QTest::newRow("last sentence end in reach")
            << u"Uno due. Tre quattro! Cinque sei."_s << 24 << QStringList { "Uno due. Tre quattro! ", "Cinque sei." };
        QTest::newRow("line break") << u"prima riga\nseconda riga"_s << 16
                                    << QStringList { "prima riga\n", "seconda riga" };
        QTest::newRow("else a comma") << u"alfa, beta gamma"_s << 14 << QStringList { "alfa, ", "beta gamma" };
        QTest::newRow("a colon ends a clause, not a sentence")
            << u"Nota: uno, due. tre"_s << 14 << QStringList { "Nota: uno, ", "due. tre" };
        QTest::newRow("ellipsis") << u"Aspetta… poi vediamo"_s << 12 << QStringList { "Aspetta… ", "poi vediamo" };
        QTest::newRow("else the last space") << u"alfa beta gamma"_s << 12 << QStringList { "alfa beta ", "gamma" };
        QTest::newRow("one long word") << QString(10, u'x') << 4 << QStringList { "xxxx", "xxxx", "xx" };
        QTest::newRow("never halves an emoji") << u"a😀b"_s << 2 << QStringList { "a", "😀", "b" };
    }
    void piecesEndAtSentencesAndRejoin()
    {
        QFETCH(QString, text);
        QFETCH(int, maxChars);
        QFETCH(QStringList, pieces);
        QStringList cut;
        for (qsizetype from = 0, end = 0; from < text.size(); from = end) {
            end = SentenceSplitter::pieceEnd(text, from, maxChars);
            QCOMPARE_GT(end, from);
            QCOMPARE_LE(end - from, maxChars);
            cut << text.mid(from, end - from);
        }
        QCOMPARE(cut, pieces);
    }

    // Festival is given one sentence at a time, cut by the same rule as the pieces.
    void sentencesForFestival_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("sentences");
        QTest::newRow("one") << u"Sono le 9 e 5."_s << QStringList { "Sono le 9 e 5." };
        QTest::newRow("marks") << u"Ciao! Come stai? Bene. Ecco…  poi"_s
                               << QStringList { "Ciao!", "Come stai?", "Bene.", "Ecco…", "poi" };
        QTest::newRow("a pause between two") << u"spero di esserti stata utile. . arrivederci"_s
                                             << QStringList { "spero di esserti stata utile.", ".", "arrivederci" };
        QTest::newRow("line breaks") << u"prima\r\n\nseconda\u2029terza"_s
                                     << QStringList { "prima", "seconda", "terza" };
        QTest::newRow("clauses stay together") << u"Nota: uno; due, tre."_s << QStringList { "Nota: uno; due, tre." };
        QTest::newRow("a point inside a number") << u"vale 3.14 circa."_s << QStringList { "vale 3.14 circa." };
        QTest::newRow("only white space") << u" \n  "_s << QStringList {};
    }
    void sentencesForFestival()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, sentences);
        QCOMPARE(SentenceSplitter::sentences(text), sentences);
    }

    void aLongTextIsOneTextInPieces()
    {
        SpeechRig rig;
        QSignalSpy started(&rig.speaker, &Speaker::SpeechStarted);
        QSignalSpy progress(&rig.speaker, &Speaker::SpeechProgress);
        QString text;
        for (int i = 1; i <= 80; ++i)
            text += u"Questa è la frase numero %1 del capitolo. "_s.arg(i);
        const quint64 id = rig.speaker.Speak(text);
        for (int i = 0; i < 100 && progress.isEmpty(); ++i)
            QVERIFY(rig.finishCurrent());
        QCOMPARE_GT(rig.spoken().size(), 3);
        QCOMPARE_LE(rig.spoken().first().size(), Speaker::LongTextFirstPieceChars);
        QCOMPARE(rig.spoken().join(QString()), text);
        QCOMPARE(started.size(), 1);
        QCOMPARE(progress, QList<QVariantList> { { id } });

        // A stop in the middle leaves nothing of it to come.
        rig.engine.clear();
        rig.speaker.Speak(text);
        QTRY_COMPARE(rig.spoken().size(), 2); // the next piece is made while one plays
        rig.speaker.Reset();
        rig.speaker.Speak(u"fine"_s); // the worker takes work in order: a piece still to come would be first
        QTRY_COMPARE(rig.spoken().value(2), u"fine"_s);
        QCOMPARE(rig.spoken().size(), 3);
        QVERIFY(rig.finishCurrent());
        QCOMPARE(rig.speaker.SpeakingState(), Speaker::Idle);
    }

    void stopAbandonsASynthesisUnderWay()
    {
        StubbornEngine engine;
        FakeAudioOutput output;
        Speaker speaker(engine, output);
        speaker.Speak(u"un testo che non finisce mai"_s);
        QTRY_VERIFY(engine.inStubbornSynthesis.load()); // the stop must find it under way
        speaker.Reset();
        speaker.Speak(u"subito"_s);
        QTRY_VERIFY(engine.abandoned.load()); // it would go on for ten seconds
        QTRY_VERIFY(output.playing());
        QCOMPARE(output.clips.size(), 1);
        QCOMPARE(output.clips.last().samples.size(), 6 * 441); // "subito"
    }

    // With the real engine: each is spoken or skipped, never a crash or a hang, and the next text
    // is still spoken.
    void awkwardTextsDoNotStopTheVoice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("emoji") << u"Ciao 😀🎉👍🏽 a tutti"_s;
        QTest::newRow("control characters") << u"uno\u0001\u0007\u001b[0m\u0000due\ttre\r\n"_s;
        QTest::newRow("one word of 100 000 letters") << QString(100000, u'a');
        QTest::newRow("only spaces") << QString(500, u' ');
        QTest::newRow("only punctuation") << u"?!... ;;; ,,, --- !!!"_s;
        QTest::newRow("right-to-left mixed") << u"Ciao שלום عالم amici"_s;
        QTest::newRow("a number of 100 000 digits") << QString(100000, u'7');
        QTest::newRow("10 000 dots") << QString(10000, u'.');
        QTest::newRow("nested brackets") << QString(5000, u'(') + u"ciao"_s + QString(5000, u')');
        QTest::newRow("mixed scripts") << u"Ελλάδα 東京 مرحبا Привет 😀 grazie "_s.repeated(300);
    }
    void awkwardTextsDoNotStopTheVoice()
    {
        QFETCH(QString, text);
        FakeAudioOutput output;
        Speaker speaker(m_espeak, output);
        QSignalSpy progress(&speaker, &Speaker::SpeechProgress);
        speaker.Speak(text);
        // Either is right: spoken (playing) or skipped (reported at once).
        QTRY_VERIFY2_WITH_TIMEOUT(output.playing() || !progress.isEmpty(),
            qPrintable(u"playing: %1, reports: %2"_s.arg(output.playing() ? u"yes"_s : u"no"_s).arg(progress.size())),
            10000);
        speaker.Reset();
        speaker.Speak(u"ciao"_s);
        QTRY_VERIFY_WITH_TIMEOUT(output.playing(), 10000);
    }

private:
    EspeakEngine m_espeak;
};

QTEST_GUILESS_MAIN(TestLongText)
#include "TestLongText.moc"
