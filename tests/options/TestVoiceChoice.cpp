// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeAudioOutput.h"
#include "options/VoiceSettingsDialog.h"
#include "speech/FestivalEngine.h"
#include "speech/Speaker.h"
#include "speech/VoiceEngine.h"

#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// An engine that records who asked it what, with which voice, and gives 10 ms of audio a letter.
class FakeTunableEngine final : public TunableEngine
{
public:
    struct Said
    {
        QString text, voice;
        int rate, pitch;
    };
    FakeTunableEngine(const QString& name, int sampleRate, const QStringList& voices)
        : m_name(name)
        , m_rate(sampleRate)
        , m_voices(voices)
    {
    }
    using SpeechEngine::synthesize;
    Pcm synthesize(const QString& text, const std::atomic_bool&) override
    {
        QMutexLocker lock(&m_mutex);
        m_said.append({ text, m_tuned.voice, m_tuned.rate, m_tuned.pitch });
        m_threads << QThread::currentThread();
        Pcm pcm;
        pcm.sampleRate = m_rate;
        if (dropping.isEmpty() || !text.contains(dropping))
            for (qsizetype i = 0; i < text.size() * m_rate / 100; ++i)
                pcm.samples.append("\xe8\x03", 2); // 1000
        return pcm;
    }
    QStringList voices() const override { return m_voices; }
    bool start() override { return record(works); }
    QString failure() const override { return u"no data"_s; }
    QString engineName() const override { return m_name; }
    QList<VoiceInfo> installedVoices() override
    {
        record(true);
        QList<VoiceInfo> list;
        for (const QString& voice : m_voices)
            list.append({ voice, voice + u" (prova)"_s });
        return list;
    }
    void tune(const QString& voice, int rate, int pitch) override { m_tuned = { QString(), voice, rate, pitch }; }
    QList<Said> said() const
    {
        QMutexLocker lock(&m_mutex);
        return m_said;
    }
    bool calledOnThisThread() const
    {
        QMutexLocker lock(&m_mutex);
        return m_threads.contains(QThread::currentThread());
    }

    bool works = true;
    QString dropping; // a text containing this gives no audio

private:
    bool record(bool result)
    {
        QMutexLocker lock(&m_mutex);
        m_threads << QThread::currentThread();
        return result;
    }
    QString m_name;
    int m_rate;
    QStringList m_voices;
    Said m_tuned { {}, {}, 100, 100 };
    mutable QMutex m_mutex;
    QList<Said> m_said;
    QList<QThread*> m_threads;
};

class TestVoiceChoice : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;

    void store(const QStringList& keysAndValues)
    {
        QSettings settings(m_ini, QSettings::IniFormat);
        settings.clear();
        for (qsizetype i = 0; i + 1 < keysAndValues.size(); i += 2)
            settings.setValue(u"Voce/"_s + keysAndValues[i], keysAndValues[i + 1]);
    }

