// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/FestivalEngine.h"

#include "speech/ItalianSpeechText.h"
#include "speech/SpeechLog.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <cstdint>
#include <festival/festival.h>
#include <iostream>
#include <mutex>

using namespace Qt::StringLiterals;
#include <sstream>

// Festival's Scheme (SIOD) keeps these as exported globals that its headers do not declare.
struct SiodProtected
{
    LISP* location;
    long length;
    SiodProtected* next;
};
extern SiodProtected* protected_registers; // locations the collector treats as roots
extern LISP* stack_start_ptr; // where its scan of the C stack begins
extern char* stack_limit_ptr;

namespace {
constexpr long SchemeStackBytes = 500000; // what Festival itself allows its interpreter
constexpr int HeapCells = 210000; // Festival's own default
constexpr int MaxFailures = 200; // a failure strands about 1/1000 of the heap

struct Global
{
    std::mutex mutex;
    bool tried = false;
    bool ready = false;
    bool canRepair = false;
    int failures = 0;
    QString failure;
    QByteArray dataDir; // festival_datadir points into this
    TunableEngine::Applied applied;
    QStringList voices; // "lp", "pc"
    QHash<QString, QString> respellings; // by respelled(): a null string for a word left alone
};

Global& global()
{
    static Global instance;
    return instance;
}

// Festival reports on std::cerr, quoting the words it could not analyse; what the assistant says
// is private, so nothing of it goes to the terminal.
class QuietCerr
{
public:
    QuietCerr()
        : m_old(std::cerr.rdbuf(m_sink.rdbuf()))
    {
    }
    ~QuietCerr() { std::cerr.rdbuf(m_old); }
    QuietCerr(const QuietCerr&) = delete;
    QuietCerr& operator=(const QuietCerr&) = delete;

private:
    std::ostringstream m_sink;
    std::streambuf* m_old;
};

// One call into the interpreter from this frame. Its collector scans the C stack from
// stack_start_ptr down, so that is pointed here: whatever Festival keeps on the stack is below.
class SchemeCall
{
public:
    SchemeCall()
        : m_before(protected_registers)
        , m_top(reinterpret_cast<std::uintptr_t>(&m_marker))
    {
        stack_start_ptr = const_cast<LISP*>(&m_marker);
        stack_limit_ptr = reinterpret_cast<char*>(m_top - SchemeStackBytes);
    }
    SchemeCall(const SchemeCall&) = delete;
    SchemeCall& operator=(const SchemeCall&) = delete;

    // After a failed call: Festival's C++ frames registered stack locations with the collector and
    // were abandoned by the error's longjmp without unregistering them. Marking those dead
    // locations later crashes the process, so they are forgotten (the small records are leaked).
    int forgetAbandonedFrames()
    {
        int forgotten = 0;
        SiodProtected** link = &protected_registers;
        while (*link && *link != m_before) {
            const auto location = reinterpret_cast<std::uintptr_t>((*link)->location);
            if (location < m_top && location > m_top - SchemeStackBytes) {
                *link = (*link)->next;
                ++forgotten;
            } else {
                link = &(*link)->next;
            }
        }
        return forgotten;
    }

private:
    LISP volatile m_marker = nullptr;
    SiodProtected* m_before;
    std::uintptr_t m_top;
};

bool eval(const char* command) { return festival_eval_command(EST_String(command)); }

// Whether the records of the collector look as expected, so that forgetAbandonedFrames() is safe.
bool collectorLayoutKnown()
{
    LISP probe = NIL;
    gc_protect(&probe);
    const bool known
        = protected_registers && protected_registers->location == &probe && protected_registers->length == 1;
    gc_unprotect(&probe);
    return known;
}

bool hasSomethingToSay(const QByteArray& latin1)
{
    return std::any_of(latin1.begin(), latin1.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u >= 0xc0;
    });
}

