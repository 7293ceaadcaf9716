// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowRig.h"

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
        const bool signs[] = { button("cmdAggiungi")->text() == QLatin1String("&Salva"),
            button("cmdElimina")->text() == QLatin1String("&Annulla"), !button("cmdAvanti")->isEnabled(),
            !button("cmdIndietro")->isEnabled(), !button("cmdRicerca")->isEnabled(),
            !button("cmdModifica")->isEnabled(), !field("txtRnome")->isReadOnly(), !field("txtRemail")->isReadOnly(),
            window->finestraAperta() };
        if (std::all_of(std::begin(signs), std::end(signs), [](bool b) { return b; }))
            return QStringLiteral("entry");
        return std::none_of(std::begin(signs), std::end(signs), [](bool b) { return b; }) ? QStringLiteral("browse")
                                                                                          : QStringLiteral("mixed");
    }
    // The program's own connection to the data file.
    static QSqlQuery query()
    {
        return QSqlQuery(QSqlDatabase::database(QSqlDatabase::connectionNames().filter(u"vespelinda-data"_qs).first()));
    }
    QStringList stored()
    {
        QStringList rows;
        QSqlQuery query = RubricaRig::query();
        query.exec(QStringLiteral("SELECT Nome || '|' || Telefono || '|' || Email FROM Rubrica ORDER BY rowid"));
        while (query.next())
            rows.append(query.value(0).toString());
        return rows;
    }
    void sql(const QString& statement) { query().exec(statement); }
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
        QTest::newRow("one") << QStringList { "Anna" } << ">><" << QStringList { "Anna", "", "", "Anna" };
        QTest::newRow("three") << QStringList { "Anna", "Bruno", "Carla" } << ">>><"
                               << QStringList { "Anna", "Bruno", "Carla", "", "Carla" };
        QTest::newRow("back") << QStringList { "Anna", "Bruno" } << "<<>>"
                              << QStringList { "Anna", "", "", "Anna", "Bruno" };
    }
    void browsingStopsOncePastEitherEnd()
    {
        QFETCH(QStringList, names);
        QFETCH(QString, clicks);
        QFETCH(QStringList, shown);
        QList<QStringList> entries;
        for (const QString& name : names)
            entries.append({ name, "06 " + name, name + "@casa.it" });
        RubricaRig rig(entries);
        QVERIFY(rig.start());
        QTimer& countdown = rig.window->countdown().tmrIcona;
        QStringList seen { rig.field("txtRnome")->text() };
        for (const QChar c : clicks) {
            countdown.start(60000);
            rig.click(c == u'>' ? "cmdAvanti" : "cmdIndietro");
            seen.append(rig.field("txtRnome")->text());
            QCOMPARE(countdown.isActive(), seen.last() == seen[seen.size() - 2]); // a new text is activity
            if (!seen.last().isEmpty())
                QCOMPARE(rig.shown(), seen.last() + "|06 " + seen.last() + u'|' + seen.last() + "@casa.it");
            else
                QCOMPARE(rig.shown(), "||");
        }
        QCOMPARE(seen, shown);
        QCOMPARE(rig.state(), "browse");
        QVERIFY(rig.boxes.shown.isEmpty() && said.isEmpty());
    }

    void savingAsksForWhatIsMissingInTurn()
    {
        RubricaRig rig({ { "Anna", "06 1", "anna@casa.it" } });
        QVERIFY(rig.start());
        rig.click("cmdAggiungi");
        QCOMPARE(rig.state(), "entry");
        QCOMPARE(rig.shown(), "||");
        QCOMPARE(rig.window->focusWidget(), rig.field("txtRnome"));

        rig.click("cmdAggiungi");
        QCOMPARE(rig.boxTexts(), QStringList { "Devi inserire il nome!" });
        QCOMPARE(said, QStringList { "Devi inserire il nome" });
        QVERIFY(rig.boxes.shown[0].style == 48 && rig.boxes.shown[0].title == "Attenzione" && rig.state() == "entry");

        rig.type("txtRnome", "   "); // spaces are a name
        rig.boxes.answer = MessageBoxService::No;
        rig.click("cmdAggiungi");
        QCOMPARE(rig.boxTexts().last(), "Non hai inserito il numero di telefono. Salvo comunque?");
        QVERIFY(rig.boxes.shown.last().style == 68 && rig.boxes.shown.last().title == "Informazione");
        QVERIFY(rig.state() == "entry" && rig.window->focusWidget() == rig.field("txtRtel"));

        rig.boxes.answer = MessageBoxService::Yes;
        rig.boxes.shown.clear();
        said.clear();
        rig.click("cmdAggiungi");
        const QString email = "Non hai inserito l'indirizzo email. Salvo comunque?";
        QCOMPARE(rig.boxTexts(), (QStringList { "Non hai inserito il numero di telefono. Salvo comunque?", email }));
        QCOMPARE(said.last(), QString(email).replace("email", "imèil"));
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.shown(), "Anna|06 1|anna@casa.it"); // the entry shown before adding
        QCOMPARE(rig.stored(), (QStringList { "Anna|06 1|anna@casa.it", "   ||" }));
    }

    void changingCancellingAndDeleting()
    {
        RubricaRig rig({ { "Anna", "1", "a@x" }, { "Bruno", "2", "b@x" }, { "Carla", "3", "c@x" } });
        QVERIFY(rig.start());
        const QStringList original = rig.stored();
        rig.click("cmdAvanti");
        rig.click("cmdAvanti");
        rig.click("cmdModifica");
        QCOMPARE(rig.state(), "entry");
        rig.type("txtRnome", "X");
        rig.click("cmdElimina"); // "&Annulla"
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.shown(), "Anna|1|a@x");
        QCOMPARE(rig.stored(), original);

        rig.click("cmdModifica");
        rig.field("txtRtel")->selectAll();
        rig.field("txtRtel")->insert("+39 06-1 'quoted' 100% è 😀"); // a paste: no key types an emoji
        rig.click("cmdAggiungi");
        QVERIFY(rig.state() == "browse" && rig.boxes.shown.isEmpty());
        QCOMPARE(rig.shown(), "Anna|+39 06-1 'quoted' 100% è 😀|a@x");
        QCOMPARE(rig.stored().first(), "Anna|+39 06-1 'quoted' 100% è 😀|a@x");

        rig.click("cmdElimina");
        QCOMPARE(rig.boxTexts(), QStringList { "Elimino i dati relativi a Anna?" });
        QVERIFY(rig.boxes.shown[0].style == 52 && rig.boxes.shown[0].title == "Conferma");
        QCOMPARE(rig.shown(), "Bruno|2|b@x");
        rig.click("cmdElimina");
        rig.click("cmdElimina");
        QCOMPARE(rig.shown(), "||"); // the last one gone: empty, and nothing more to say
        rig.boxes.shown.clear();
        rig.click("cmdElimina");
        rig.click("cmdModifica");
        QCOMPARE(rig.boxTexts(), QStringList { "Non c'è nessuna voce selezionata!" });
        QVERIFY(rig.state() == "browse" && rig.stored().isEmpty());
    }

    void searchFindsWholeNamesInTurnAndReadsThem()
    {
        RubricaRig rig({ { "Anna Rossi", "0612", "anna@casa.it" }, { "Bruno", "", "" },
            { "Anna Rossi", "+39 1", "a.r@x.it" }, { "D'Angelo", "", "" } });
        QVERIFY(rig.start());
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
        QVERIFY(rig.boxes.shown.isEmpty());
        search("");
        QCOMPARE(rig.boxTexts(), QStringList { "Non hai inserito nessun valore!" });

        // While an entry is typed, Enter in the search box does nothing.
        rig.click("cmdAggiungi");
        rig.type("txtRnome", "Nuovo");
        said.clear();
        QCOMPARE(search("Bruno"), "Nuovo||");
        QVERIFY(rig.state() == "entry" && said.isEmpty());

        // Entries added, changed and deleted after a search are found as they now are.
        rig.click("cmdAggiungi");
        QCOMPARE(search("nuovo"), "Nuovo||");
        rig.click("cmdModifica");
        rig.type("txtRnome", "a");
        rig.click("cmdAggiungi");
        QCOMPARE(search("nuovoa"), "Nuovoa||");
        QCOMPARE(said.last(), "Nuovoa . telefono. Non inserito. . imèil. Non inserita");
        rig.click("cmdElimina");
        QCOMPARE(search("D'Angelo"), "D'Angelo||");
        QCOMPARE(search("nuovoa"), "D'Angelo||");
        QCOMPARE(said.last(), "Non ho trovato nessun nuovoa nella rubrica.");
    }

    void refusedWriteKeepsWhatWasTyped_data()
    {
        QTest::addColumn<QString>("refuse");
        QTest::addColumn<QString>("allow");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("nameLength");
        // As root a write-protected file is still written, so SQLite's own switches refuse instead.
        QTest::newRow("read-only") << "PRAGMA query_only = 1"
                                   << "PRAGMA query_only = 0"
                                   << "il file dei dati, o la sua cartella, è protetto dalla scrittura" << 5;
        QTest::newRow("disk full") << "PRAGMA max_page_count = 1"
                                   << "PRAGMA max_page_count = 100000"
                                   << "il disco è pieno" << 20000;
    }
    void refusedWriteKeepsWhatWasTyped()
    {
        QFETCH(QString, refuse);
        QFETCH(QString, allow);
        QFETCH(QString, reason);
        QFETCH(int, nameLength);
        RubricaRig rig({ { "Anna", "1", "a@x" } });
        QVERIFY(rig.start());
        const QString name = QString(nameLength, u'n');
        rig.click("cmdAggiungi");
        rig.field("txtRnome")->insert(name);
        rig.type("txtRtel", "06 2");
        rig.type("txtRemail", "n@x");
        rig.sql(refuse);
        rig.click("cmdAggiungi");
        QCOMPARE(rig.boxTexts(),
            QStringList { "Non riesco a salvare la voce: " + reason + ". Quello che hai scritto resta qui." });
        QCOMPARE(rig.state(), "entry");
        QCOMPARE(rig.shown(), name + "|06 2|n@x");
        rig.sql(allow);
        rig.click("cmdAggiungi");
        QCOMPARE(rig.state(), "browse");
        QCOMPARE(rig.stored().last(), name + "|06 2|n@x");

        rig.sql("PRAGMA query_only = 1");
        rig.boxes.shown.clear();
        rig.click("cmdElimina");
        QCOMPARE(rig.boxTexts().last(),
            "Non riesco a eliminare la voce: il file dei dati, o la sua cartella, è protetto dalla scrittura.");
        QCOMPARE(rig.shown(), "Anna|1|a@x");
        QCOMPARE(rig.stored().size(), 2);
    }
};

QTEST_MAIN(TestRubricaPage)
#include "TestRubricaPage.moc"
