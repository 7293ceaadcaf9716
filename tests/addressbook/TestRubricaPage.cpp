// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"
#include "mainwindow/PageStrip.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QtTest>

namespace {
QStringList said; // every text handed to the voice, from the speech log
QtMessageHandler otherMessages = nullptr;

void recordSpeech(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtInfoMsg && qstrcmp(context.category, "vespelinda.speech") == 0)
        said.append(message);
    else
        otherMessages(type, context, message);
}

// The main window over an address book of the given entries (name, telephone, e-mail).
struct RubricaRig : MainWindowRig
{
    explicit RubricaRig(const QList<QStringList>& entries)
        : MainWindowRig(Options { .load = false })
    {
        set("Leggi errore", QStringLiteral("1"));
        for (const QStringList& e : entries)
            file.addEntry(e.value(0), e.value(1), e.value(2));
        said.clear();
        start();
    }
    QPushButton* button(const char* name) const { return child<QPushButton>(name); }
    QLineEdit* field(const char* name) const { return child<QLineEdit>(name); }
    void click(const char* name) const { button(name)->click(); }
    void type(const char* name, const QString& text) const { QTest::keyClicks(field(name), text); }
    QString shown() const
    {
        return field("txtRnome")->text() + u'|' + field("txtRtel")->text() + u'|' + field("txtRemail")->text();
    }
    // "entry" or "browse" when every sign agrees, the main window's flag among them.
    QString state() const
    {
        QString signs;
        for (const bool sign : { button("cmdAggiungi")->text() == "&Salva", button("cmdElimina")->text() == "&Annulla",
                 !button("cmdAvanti")->isEnabled(), !button("cmdRicerca")->isEnabled(),
                 !button("cmdModifica")->isEnabled(), !field("txtRtel")->isReadOnly(), window->finestraAperta() })
            signs += sign ? u'1' : u'0';
        return signs == "1111111" ? "entry" : signs == "0000000" ? "browse" : "mixed " + signs;
    }
    // The boxes shown since the last call, as "style title: text".
    QStringList takeBoxes()
    {
        QStringList taken;
        for (const auto& box : boxes.shown)
            taken.append(QStringLiteral("%1 %2: %3").arg(box.style).arg(box.title, box.text));
        boxes.shown.clear();
        return taken;
    }
    // Through the program's own connection to the data file: the first column of each row.
    QStringList sql(const QString& statement) const
    {
        QSqlQuery query(QSqlDatabase::database(QSqlDatabase::connectionNames().filter(u"vespelinda-data"_qs).first()));
        QStringList rows;
        for (query.exec(statement); query.next();)
            rows.append(query.value(0).toString());
        return rows;
    }
    QStringList stored() const { return sql("SELECT Nome || '|' || Telefono || '|' || Email FROM Rubrica"); }
};
} // namespace

class TestRubricaPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QLoggingCategory::setFilterRules(QStringLiteral("vespelinda.speech=true"));
        otherMessages = qInstallMessageHandler(recordSpeech);
    }

    void browsingStopsOncePastEitherEnd_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QStringList>("shown"); // at start, then after each click
        QTest::newRow("empty") << QStringList {} << "><" << QStringList { "", "", "" };
        QTest::newRow("one") << QStringList { "A" } << ">><" << QStringList { "A", "", "", "A" };
        QTest::newRow("three") << QStringList { "A", "B", "C" } << ">>><" << QStringList { "A", "B", "C", "", "C" };
        QTest::newRow("back") << QStringList { "A", "B" } << "<<>>" << QStringList { "A", "", "", "A", "B" };
    }
    void browsingStopsOncePastEitherEnd()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, clicks);
        QFETCH(QStringList, shown);
        QList<QStringList> entries;
        for (const QString& name : names)
            entries.append({ name, "06", "a@b" });
        RubricaRig rig(entries);
        QTimer& countdown = rig.window->countdown().tmrIcona;
        QStringList seen { rig.field("txtRnome")->text() };
        for (const QChar c : clicks) {
            countdown.start(60000);
            rig.click(c == u'>' ? "cmdAvanti" : "cmdIndietro");
            seen.append(rig.field("txtRnome")->text());
            QCOMPARE(countdown.isActive(), seen.last() == seen[seen.size() - 2]); // a new text is activity
            QCOMPARE(rig.shown(), seen.last().isEmpty() ? "||" : seen.last() + "|06|a@b");
        }
        QCOMPARE(seen, shown);
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.boxes.shown.size(), 0);
        QCOMPARE(said, QStringList());
    }

    // The pointer over the page's controls is activity, but "Modifica" has no pointer reaction of
    // its own: over it the countdown runs on.
    void thePointerOverModificaIsNoActivity_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("stops");
        QTest::newRow("Modifica") << "cmdModifica" << false;
        QTest::newRow("Avanti") << "cmdAvanti" << true;
        QTest::newRow("the entry's frame") << "Frame1" << true;
    }
    void thePointerOverModificaIsNoActivity()
    {
        QFETCH(QString, control);
        QFETCH(bool, stops);
        RubricaRig rig({ { "Anna", "1", "a@x" } });
        rig.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        rig.window->pages().showPage(PageStrip::Rubrica);
        auto* target = rig.child<QWidget>(qPrintable(control));
        QTimer& countdown = rig.window->countdown().tmrIcona;
        QTest::mouseMove(rig.window.get(), QPoint(1, 1));
        countdown.start(60000);
        // Over the frame: a corner of its own, clear of the controls in it.
        const QPoint at
            = control == "Frame1" ? QPoint(target->width() - 3, target->height() - 3) : target->rect().center();
        QTest::mouseMove(target, at);
        QTest::mouseMove(target, at + QPoint(1, 0));
        QCOMPARE(!countdown.isActive(), stops);
    }

    void savingAsksForWhatIsMissingInTurn()
    {
        RubricaRig rig({ { "Anna", "06 1", "anna@casa.it" } });
        rig.click("cmdAggiungi");
        QCOMPARE(rig.state(), "entry");
        QCOMPARE(rig.shown(), "||");
        QCOMPARE(rig.window->focusWidget(), rig.field("txtRnome"));
        rig.click("cmdAggiungi");
        QCOMPARE(rig.takeBoxes(), QStringList { "48 Attenzione: Devi inserire il nome!" });
        QCOMPARE(said, QStringList { "Devi inserire il nome" });

        const QString telephone = "68 Informazione: Non hai inserito il numero di telefono. Salvo comunque?";
        rig.type("txtRnome", "   "); // spaces are a name
        rig.boxes.answer = MessageBoxService::No;
        rig.click("cmdAggiungi");
        QCOMPARE(rig.takeBoxes(), QStringList { telephone });
        QCOMPARE(rig.state(), "entry");
        QCOMPARE(rig.window->focusWidget(), rig.field("txtRtel"));

        rig.boxes.answer = MessageBoxService::Yes;
        rig.click("cmdAggiungi");
        QCOMPARE(rig.takeBoxes(),
            (QStringList { telephone, "68 Informazione: Non hai inserito l'indirizzo email. Salvo comunque?" }));
        QCOMPARE(said.mid(said.size() - 2),
            (QStringList { "Non hai inserito l'indirizzo imèil. Salvo comunque?", "Voce salvata." }));
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.shown(), "   ||"); // the saved entry stays shown
        QCOMPARE(rig.stored(), (QStringList { "Anna|06 1|anna@casa.it", "   ||" }));
    }

    void changingCancellingAndDeleting()
    {
        RubricaRig rig({ { "Anna", "1", "a@x" }, { "Bruno", "2", "b@x" }, { "Carla", "3", "c@x" } });
        const QStringList original = rig.stored();
        rig.click("cmdAvanti");
        rig.click("cmdAvanti");
        rig.click("cmdModifica");
        rig.type("txtRnome", "X");
        rig.click("cmdElimina"); // "&Annulla"
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.shown(), "Anna|1|a@x");
        QCOMPARE(rig.stored(), original);

        rig.click("cmdModifica");
        rig.field("txtRtel")->selectAll();
        rig.field("txtRtel")->insert("+39 06-1 'quoted' 100% è 😀"); // a paste: no key types an emoji
        rig.click("cmdAggiungi");
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.boxes.shown.size(), 0);
        QCOMPARE(rig.shown(), "Anna|+39 06-1 'quoted' 100% è 😀|a@x");
        QCOMPARE(rig.stored().first(), "Anna|+39 06-1 'quoted' 100% è 😀|a@x");

        rig.click("cmdElimina");
        QCOMPARE(rig.takeBoxes(), QStringList { "52 Conferma: Elimino i dati relativi a Anna?" });
        QCOMPARE(rig.shown(), "Bruno|2|b@x");
        rig.click("cmdElimina");
        rig.click("cmdElimina");
        QCOMPARE(rig.shown(), "||"); // the last one gone: empty, and nothing more to say
        rig.takeBoxes();
        rig.click("cmdElimina");
        rig.click("cmdModifica");
        QCOMPARE(rig.takeBoxes(), QStringList { "48 Attenzione: Non c'è nessuna voce selezionata!" });
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.stored(), QStringList());
    }

    // However the text reaches a field while an entry is changed (typed, pasted, or set by a
    // screen reader or a dictation tool through the accessibility interface), "Salva" stores it.
    void everyWayOfEditingIsSaved_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("typed") << "typed";
        QTest::newRow("pasted") << "pasted";
        QTest::newRow("accessible text set") << "accessible set";
        QTest::newRow("accessible text inserted") << "accessible insert";
        QTest::newRow("accessible text replaced") << "accessible replace";
    }
    void everyWayOfEditingIsSaved()
    {
        QFETCH(QString, how);
        RubricaRig rig({ { "Anna", "1", "a@x" } });
        rig.click("cmdModifica");
        QLineEdit* tel = rig.field("txtRtel");
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(tel);
        QVERIFY(accessible);
        QVERIFY(accessible->editableTextInterface());
        if (how == "typed") {
            tel->end(false);
            QTest::keyClicks(tel, "23");
        } else if (how == "pasted") {
            tel->end(false);
            tel->insert("23");
        } else if (how == "accessible set") {
            accessible->setText(QAccessible::Value, "123");
        } else if (how == "accessible insert") {
            accessible->editableTextInterface()->insertText(1, "23");
        } else {
            accessible->editableTextInterface()->replaceText(0, 1, "123");
        }
        QCOMPARE(tel->text(), "123");
        rig.click("cmdAggiungi");
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.stored(), QStringList { "Anna|123|a@x" });
    }

    // Another program's changes to the address book are read at the next heartbeat: a search finds
    // what it added and no longer finds what it deleted; an entry being typed is left alone.
    void anotherProgramsChangesReachTheAddressBook()
    {
        RubricaRig rig({ { "Anna", "1", "a@x" }, { "Bruno", "2", "b@x" } });
        const auto search = [&](const QString& text) {
            rig.field("txtNome")->setText(text);
            rig.click("cmdRicerca");
            return said.last();
        };
        QVERIFY(rig.file.addEntry("Carla", "3", "c@x"));
        QVERIFY(rig.file.exec("DELETE FROM Rubrica WHERE Nome = 'Bruno'"));
        rig.window->heartbeat().tick();
        QCOMPARE(search("Carla"), "Carla . telefono. 3.. . imèil. c èt x");
        QCOMPARE(search("Bruno"), "Non ho trovato nessun Bruno nella rubrica.");
        QCOMPARE(rig.shown(), "Carla|3|c@x");

        QVERIFY(rig.file.exec("DELETE FROM Rubrica WHERE Nome = 'Carla'"));
        rig.window->heartbeat().tick();
        QCOMPARE(rig.shown(), "||"); // the entry shown is gone

        rig.click("cmdAggiungi");
        rig.type("txtRnome", "Dario");
        QVERIFY(rig.file.addEntry("Elena", "5", "e@x"));
        rig.window->heartbeat().tick();
        QCOMPARE(rig.shown(), "Dario||");
        rig.type("txtRtel", "4");
        rig.type("txtRemail", "d@x");
        rig.click("cmdAggiungi");
        QCOMPARE(rig.stored(), (QStringList { "Anna|1|a@x", "Elena|5|e@x", "Dario|4|d@x" }));
    }

    void searchFindsWholeNamesInTurnAndReadsThem()
    {
        RubricaRig rig({ { "Anna Rossi", "0612", "anna@casa.it" }, { "Bruno", "", "" },
            { "Anna Rossi", "+39 1", "a.r@x.it" }, { "D'Angelo", "", "" } });
        const auto search = [&](const QString& text) {
            rig.field("txtNome")->setText(text);
            QTest::keyClick(rig.field("txtNome"), Qt::Key_Return);
            return rig.shown();
        };
        QCOMPARE(search("anna rossi"), "Anna Rossi|+39 1|a.r@x.it");
        QCOMPARE(search("ANNA ROSSI"), "Anna Rossi|0612|anna@casa.it");
        rig.click("cmdRicerca");
        QCOMPARE(rig.shown(), "Anna Rossi|+39 1|a.r@x.it");
        QCOMPARE(search("Anna"), "Anna Rossi|+39 1|a.r@x.it");
        QCOMPARE(search("d'angelo"), "D'Angelo||");
        QCOMPARE(said,
            (QStringList { "Anna Rossi . telefono. +.3.9. .1.. . imèil. a punto r èt x punto it",
                "Anna Rossi . telefono. 0.6.1.2.. . imèil. anna èt casa punto it",
                "Anna Rossi . telefono. +.3.9. .1.. . imèil. a punto r èt x punto it",
                "Non ho trovato nessun Anna nella rubrica.",
                "D'Angelo . telefono. Non inserito. . imèil. Non inserita" }));
        search("");
        QCOMPARE(rig.takeBoxes(), QStringList { "48 Attenzione: Non hai inserito nessun valore!" });

        // While an entry is typed, Enter in the search box does nothing.
        rig.click("cmdAggiungi");
        rig.type("txtRnome", "Nuovo");
        said.clear();
        QCOMPARE(search("Bruno"), "Nuovo||");
        QCOMPARE(rig.state(), "entry");
        QCOMPARE(said, QStringList());

        // Entries added, changed and deleted after a search are found as they now are.
        rig.click("cmdAggiungi");
        QCOMPARE(search("nuovo"), "Nuovo||");
        rig.click("cmdModifica");
        rig.type("txtRnome", "a");
        rig.click("cmdAggiungi");
        search("nuovoa");
        QCOMPARE(said.last(), "Nuovoa . telefono. Non inserito. . imèil. Non inserita");
        rig.click("cmdElimina");
        QCOMPARE(search("D'Angelo"), "D'Angelo||");
        search("nuovoa");
        QCOMPARE(said.last(), "Non ho trovato nessun nuovoa nella rubrica.");
    }

    // By keyboard alone: Enter in a field saves, Esc cancels; what a screen reader says of the two
    // buttons follows their captions.
    void enterSavesEscCancels_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("Enter") << int(Qt::Key_Return) << "browse" << QStringList { "Anna|1|a@x", "Bruno|2|b@x" };
        QTest::newRow("Esc") << int(Qt::Key_Escape) << "browse" << QStringList { "Anna|1|a@x" };
    }
    void enterSavesEscCancels()
    {
        QFETCH(int, key);
        QFETCH(QString, state);
        QFETCH(QStringList, stored);
        RubricaRig rig({ { "Anna", "1", "a@x" } });
        rig.click("cmdAggiungi");
        QCOMPARE(QAccessible::queryAccessibleInterface(rig.widget("cmdAggiungi"))->text(QAccessible::Description),
            "Salva la voce (Invio in un campo)");
        QCOMPARE(QAccessible::queryAccessibleInterface(rig.widget("cmdElimina"))->text(QAccessible::Description),
            "Annulla le modifiche (Esc)");
        rig.type("txtRnome", "Bruno");
        rig.type("txtRtel", "2");
        rig.type("txtRemail", "b@x");
        QTest::keyClick(rig.field("txtRemail"), Qt::Key(key));
        QCOMPARE(rig.state(), state);
        QCOMPARE(rig.stored(), stored);
        QCOMPARE(QAccessible::queryAccessibleInterface(rig.widget("cmdAggiungi"))->text(QAccessible::Description),
            "Aggiungi un nuovo contatto");
        QCOMPARE(QAccessible::queryAccessibleInterface(rig.widget("cmdElimina"))->text(QAccessible::Description),
            "Elimina la voce selezionata");
    }

    void refusedWriteKeepsWhatWasTyped_data()
    {
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<QString>("reason");
        // As root a write-protected file is still written, so SQLite's own switches refuse instead.
        QTest::newRow("read-only") << "query_only = 1"
                                   << "il file dei dati, o la sua cartella, è protetto dalla scrittura";
        QTest::newRow("disk full") << "max_page_count = 1"
                                   << "il disco è pieno";
    }
    void refusedWriteKeepsWhatWasTyped()
    {
        QFETCH(QString, refuse);
        QFETCH(QString, reason);
        RubricaRig rig({ { "Anna", "1", "a@x" } });
        const QString name(20000, u'n'); // overflow pages: more than the one page the full disk allows
        rig.click("cmdAggiungi");
        rig.field("txtRnome")->insert(name);
        rig.type("txtRtel", "06 2");
        rig.type("txtRemail", "n@x");
        rig.sql("PRAGMA " + refuse);
        rig.click("cmdAggiungi");
        QCOMPARE(rig.takeBoxes(),
            QStringList {
                "48 Attenzione: Non riesco a salvare la voce: " + reason + ". Quello che hai scritto resta qui." });
        QCOMPARE(rig.state(), "entry");
        QCOMPARE(rig.shown(), name + "|06 2|n@x");
        rig.sql("PRAGMA query_only = 0");
        rig.sql("PRAGMA max_page_count = 100000");
        rig.click("cmdAggiungi");
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.stored().last(), name + "|06 2|n@x");

        rig.sql("PRAGMA query_only = 1");
        rig.click("cmdElimina");
        QVERIFY(rig.takeBoxes().last().startsWith("48 Attenzione: Non riesco a eliminare la voce: il file dei dati"));
        QCOMPARE(rig.shown(), name + "|06 2|n@x"); // the saved entry, still there
        QCOMPARE(rig.stored().size(), 2);
    }
};

QTEST_MAIN(TestRubricaPage)
#include "TestRubricaPage.moc"