// Called with the lock held, on the thread that will use Festival from now on.
bool initialise(Global& g, const QString& dataDir)
{
    if (g.tried)
        return g.ready;
    g.tried = true;
    if (!QFileInfo::exists(dataDir + QStringLiteral("/init.scm"))) {
        g.failure = QStringLiteral("no Festival data in %1 (Debian package festival)").arg(dataDir);
        return false;
    }
    g.dataDir = QFile::encodeName(dataDir);
    festival_datadir = g.dataDir.constData();
    QuietCerr quiet;
    festival_initialize(0, HeapCells); // 0: its files are loaded below, where an error is caught
    SchemeCall call;
    if (!eval("(load (path-append datadir \"init.scm\"))")) {
        g.failure = QStringLiteral("Festival's data in %1 could not be loaded").arg(dataDir);
        return false;
    }
    eval("(define vespelinda_text \"\")");
    eval("(define vespelinda_out nil)");
    eval("(define vespelinda_pitch 1.0)");
    eval("(define vespelinda_voice_targ nil)");
    // The Italian voices compute their pitch targets in one function: scaled here for the pitch.
    eval("(define (vespelinda_targ utt syl)"
         "  (mapcar (lambda (p) (list (car p) (* vespelinda_pitch (car (cdr p)))))"
         "          (vespelinda_voice_targ utt syl)))");
    // The utterance is held in a global while its items are read: the collector, which may run
    // while the list is built, would otherwise free it under the items (a crash in item.feat).
    eval("(define vespelinda_utt nil)");
    eval("(define (vespelinda_words)"
         "  (set! vespelinda_utt (utt.synth (eval (list 'Utterance 'Text vespelinda_text))))"
         "  (mapcar item.name (utt.relation.items vespelinda_utt 'Word)))");
    // A word and its syllables: (name (stress phone ...) ...).
    eval("(define (vespelinda_syllabified word)"
         "  (cons (item.name word)"
         "        (mapcar (lambda (syl) (cons (if (string-equal (item.feat syl \"stress\") \"1\") \"1\" \"0\")"
         "                                    (mapcar item.name (item.daughters syl))))"
         "                (item.daughters (item.relation word 'SylStructure)))))");
    eval("(define (vespelinda_syllables)"
         "  (set! vespelinda_utt (utt.synth (eval (list 'Utterance 'Text vespelinda_text))))"
         "  (mapcar vespelinda_syllabified (utt.relation.items vespelinda_utt 'Word)))");
    QStringList listed;
    if (eval("(set! vespelinda_out (voice.list))"))
        for (LISP l = siod_get_lval("vespelinda_out", nullptr); l != NIL; l = cdr(l))
            listed << QString::fromLatin1(get_c_string(car(l)));
    for (const char* name : { "lp", "pc" }) // the default first
        if (listed.contains(QString::fromLatin1(name) + QStringLiteral("_diphone")))
            g.voices << QString::fromLatin1(name);
    if (g.voices.isEmpty()) {
        g.failure
            = QStringLiteral("Festival has no Italian voice (Debian packages festvox-italp16k, festvox-itapc16k)");
        return false;
    }
    g.canRepair = collectorLayoutKnown();
    g.ready = true;
    return true;
}

// Festival's lexicon has the verb, not the verb with its pronouns: "ricordati", "telefonami",
// "dimmelo", "esserti" come out stressed on the wrong syllable. With a pronoun attached the stress
// stays where the verb has it (ricòrda + ti is ricòrdati), so such a word is given to Festival with
// an accent on that vowel, which its letter-to-sound rules honour.
struct Lexicon
{
    QString pos; // empty for a word the lexicon does not know
    int stressed = -1; // syllable index
    QString vowel; // the stressed vowel's phone, "O", "e"
};

Lexicon lookUp(const QString& word)
{
    Lexicon entry;
    siod_set_lval("vespelinda_word", strintern(word.toLatin1().constData()));
    if (!eval("(set! vespelinda_out (lex.lookup vespelinda_word))"))
        return entry;
    const LISP found = siod_get_lval("vespelinda_out", nullptr);
    if (found == NIL || !CONSP(found) || cdr(found) == NIL)
        return entry;
    const LISP pos = car(cdr(found));
    entry.pos = pos == NIL ? QString() : QString::fromLatin1(get_c_string(pos));
    int index = 0;
    for (LISP syl = car(cdr(cdr(found))); syl != NIL; syl = cdr(syl), ++index) {
        const LISP stress = car(cdr(car(syl)));
        if (!FLONUMP(stress) || get_c_int(stress) != 1)
            continue;
        entry.stressed = index;
        for (LISP phone = car(car(syl)); phone != NIL; phone = cdr(phone)) {
            const QString name = QString::fromLatin1(get_c_string(car(phone)));
            if (name.endsWith(u'1'))
                entry.vowel = name.chopped(1);
        }
    }
    eval("(set! vespelinda_out nil)");
    return entry;
}

