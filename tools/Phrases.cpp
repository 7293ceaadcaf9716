// SPDX-License-Identifier: GPL-3.0-or-later
#include "Phrases.h"

#include "addressbook/RubricaTexts.h"
#include "agenda/AgendaTexts.h"
#include "calendar/CalendarTexts.h"
#include "mainwindow/Greeting.h"
#include "options/VoiceSettingsDialog.h"
#include "speech/ItalianSpeechText.h"

using namespace Qt::StringLiterals;

namespace {

QDateTime at(int y, int mo, int d, int h, int mi) { return QDateTime(QDate(y, mo, d), QTime(h, mi)); }

VoceAgenda entry(int h, int mi, const QString& testo) { return { at(1899, 12, 30, h, mi), testo }; }

} // namespace

QList<Phrase> programPhrases()
{
    using K = DayAgenda::Kind;
    const QDate today(2026, 12, 5);
    QList<Phrase> list = {
        { u"Greeting"_s, Greeting::text(at(2026, 12, 5, 9, 5)),
            u"buongiorno oggi è il cinque dicembre duemilaventisei sono le nove e cinque minuti"_s },
        { u"Greeting, first of the month"_s, Greeting::text(at(2027, 1, 1, 13, 1)),
            u"buon pomeriggio oggi è il primo gennaio duemilaventisette sono le tredici e un minuto"_s },
        { u"Greeting at midnight"_s, Greeting::text(at(2026, 12, 8, 0, 0)),
            u"buonanotte oggi è l'otto dicembre duemilaventisei è mezzanotte in punto"_s },
        { u"Time"_s, CalendarTexts::time(QTime(14, 7)), u"sono le quattordici e sette"_s },
        { u"Time on the hour"_s, CalendarTexts::time(QTime(9, 0)), u"sono le nove in punto"_s },
        { u"Time after one"_s, CalendarTexts::time(QTime(1, 5)), u"è l'una e cinque"_s },
        { u"Weekday, today"_s, CalendarTexts::day(today, today), u"oggi è sabato cinque dicembre duemilaventisei"_s },
        { u"Weekday, to come"_s, CalendarTexts::day(QDate(2026, 12, 25), today),
            u"il venticinque dicembre duemilaventisei sarà venerdì"_s },
        { u"Weekday, past"_s, CalendarTexts::day(QDate(2026, 1, 1), today),
            u"il primo gennaio duemilaventisei era giovedì"_s },
        { u"Weekday, the eleventh"_s, CalendarTexts::day(QDate(2026, 11, 11), today),
            u"l'undici novembre duemilaventisei era mercoledì"_s },
        { u"Announcement"_s, AgendaTexts::announcement(at(2026, 12, 5, 14, 30), u"riunione"_s),
            u"sono le quattordici e trenta riunione"_s },
        { u"Announcement after one"_s, AgendaTexts::announcement(at(2026, 12, 5, 1, 5), u"dentista"_s),
            u"è l'una e cinque dentista"_s },
        { u"Announcement with abbreviations"_s,
            AgendaTexts::announcement(at(2026, 12, 5, 10, 15), u"dal dott. Bianchi con la sig.ra Neri, n. 5"_s),
            u"sono le dieci e quindici dal dottor bianchi con la signora neri numero cinque"_s },
        { u"Announcement with sums"_s, AgendaTexts::announcement(at(2026, 12, 5, 18, 45), u"pagare 1.500 € e il 3%"_s),
            u"sono le diciotto e quarantacinque pagare millecinquecento euro e il tre per cento"_s },
        { u"Appointment readout"_s, AgendaTexts::readoutSpoken(K::Appuntamento, entry(9, 5, u"dentista"_s)),
            u"appuntamento di oggi alle nove e cinque minuti dentista"_s },
        { u"Reminder readout"_s, AgendaTexts::readoutSpoken(K::Promemoria, entry(16, 0, u"medicina"_s)),
            u"promemoria delle sedici in punto medicina"_s },
        { u"Address-book entry"_s,
            RubricaTexts::spokenEntry(u"Mario Rossi"_s, u"06 12345678"_s, u"mario.rossi@esempio.it"_s),
            u"mario rossi telefono zero sei uno due tre quattro cinque sei sette otto imèil mario punto rossi èt "
            "esempio punto it"_s },
        { u"Address-book entry, prefix"_s,
            RubricaTexts::spokenEntry(u"Anna Bianchi"_s, u"+39 347-1234567"_s, QString()),
            u"anna bianchi telefono più trentanove tre quattro sette uno due tre quattro cinque sei sette imèil non "
            "inserita"_s },
        { u"Address-book entry, empty"_s, RubricaTexts::spokenEntry(u"Luca"_s, QString(), QString()),
            u"luca telefono non inserito imèil non inserita"_s },
        { u"Address book, not found"_s, RubricaTexts::notFound(u"Mario"_s),
            u"non ho trovato nessun mario nella rubrica"_s },
        { u"Reading prompt"_s, u"Digita il testo nello spazio bianco. e te lo leggerò!"_s,
            u"digita il testo nello spazio bianco e te lo leggerò"_s },
        { u"Gone to the tray"_s, u"Se hai bisogno di me, mi trovi sulla barra delle applicazioni."_s,
            u"se hai bisogno di me mi trovi sulla barra delle applicazioni"_s },
        { u"Farewell"_s, u"spero di esserti stata utile. . arrivederci"_s,
            u"spero di esserti stata utile arrivederci"_s },
        { u"Eye complaint"_s, u"Ahia! mi hai messo il puntatore nell'occhio!"_s,
            u"ahia mi hai messo il puntatore nell'occhio"_s },
        { u"Voice sample"_s, QString::fromUtf8(VoiceSettingsDialog::Sample),
            u"ciao sono vespelinda ti piace questa voce"_s },
    };
    const QStringList alerts = { u"Devi inserire il nome"_s,
        u"Non hai inserito il numero di telefono. Salvo comunque?"_s,
        u"Non hai inserito l'indirizzo imèil. Salvo comunque?"_s, u"Elimino i dati relativi a Mario Rossi?"_s,
        u"Non c'è nessuna voce selezionata!"_s, u"Non hai inserito nessun valore!"_s,
        u"Elimino l'appuntamento selezionato?"_s, u"Non hai selezionato nessun appuntamento!"_s,
        u"Il campo testo è vuoto!"_s, u"Elimino il promemoria selezionato?"_s,
        u"Non hai selezionato nessun promemoria!"_s, u"I secondi di inattività devono essere compresi tra 15 e 60!"_s,
        u"Le informazioni sul sistema non sono attualmente disponibili."_s };
    for (const QString& alert : alerts) {
        QString heard = alert.toLower();
        heard.replace(u"15 e 60"_s, u"quindici e sessanta"_s);
        list.append({ u"Alert"_s, alert, heard });
    }
    return list;
}
