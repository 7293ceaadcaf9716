// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/FestivalEngine.h"

#include "speech/ItalianSpeechText.h"
#include "speech/SpeechLog.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <festival/festival.h>
#include <iostream>
#include <mutex>
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
    eval("(define (vespelinda_words)"
         "  (let ((utt (utt.synth (eval (list 'Utterance 'Text vespelinda_text)))))"
         "    (mapcar item.name (utt.relation.items utt 'Word))))");
    // A word and its syllables: the stressed one after "'", each ended by "."; the phones' own
    // stress digit dropped.
    eval("(define (vespelinda_syllabified word)"
         "  (let ((out (string-append (item.name word) \"{\")))"
         "    (mapcar (lambda (syl)"
         "              (if (string-equal (item.feat syl \"stress\") \"1\") (set! out (string-append out \"'\")))"
         "              (mapcar (lambda (phone)"
         "                        (set! out (string-append out (string-before (string-append (item.name phone) \"1\") "
         "\"1\"))))"
         "                      (item.daughters syl))"
         "              (set! out (string-append out \".\")))"
         "            (item.daughters (item.relation word 'SylStructure)))"
         "    (string-append out \"}\")))");
    eval("(define (vespelinda_syllables)"
         "  (let ((utt (utt.synth (eval (list 'Utterance 'Text vespelinda_text)))))"
         "    (mapcar vespelinda_syllabified (utt.relation.items utt 'Word))))");
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
    if (!festival_text_to_wave(EST_String(latin1.constData()), wave)) {
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
    // Festival surrounds a sentence with up to half a second of silence: keep a short margin.
    constexpr int Quiet = 300;
    int first = 0;
    while (first < count && std::abs(wave.a_no_check(first)) < Quiet)
        ++first;
    int last = count - 1;
    while (last > first && std::abs(wave.a_no_check(last)) < Quiet)
        --last;
    if (first >= count)
        return pcm;
    first = std::max(0, first - pcm.sampleRate * 30 / 1000);
    last = std::min(count - 1, last + pcm.sampleRate * 80 / 1000);
    pcm.samples.resize(qsizetype(last - first + 1) * 2);
    auto* out = reinterpret_cast<qint16*>(pcm.samples.data());
    for (int i = first; i <= last; ++i)
        *out++ = wave.a_no_check(i);
    return pcm;
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
    siod_set_lval("vespelinda_text", strintern(latin1.constData()));
    if (!eval(call)) {
        schemeCall.forgetAbandonedFrames();
        return words;
    }
    for (LISP l = siod_get_lval("vespelinda_out", nullptr); l != NIL; l = cdr(l))
        words << QString::fromLatin1(get_c_string(car(l)));
    eval("(set! vespelinda_out nil)");
    return words;
}