bool isVowel(QChar c) { return QStringView(u"aeiouàèéìíòóùú").contains(c.toLower()); }

// The word with an accent on the vowel of its syllable `index` (counted as groups of vowels).
QString withAccent(const QString& word, int index, const QString& vowel)
{
    static const QHash<QString, QChar> accented = { { u"a"_s, u'à' }, { u"E"_s, u'è' }, { u"e"_s, u'é' },
        { u"O"_s, u'ò' }, { u"o"_s, u'ó' }, { u"i"_s, u'ì' }, { u"u"_s, u'ù' } };
    int group = -1;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (!isVowel(word[i]) || (i > 0 && isVowel(word[i - 1])))
            continue;
        if (++group != index)
            continue;
        qsizetype end = i;
        while (end < word.size() && isVowel(word[end]))
            ++end;
        qsizetype target = end - 1; // "iu": the last
        for (qsizetype j = i; j < end; ++j)
            if (QStringView(u"aeo").contains(word[j].toLower())) {
                target = j; // "ia", "uo": the open vowel
                break;
            }
        if (!accented.contains(vowel) || QStringView(u"àèéìíòóùú").contains(word[target]))
            return word;
        QString out = word;
        const QChar mark = accented.value(vowel);
        out[target] = word[target].isUpper() ? mark.toUpper() : mark;
        return out;
    }
    return word;
}

QString respelled(const QString& word, bool startsClause, QHash<QString, QString>& known)
{
    const QString key = word.toLower() + (startsClause ? u"|"_s : QString());
    if (const auto it = known.constFind(key); it != known.constEnd())
        return it->isNull() ? word : *it;
    static const char* const pronouns[] = { "gliela", "glielo", "glieli", "gliele", "gliene", "mela", "melo", "meli",
        "mele", "mene", "tela", "telo", "teli", "tele", "tene", "cela", "celo", "celi", "cele", "cene", "vela", "velo",
        "veli", "vele", "vene", "sela", "selo", "seli", "sele", "sene", "gli", "mi", "ti", "ci", "vi", "si", "lo", "la",
        "li", "le", "ne" };
    // Words its lexicon reads wrongly: a verb taken for its homograph, English words of the office.
    static const QHash<QString, QString> table = { { u"leggere"_s, u"lèggere"_s }, { u"computer"_s, u"compiùter"_s },
        { u"ok"_s, u"okèi"_s }, { u"okay"_s, u"okèi"_s }, { u"meeting"_s, u"mìtin"_s }, { u"email"_s, u"imèil"_s },
        { u"mail"_s, u"mèil"_s }, { u"password"_s, u"pàssuord"_s }, { u"weekend"_s, u"uìkend"_s },
        { u"team"_s, u"tìm"_s }, { u"manager"_s, u"mànager"_s }, { u"software"_s, u"sòftuer"_s } };
    QString result;
    const QString lower = word.toLower();
    if (const auto it = table.constFind(lower); it != table.constEnd()) {
        result = word.at(0).isUpper() ? it->left(1).toUpper() + it->mid(1) : *it;
        known.insert(key, result);
        return result;
    }
    const Lexicon itself = lookUp(lower);
    // A word the lexicon knows is left alone, but for a participle or an adjective that starts a
    // clause, where it is an imperative: "Ricordati di ...", "Preparati!", not "sono ricordati".
    if (itself.pos.isEmpty() || (startsClause && (itself.pos.contains(u"_PR"_s) || itself.pos.startsWith(u"A-"_s)))) {
        for (const char* pronoun : pronouns) {
            const QString suffix = QString::fromLatin1(pronoun);
            if (!lower.endsWith(suffix) || lower.size() < suffix.size() + 2)
                continue;
            const QString stem = lower.chopped(suffix.size());
            QStringList verbs;
            if (isVowel(stem.back()))
                verbs << stem; // ricorda-ti, dicendo-mi
            else if (stem.back() == u'r')
                verbs << stem + u'e' << stem + u"re"_s; // telefonar-mi, por-lo
            static const QStringList oneSyllable = { u"da"_s, u"di"_s, u"fa"_s, u"sta"_s, u"va"_s };
            if (stem.size() >= 3 && stem.back() == suffix.front() && oneSyllable.contains(stem.chopped(1)))
                verbs << stem.chopped(1); // dim-melo, fal-lo: a verb of one syllable, not "sul-la"
            for (const QString& verb : verbs) {
                const Lexicon base = verb == u"leggere"_s ? Lexicon { u"V-F"_s, 0, u"E"_s } : lookUp(verb);
                const bool oneSyllable = std::count_if(verb.begin(), verb.end(), isVowel) == 1;
                const bool infinitive = verb.endsWith(u"re"_s) && !stem.endsWith(u"re"_s);
                if (base.stressed < 0 || !(base.pos.startsWith(u'V') || infinitive || (oneSyllable && verb != stem)))
                    continue;
                result = withAccent(word, base.stressed, base.vowel);
                break;
            }
            if (!result.isNull())
                break;
        }
    }
    known.insert(key, result);
    return result.isNull() ? word : result;
}
} // namespace