private slots:
    void init()
    {
        m_ini = m_dir.filePath(u"Vespelinda.conf"_s);
        QFile::remove(m_ini);
    }

    void storedVoiceOrTheDefault_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<bool>("festivalWorks");
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QList<int>>("ratePitchVolume");
        const QList<int> normal { 100, 100, 100 };
        QTest::newRow("nothing stored") << QStringList() << true << "Festival"
                                        << "lp" << normal;
        QTest::newRow("nothing stored, no Festival") << QStringList() << false << "espeak-ng"
                                                     << "it" << normal;
        QTest::newRow("Festival chosen, broken") << QStringList { "Motore", "Festival" } << false << "espeak-ng"
                                                 << "it" << normal;
        QTest::newRow("espeak-ng variant")
            << QStringList { "Motore", "espeak-ng", "Voce", "it+f3", "Velocita", "150", "Tono", "80", "Volume", "50" }
            << true << "espeak-ng"
            << "it+f3" << QList<int> { 150, 80, 50 };
        QTest::newRow("the man's voice") << QStringList { "Motore", "Festival", "Voce", "pc" } << true << "Festival"
                                         << "pc" << normal;
        QTest::newRow("unknown engine and voice")
            << QStringList { "Motore", "Loquendo", "Voce", "Paola" } << true << "Festival"
            << "lp" << normal;
        QTest::newRow("absurd numbers") << QStringList { "Velocita", "veloce", "Tono", "9999", "Volume", "0" } << true
                                        << "Festival"
                                        << "lp" << normal;
        QTest::newRow("just outside") << QStringList { "Velocita", "49", "Tono", "151", "Volume", "101" } << true
                                      << "Festival"
                                      << "lp" << normal;
        QTest::newRow("the limits") << QStringList { "Velocita", " 200 ", "Tono", "50", "Volume", "10" } << true
                                    << "Festival"
                                    << "lp" << QList<int> { 200, 50, 10 };
    }
    void storedVoiceOrTheDefault()
    {
        QFETCH(QStringList, stored);
        QFETCH(bool, festivalWorks);
        QFETCH(QString, engine);
        QFETCH(QString, voice);
        QFETCH(QList<int>, ratePitchVolume);
        store(stored);
        VoiceSettings settings(m_ini);
        FakeTunableEngine espeak(u"espeak-ng"_s, 22050, { u"it"_s, u"it+f3"_s });
        FakeTunableEngine festival(u"Festival"_s, 16000, { u"lp"_s, u"pc"_s });
        festival.works = festivalWorks;
        VoiceEngine chosen(settings, espeak, festival);

        const Pcm pcm = chosen.synthesize(u"ciao"_s);
        const FakeTunableEngine& speaking = engine == u"Festival" ? festival : espeak;
        QCOMPARE(speaking.said().size(), 1);
        const auto said = speaking.said().first();
        QCOMPARE(said.voice, voice);
        QCOMPARE(
            QList<int>({ said.rate, said.pitch, reinterpret_cast<const qint16*>(pcm.samples.constData())[0] / 10 }),
            ratePitchVolume);
        QCOMPARE(pcm.sampleRate, engine == u"Festival" ? 16000 : 22050); // each engine's own rate
    }

    void festivalWithoutItsDataLeavesTheVoiceToEspeak()
    {
        VoiceSettings settings(m_ini);
        FakeTunableEngine espeak(u"espeak-ng"_s, 22050, { u"it"_s });
        FestivalEngine festival(m_dir.path()); // no init.scm there
        VoiceEngine chosen(settings, espeak, festival);
        const QRegularExpression reason(u"no Festival data in .*: speaking with espeak-ng"_s);
        QTest::ignoreMessage(QtWarningMsg, reason);
        QTest::failOnWarning(reason); // once only
        QVERIFY(!chosen.synthesize(u"uno"_s).samples.isEmpty());
        QVERIFY(!chosen.synthesize(u"due"_s).samples.isEmpty());
        QCOMPARE(espeak.said().size(), 2);
    }

    void aSentenceFestivalDropsIsSaidByEspeak()
    {
        VoiceSettings settings(m_ini);
        FakeTunableEngine espeak(u"espeak-ng"_s, 22050, { u"it"_s });
        FakeTunableEngine festival(u"Festival"_s, 16000, { u"lp"_s });
        festival.dropping = u"Ω"_s;
        VoiceEngine chosen(settings, espeak, festival);

        const Pcm pcm = chosen.synthesize(u"Sono le 9. . Ω dentista! Ciao."_s);
        QCOMPARE(festival.said().size(), 3);
        QCOMPARE(espeak.said().size(), 1);
        QCOMPARE(espeak.said().first().text, u"Ω dentista!"_s);
        QCOMPARE(pcm.sampleRate, 16000);
        // 10 ms a letter for each sentence, espeak-ng's resampled to Festival's rate, a long
        // pause for ". ." and a short one between the other sentences
        QVERIFY(std::abs(pcm.durationMs() - (100 + 400 + 110 + 150 + 50)) <= 2);
    }

    void aVoiceChangeAppliesToTheNextTextNotTheOnePlaying()
    {
        VoiceSettings settings(m_ini);
        FakeTunableEngine espeak(u"espeak-ng"_s, 22050, { u"it"_s });
        FakeTunableEngine festival(u"Festival"_s, 16000, { u"lp"_s });
        VoiceEngine chosen(settings, espeak, festival);
        FakeAudioOutput output;
        Speaker speaker(chosen, output);

        speaker.Speak(u"uno"_s);
        QTRY_VERIFY(output.playing());
        settings.write({ u"espeak-ng"_s, u"it"_s, 100, 100, 100 });
        speaker.Speak(u"due"_s);
        output.finishClip();
        QTRY_VERIFY(output.playing());
        QCOMPARE(festival.said().size(), 1);
        QCOMPARE(festival.said().first().text, u"uno"_s);
        QCOMPARE(espeak.said().size(), 1);
        QCOMPARE(espeak.said().first().text, u"due"_s);
    }

    void voiceDialogStoresAndRestoresItsValues()
    {
        VoiceSettings settings(m_ini);
        FakeTunableEngine espeak(u"espeak-ng"_s, 22050, { u"it"_s, u"it+f3"_s });
        FakeTunableEngine festival(u"Festival"_s, 16000, { u"lp"_s, u"pc"_s });
        VoiceEngine chosen(settings, espeak, festival);
        FakeAudioOutput output;
        Speaker speaker(chosen, output);
        QWidget owner;
        const auto open = [&] {
            VoiceSettingsDialog::open(speaker, chosen, &owner, u"Opzioni voce"_s);
            auto* dialog = owner.findChild<VoiceSettingsDialog*>();
            return dialog && dialog->windowTitle() == u"Opzioni voce" ? dialog : nullptr;
        };

        auto* dialog = open();
        QVERIFY(dialog);
        auto* engine = dialog->findChild<QComboBox*>(u"cboMotore"_s);
        auto* voice = dialog->findChild<QComboBox*>(u"cboVoce"_s);
        QVERIFY(!dialog->isVisible()); // shown once the voices are there
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(engine->count(), 2); // the voices came from the synthesis thread
        QCOMPARE(engine->currentText(), u"Festival"_s);
        QCOMPARE(voice->currentData().toString(), u"lp"_s);
        engine->setCurrentIndex(engine->findText(u"espeak-ng"_s));
        voice->setCurrentIndex(voice->findData(u"it+f3"_s));
        dialog->findChild<QSlider*>(u"sldVelocita"_s)->setValue(140);
        dialog->findChild<QSlider*>(u"sldVolume"_s)->setValue(60);
        auto* listen = dialog->findChild<QPushButton*>(u"cmdAscolta"_s);
        QTest::mouseClick(listen, Qt::LeftButton);
        QVERIFY(listen->isEnabled()); // it keeps the focus while the sample plays
        QTest::mouseClick(listen, Qt::LeftButton); // a second press while it plays: one sample
        QTRY_COMPARE(espeak.said().size(), 1); // heard at once, with the voice on trial
        QCOMPARE(espeak.said().first().voice, u"it+f3"_s);
        QCOMPARE(espeak.said().first().rate, 140);
        QCOMPARE(settings.read(), Voice()); // nothing stored yet
        QTest::mouseClick(dialog->findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
        const Voice stored { u"espeak-ng"_s, u"it+f3"_s, 140, 100, 60 };
        QCOMPARE(settings.read(), stored);
        QTRY_VERIFY(!owner.findChild<VoiceSettingsDialog*>());

        dialog = open();
        QVERIFY(dialog);
        QTRY_COMPARE(dialog->findChild<QComboBox*>(u"cboMotore"_s)->count(), 2);
        QCOMPARE(dialog->chosen(), stored);
        dialog->findChild<QSlider*>(u"sldTono"_s)->setValue(70);
        QTest::mouseClick(dialog->findChild<QPushButton*>(u"cmdAnnulla"_s), Qt::LeftButton);
        QCOMPARE(settings.read(), stored);
        QVERIFY(!espeak.calledOnThisThread()); // never on the UI thread
        QVERIFY(!festival.calledOnThisThread());
    }
};

QTEST_MAIN(TestVoiceChoice)
#include "TestVoiceChoice.moc"