FestivalEngine::FestivalEngine(const QString& dataDir)
    : TunableEngine(QString::fromLatin1(DefaultVoice))
    , m_dataDir(dataDir)
{
}

bool FestivalEngine::start()
{
    std::lock_guard lock(global().mutex);
    return initialise(global(), m_dataDir);
}

QString FestivalEngine::failure() const
{
    std::lock_guard lock(global().mutex);
    return global().failure;
}

QStringList FestivalEngine::voices() const
{
    std::lock_guard lock(global().mutex);
    return global().voices;
}

QList<TunableEngine::VoiceInfo> FestivalEngine::installedVoices()
{
    std::lock_guard lock(global().mutex);
    QList<VoiceInfo> list;
    if (!initialise(global(), m_dataDir))
        return list;
    for (const QString& name : std::as_const(global().voices))
        list.append({ name, name == u"lp" ? QStringLiteral("lp, donna") : QStringLiteral("pc, uomo") });
    return list;
}

bool FestivalEngine::prepare()
{
    Global& g = global();
    if (!initialise(g, m_dataDir))
        return false;
    const QString voice = g.voices.contains(tunedVoice()) ? tunedVoice() : g.voices.first();
    QuietCerr quiet;
    SchemeCall call;
    return applyTuning(g.applied, voice,
        { [&call](const QString& name) {
             const QByteArray select = "(begin (voice_" + name.toLatin1()
                 + "_diphone)"
                   " (set! vespelinda_voice_targ (car (cdr (assoc 'targ_func int_general_params))))"
                   " (set! int_general_params (list (list 'targ_func vespelinda_targ))))";
             if (eval(select.constData()))
                 return true;
             call.forgetAbandonedFrames();
             return false;
         },
            [](int rate) {
                eval(QByteArray("(Parameter.set 'Duration_Stretch " + QByteArray::number(100.0 / rate, 'f', 3) + ")")
                         .constData());
            },
            [](int pitch) {
                eval(QByteArray("(set! vespelinda_pitch " + QByteArray::number(pitch / 100.0, 'f', 3) + ")")
                         .constData());
            } });
}

Pcm FestivalEngine::synthesize(const QString& text, const std::atomic_bool& cancel)
{
    Pcm pcm;
    pcm.sampleRate = 16000;
    const QByteArray latin1 = ItalianSpeechText::forFestival(text);
    if (!hasSomethingToSay(latin1) || cancel.load()) // an empty utterance crashes Festival
        return pcm;
    Global& g = global();
    std::lock_guard lock(g.mutex);
    if (!prepare())
        return pcm;
    QuietCerr quiet;
    SchemeCall call;
    EST_Wave wave;
    if (!festival_text_to_wave(
            EST_String(ItalianSpeechText::forFestival(stressedForFestival(text)).constData()), wave)) {
        call.forgetAbandonedFrames();
        // Each failure also strands a little of the interpreter's heap: before it runs out, or if
        // the frames cannot be forgotten, Festival is left alone for the rest of the run.
        if (!g.canRepair || ++g.failures > MaxFailures) {
            g.ready = false;
            g.failure = QStringLiteral("Festival failed on too many texts to go on safely");
        }
        return pcm;
    }
    pcm.sampleRate = wave.sample_rate();
    const int count = wave.num_samples();
    // Festival surrounds a sentence with up to half a second of silence: keep a short margin after
    // it (the pause before the next piece) and almost none before it, where it would only delay the
    // first sound of a text (5 ms keeps the soft start of a fricative).
    constexpr int Quiet = 300;
    int first = 0;
    while (first < count && std::abs(wave.a_no_check(first)) < Quiet)
        ++first;
    int last = count - 1;
    while (last > first && std::abs(wave.a_no_check(last)) < Quiet)
        --last;
    if (first >= count)
        return pcm;
    first = std::max(0, first - pcm.sampleRate * 5 / 1000);
    last = std::min(count - 1, last + pcm.sampleRate * 80 / 1000);
    pcm.samples.resize(qsizetype(last - first + 1) * 2);
    auto* out = reinterpret_cast<qint16*>(pcm.samples.data());
    for (int i = first; i <= last; ++i)
        *out++ = wave.a_no_check(i);
    return pcm;
}

namespace {
// "ricordati{ri.'kor.da.ti.}" from (name (stress phone ...) ...): the stressed syllable after "'",
// each syllable ended by ".", the phones' own stress digit dropped.
QString syllabified(LISP word)
{
    QString out = QString::fromLatin1(get_c_string(car(word))) + u'{';
    for (LISP syl = cdr(word); syl != NIL; syl = cdr(syl)) {
        if (QByteArray(get_c_string(car(car(syl)))) == "1")
            out += u'\'';
        for (LISP phone = cdr(car(syl)); phone != NIL; phone = cdr(phone))
            out += QString::fromLatin1(get_c_string(car(phone))).remove(u'1');
        out += u'.';
    }
    return out + u'}';
}
} // namespace

QString FestivalEngine::stressedForFestival(const QString& text)
{
    static const QRegularExpression word(QStringLiteral(R"(\p{L}+)"));
    QString out;
    qsizetype last = 0;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        const QString before = out.trimmed();
        const bool startsClause = before.isEmpty() || QStringView(u".!?;:,(\n").contains(before.back());
        const QString w = m.captured(0);
        out += w.size() >= 2 ? respelled(w, startsClause, global().respellings) : w;
        last = m.capturedEnd();
    }
    return out + text.mid(last);
}

QStringList FestivalEngine::words(const QString& text)
{
    return analyse(text, "(set! vespelinda_out (vespelinda_words))");
}

QStringList FestivalEngine::syllables(const QString& text)
{
    return analyse(text, "(set! vespelinda_out (vespelinda_syllables))");
}

QStringList FestivalEngine::analyse(const QString& text, const char* call)
{
    QStringList words;
    const QByteArray latin1 = ItalianSpeechText::forFestival(text);
    if (!hasSomethingToSay(latin1))
        return words;
    Global& g = global();
    std::lock_guard lock(g.mutex);
    if (!prepare())
        return words;
    QuietCerr quiet;
    SchemeCall schemeCall;
    siod_set_lval("vespelinda_text", strintern(ItalianSpeechText::forFestival(stressedForFestival(text)).constData()));
    if (!eval(call)) {
        schemeCall.forgetAbandonedFrames();
        return words;
    }
    for (LISP l = siod_get_lval("vespelinda_out", nullptr); l != NIL; l = cdr(l))
        words << (CONSP(car(l)) ? syllabified(car(l)) : QString::fromLatin1(get_c_string(car(l))));
    eval("(set! vespelinda_out nil)");
    eval("(set! vespelinda_utt nil)");
    return words;
}
