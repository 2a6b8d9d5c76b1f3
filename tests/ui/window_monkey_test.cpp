// A random walk through the main window: words with spaces and odd bytes, the option boxes,
// START and STOP (also in the middle of a run), zoom drags, the wheel, every menu item with its
// dialogs answered or cancelled, resizes, saved and opened profiles, drops, and files that fail.
// Invariants are checked after every action. KELMARIN_MONKEY_SEED chooses the walk,
// KELMARIN_MONKEY_SECONDS and KELMARIN_MONKEY_ACTIONS bound it (40 s and 4,000 actions unless
// set), and KELMARIN_MONKEY_HANG_SECONDS is how long the window may take no step (60). A failed
// check, a hang or a crash prints the seed and the last actions; the same seed replays them.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "chart/chart.h"
#include "gauge/gauge.h"
#include "platform/handler_guard.h"
#include "tests/input/temp_file.h"
#include "ui/about_box.h"
#include "ui/application.h"
#include "ui/exception_display.h"
#include "ui/form1.h"
#include "ui/message_form.h"
#include "ui/results_menu.h"
#include "ui/view_menu.h"
#include "ui_form1.h"

extern "C" void __sanitizer_set_death_callback(void (*)(void)) __attribute__((weak));

namespace kelmarin {
namespace {

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

// The last actions, kept where a crash handler can write them without allocating.
class ActionLog {
  public:
    static constexpr int kKept = 40;
    void Add(std::uint64_t seed, long n, const std::string& text) {
        std::snprintf(lines_[n % kKept], sizeof lines_[0], "  #%ld %s\n", n, text.c_str());
        seed_ = seed;
        last_ = n;
    }
    std::string Text() const {
        std::string s = "seed " + std::to_string(seed_) + "; the last actions:\n";
        for (long n = std::max(0L, last_ - kKept + 1); n <= last_; ++n) s += lines_[n % kKept];
        return s;
    }
    void WriteRaw() const {
        const auto put = [](const char* s) { (void)!write(2, s, std::strlen(s)); };
        char head[96];
        std::snprintf(head, sizeof head, "\nwindow monkey died: seed %llu (replay with it)\n",
                      static_cast<unsigned long long>(seed_));
        put(head);
        for (long n = std::max(0L, last_ - kKept + 1); n <= last_; ++n) put(lines_[n % kKept]);
    }

  private:
    char lines_[kKept][200] = {};
    std::uint64_t seed_ = 0;
    long last_ = -1;
};

ActionLog actionLog;

void DumpLogAndDie(int sig) {
    actionLog.WriteRaw();
    raise(sig);  // the handler was reset: the default action follows
}

void WriteLogOnDeath() {
    struct sigaction sa {};
    sa.sa_handler = DumpLogAndDie;
    sa.sa_flags = SA_RESETHAND;
    sigaction(SIGABRT, &sa, nullptr);
    // The sanitizers report the other signals themselves, and call back before they end.
    if (__sanitizer_set_death_callback) {
        __sanitizer_set_death_callback([] { actionLog.WriteRaw(); });
        return;
    }
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) sigaction(sig, &sa, nullptr);
}

// The offscreen platform's notes on what it cannot do would drown the walk's own output.
QtMessageHandler previousHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support")))
        return;
    previousHandler(type, context, text);
}

// A gzip member with stored deflate blocks: valid, with no compressor needed.
std::string Gzip(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    crc = ~crc;
    std::string out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff", 10);
    const auto le = [&out](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 0xFF);
    };
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, data.size() - at);
        out += char(at + n == data.size() ? 1 : 0);
        le(std::uint32_t(n), 2);
        le(std::uint32_t(~n & 0xFFFF), 2);
        out.append(data, at, n);
        at += n;
    } while (at < data.size());
    le(crc, 4);
    le(std::uint32_t(data.size()), 4);
    return out;
}

class UrlCatcher : public QObject {
    Q_OBJECT
  public slots:
    void Open(const QUrl&) {}
};

// A file the walk may choose: the item it reads right with, how many sequences a whole run
// over it through that item reads (-1: not checked), and whether a run may fail on it.
struct InputFile {
    QString name;
    ReadingMode natural;
    long sequences;
    bool bad;
};

const char* const kWords[] = {"ATG",
                              "atg ",
                              " taa",
                              "t a g",
                              "",
                              "nnc",
                              "NNNN",
                              "acgt",
                              "a",
                              "ryswkmbdhvn",
                              "u",
                              "uuu",
                              "\t",
                              "é",
                              "ÿÿ",
                              "\x01",
                              "a\x7f",
                              ">",
                              "@",
                              "tata\r",
                              "gattaca",
                              "  ",
                              "ACGTACGTACGTACGTACGTAC"};

class Monkey {
  public:
    Monkey()
        : seed_(EnvNumber("KELMARIN_MONKEY_SEED", 20261209)),
          seconds_(EnvNumber("KELMARIN_MONKEY_SECONDS", 40)),
          maxActions_(long(EnvNumber("KELMARIN_MONKEY_ACTIONS", 4000))),
          hangSeconds_(long(EnvNumber("KELMARIN_MONKEY_HANG_SECONDS", 60))),
          rng_(seed_) {
        MakeFiles();
    }

    // Sessions of the program's own loop until the budget is spent; an Exit confirmed ends one.
    void Walk() {
        WriteLogOnDeath();
        previousHandler = qInstallMessageHandler(QuietHandler);
        previousSink_ = SetHandlerFailureSink(&Sink);
        current_ = this;
        UrlCatcher catcher;  // HELP > Help opens nothing outside the test
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
        std::thread watchdog([this] { Watch(); });
        start_ = std::chrono::steady_clock::now();
        while (!finished_ && failure_.empty()) {
            NewSession();
            Schedule();
            TApplication::Instance()->Run(form_.get());
            if (!finished_ && !closing_ && failure_.empty())
                Fail("the window closed with nothing asking it to");
            chain_.reset();
            form_.reset();
            ++sessions_;
        }
        walking_ = false;
        watchdog.join();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        SetHandlerFailureSink(previousSink_);
        qInstallMessageHandler(previousHandler);
        current_ = nullptr;
    }

    const std::string& Failure() const { return failure_; }
    std::string Summary() const {
        std::ostringstream s;
        s << "window monkey: seed " << seed_ << ": " << actions_ << " actions, " << runs_
          << " runs (" << wholeRuns_ << " to the end of the file), " << sessions_ << " sessions, "
          << expectedFailures_ << " failures of bad files shown";
        return s.str();
    }
    long Actions() const { return actions_; }
    long Runs() const { return runs_; }

  private:
    void NewSession() {
        chain_ = std::make_unique<QObject>();
        form_ = std::make_unique<TForm1>();
        form_->SetAboutBox(&about_);
        // Keys and clicks alike: what ends a run, or makes it skip sequences.
        QObject::connect(Ui().Button2, &QPushButton::clicked, chain_.get(),
                         [this] { stopSeen_ = true; });
        QObject::connect(Ui().StopBox, &QCheckBox::toggled, chain_.get(), [this](bool on) {
            if (on) stopBoxSeen_ = true;
        });
        // No real save or profile dialog until a step chooses a name.
        Results().ProfileSaveDialog().SetExecutor([](TSaveDialog&) { return false; });
        Results().ChartSaveDialog().SetExecutor([](TSaveDialog&) { return false; });
        profileChoice_ = QString::fromStdString((dir_.Path() / "out/none.csv").string());
        SetProfileChoice(profileChoice_);
        closing_ = false;
        boundName_ = shown_ = QString();
        resultShown_ = failed_ = false;
    }

    void SetProfileChoice(const QString& name) {
        profileChoice_ = name;
        Results().ProfileOpenDialog().SetExecutor([name](TOpenDialog& d) {
            d.SetFileName(name);
            return true;
        });
    }

    // ---- files

    void MakeFiles() {
        std::string text, fasta, fastq;
        for (int i = 0; i < 3000; ++i) text += RandomBases(20 + Below(120)) + "\n";
        for (int i = 0; i < 60; ++i) {
            fasta += ">r" + std::to_string(i) + " some header\n";
            for (int l = 0, n = 1 + Below(5); l < n; ++l)
                fasta += RandomBases(1 + Below(70)) + "\n";
        }
        for (int i = 0; i < 400; ++i) {
            const std::string s = RandomBases(30 + Below(60));
            fastq +=
                "@q" + std::to_string(i) + "\n" + s + "\n+\n" + std::string(s.size(), 'I') + "\n";
        }
        const auto add = [this](const std::string& n, const std::string& bytes, ReadingMode d,
                                long count, bool bad) {
            files_.push_back({QString::fromStdString(dir_.Write(n, bytes)), d, count, bad});
        };
        add("reads.txt", text, ReadingMode::Text, 3000, false);
        // Past the run buffer's 4,096,000 bytes: reads come from more than one fill.
        std::string big;
        for (int i = 0; i < 30000; ++i) {
            const std::string s = RandomBases(100 + Below(120));
            big +=
                "@b" + std::to_string(i) + "\n" + s + "\n+\n" + std::string(s.size(), '5') + "\n";
        }
        add("big.fq", big, ReadingMode::Fastq, 30000, false);
        add("big.fq.gz", Gzip(big), ReadingMode::Fastq, 30000, false);
        add("multi.fa", fasta, ReadingMode::Fasta, 60, false);
        add("reads.fq", fastq, ReadingMode::Fastq, 400, false);
        add("reads.fq.gz", Gzip(fastq), ReadingMode::Fastq, 400, false);
        add("long.txt", RandomBases(200000) + "\nacgt\n" + RandomBases(70000) + "\n",
            ReadingMode::Text, 3, false);
        add("empty.txt", "", ReadingMode::Text, -1, false);
        add("crlf.txt", "ACGT\r\nTTAGG\r\nnnnn\r\n", ReadingMode::Text, -1, false);
        std::string odd;
        for (int b = 0; b < 256; ++b)
            if (b != '\n') odd += char(b);
        add("odd.txt", odd + "\n" + odd + "\n", ReadingMode::Text, -1, false);
        add("noplus.fq", "@a\nACGT\nIIII\n@b\nACGT\n+\nIIII\n", ReadingMode::Fastq, -1, true);
        add("cut.fq", fastq.substr(0, fastq.size() / 2 + 3), ReadingMode::Fastq, -1, true);
        add("corrupt.fq.gz", std::string("\x1f\x8b\x08\x00\0\0\0\0\0\xff", 10) + "garbage!!",
            ReadingMode::Fastq, -1, true);
        const std::string gz = Gzip(fasta);
        add("cut.fa.gz", gz.substr(0, gz.size() / 2), ReadingMode::Fasta, -1, true);
        add("victim.txt", text, ReadingMode::Text, -1, true);
        victim_ = files_.back().name;
        victimText_ = text;
        files_.push_back({QString::fromStdString((dir_.Path() / "missing.fa").string()),
                          ReadingMode::Fasta, -1, true});
        std::filesystem::create_directory(dir_.Path() / "folder");
        files_.push_back({QString::fromStdString((dir_.Path() / "folder").string()),
                          ReadingMode::Text, -1, true});
        for (const char* e : {"coding.fa", "coding.txt", "mixed.txt"}) {
            std::ifstream in(std::string(KELMARIN_EXAMPLES_DIR "/") + e, std::ios::binary);
            std::stringstream ss;
            ss << in.rdbuf();
            add(e, ss.str(), e[7] == 'f' ? ReadingMode::Fasta : ReadingMode::Text, -1, false);
        }
        std::filesystem::create_directory(dir_.Path() / "out");
        dir_.Write("out/bad.csv", "word,1,2\nnot a number\n");
    }

    std::string RandomBases(int n) {
        static const char kBases[] = "ACGTacgtNRY";
        std::string s(std::size_t(n), 'a');
        for (char& c : s) c = kBases[Below(Below(10) ? 4 : 11)];
        return s;
    }

    // ---- the chain of steps: one pending at a time, run wherever events are handled, so that
    // a step lands inside a run or a modal dialog that an earlier step started.

    void Schedule() {
        QTimer::singleShot(0, chain_.get(), [this] { Step(); });
    }

    void Step() {
        // After a confirmed Exit the window closes, and the loop ends.
        if (finished_ || (closing_ && !form_->isVisible())) return;
        Check();
        if (!failure_.empty()) return End();
        Schedule();
        ++steps_;
        // How often a step comes in a wait depends on the clock: none acts, so that a seed
        // replays the same walk.
        if (pausing_) return;
        if (QWidget* popup = QApplication::activePopupWidget())
            return Act("popup", [&] { ActOnPopup(popup); });
        if (QWidget* modal = QApplication::activeModalWidget())
            return Act("answer", [&] { Answer(modal); });
        const bool spent = actions_ >= maxActions_ || std::chrono::steady_clock::now() - start_ >
                                                          std::chrono::seconds(seconds_);
        if (spent && !windingDown_) {
            windingDown_ = true;
            windDownSteps_ = 0;
        }
        if (windingDown_) {
            if (++windDownSteps_ > 5000) return Fail("the window does not get back to idle");
            if (Running()) return Act("STOP (winding down)", [&] { Click(Ui().Button2); });
            if (depth_ == 0) return End();
            return;
        }
        // Some runs are left to go far, some to the end of their file.
        if (Running() && Below(1000) >= runActivity_) return;
        RandomAction();
    }

    void End() {
        finished_ = true;
        RequestTermination();
    }

    template <typename F>
    void Act(const std::string& what, F&& f) {
        ++actions_;
        // Where it happened: in which session, and inside how many actions still under way.
        actionLog.Add(
            seed_, actions_,
            "[s" + std::to_string(sessions_) + " d" + std::to_string(depth_) + "] " + what);
        ++depth_;
        f();
        --depth_;
        // The action that was closing the program is over and the window stays: a failure in
        // the events before the close ended the exit, and a later Exit asks again.
        if (closing_ && depth_ < closingLevel_ && form_->isVisible()) closing_ = false;
    }

    // ---- invariants

    void Check() {
        if (!form_->isVisible() && !closing_) return Fail("the window is not visible");
        if (lastAnswered_ && lastAnswered_->isVisible())
            return Fail("a dialog stayed open after it was answered");
        if (Running() && depth_ == 0) return Fail("a run is going on that no START began");
        if (Running() &&
            (Results().SaveProfile1().isEnabled() || Results().OpenProfile1().isEnabled()))
            return Fail("a results item is enabled during a run");
        if (depth_ == 0 && form_->windowTitle() != ExpectedTitle())
            return Fail("the title is \"" + form_->windowTitle().toStdString() + "\", not \"" +
                        ExpectedTitle().toStdString() + "\"");
    }

    QString ExpectedTitle() const {
        QString file = QFileInfo(shown_).fileName();
        if (failed_) file += QStringLiteral(" (failed)");
        return file.isEmpty() ? baseTitle_ : file + QStringLiteral(" — ") + baseTitle_;
    }

    void Fail(const std::string& what) {
        if (failure_.empty()) failure_ = what + "\n" + actionLog.Text();
    }

    static void Sink(std::exception_ptr failure) {
        Monkey& m = *current_;
        const std::string text = FailureMessage(failure).toStdString();
        // A failure that pending events handed back to their caller comes again from there.
        const bool again =
            std::find(m.allowed_.begin(), m.allowed_.end(), failure) != m.allowed_.end();
        if (m.allowFailure_ > 0 && !again) m.allowed_.push_back(failure);
        if (m.allowed_.size() > 16) m.allowed_.erase(m.allowed_.begin());
        if (m.allowFailure_ == 0 && !again)
            m.Fail("a failure reached the error sink unexpectedly: " + text);
        else if (text.empty())
            m.Fail("a failure with no message reached the error sink");
        else
            ++m.expectedFailures_;
        ++m.failures_;
        m.previousSink_(failure);
    }

    void Watch() {
        long seen = -1;
        int still = 0;
        while (walking_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            const long now = steps_;
            still = now == seen ? still + 1 : 0;
            seen = now;
            if (still > 4 * hangSeconds_) {
                std::fprintf(stderr, "window monkey: no step for %ld s, a hang\n", hangSeconds_);
                std::abort();  // the handler writes the log
            }
        }
    }

    // ---- actions

    Ui::Form1& Ui() { return form_->Controls(); }
    TResultsMenu& Results() { return form_->Results(); }
    bool Running() { return form_->Controller().Running(); }
    int Below(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng_)); }
    bool OneIn(int n) { return Below(n) == 0; }
    template <typename T>
    const T& Pick(const std::vector<T>& v) {
        return v[std::size_t(Below(int(v.size())))];
    }

    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

    void RandomAction() {
        struct Choice {
            int weight;
            void (Monkey::*action)();
        };
        static const Choice kChoices[] = {
            {14, &Monkey::TypeWord},    {9, &Monkey::ToggleBox},   {10, &Monkey::Start},
            {8, &Monkey::Stop},         {10, &Monkey::ChooseFile}, {6, &Monkey::ZoomDrag},
            {4, &Monkey::Wheel},        {3, &Monkey::Resize},      {5, &Monkey::PopUpMenu},
            {3, &Monkey::SaveProfile},  {3, &Monkey::SaveChart},   {4, &Monkey::OpenProfile},
            {2, &Monkey::Copy},         {1, &Monkey::HelpOrInfo},  {2, &Monkey::Exit},
            {3, &Monkey::Key},          {2, &Monkey::Drop},        {2, &Monkey::ShrinkVictim},
            {1, &Monkey::ContextMenu},  {1, &Monkey::TypeCounter}, {2, &Monkey::Pause},
            {2, &Monkey::MenuBarClick}, {1, &Monkey::DoubleClick}, {4, &Monkey::ViewOrCompare}};
        int total = 0;
        for (const Choice& c : kChoices) total += c.weight;
        int r = Below(total);
        for (const Choice& c : kChoices) {
            if (r < c.weight) return (this->*c.action)();
            r -= c.weight;
        }
    }

    void TypeWord() {
        const int box = 2 + Below(4);
        std::string word = kWords[Below(int(std::size(kWords)))];
        if (OneIn(8)) word = RandomBases(1 + Below(OneIn(4) ? 3000 : 12));
        QLineEdit& edit = form_->Edit(box);
        const QString text = QString::fromUtf8(word.data(), qsizetype(word.size()));
        // Keys exist for printable ASCII only.
        const bool typable =
            std::all_of(word.begin(), word.end(), [](char c) { return c >= ' ' && c <= '~'; });
        if (typable && word.size() < 40 && OneIn(3)) {
            Act("type \"" + word.substr(0, 30) + "\" into Edit" + std::to_string(box), [&] {
                Click(&edit);
                edit.selectAll();
                QTest::keyClicks(&edit, text);
            });
        } else {
            Act("set Edit" + std::to_string(box) + " to \"" + word.substr(0, 30) + "\"",
                [&] { edit.setText(text); });
        }
    }

    void TypeCounter() {
        if (Running()) return;  // the run's refreshes own the counter
        Act("type into Edit1", [&] { QTest::keyClicks(&form_->Edit(1), QStringLiteral("12x")); });
    }

    void ToggleBox() {
        QCheckBox* boxes[] = {Ui().frame, Ui().StopBox, Ui().IupacBox, Ui().StrandsBox};
        QCheckBox* box = boxes[Below(4)];
        Act("click " + box->objectName().toStdString(), [&] { Click(box); });
    }

    void Start() {
        if (Running()) return Act("START during the run", [&] { Click(Ui().Button1); });
        const InputFile* bound = Bound();
        const bool risky = !bound || bound->bad || bound->natural != boundMode_;
        if (bound && bound->name == victim_) dir_.Write("victim.txt", victimText_);
        stopSeen_ = exitConfirmed_ = endSeen_ = false;
        stopBoxSeen_ = Ui().StopBox->isChecked();
        const long failures = failures_;
        const long frames = form_->Display().FramesShown();
        const bool exiting = closing_;
        allowFailure_ += risky;
        const bool byKey = OneIn(5);
        const int activities[] = {1000, 1000, 100, 10, 0};
        runActivity_ = activities[Below(int(std::size(activities)))];
        Act(std::string("START") + (byKey ? " (key)" : ""), [&] {
            if (byKey) {
                Ui().Button1->setFocus(Qt::TabFocusReason);
                QTest::keyClick(Ui().Button1, Qt::Key_Space);
            } else {
                Click(Ui().Button1);
            }
        });
        allowFailure_ -= risky;
        const bool began = form_->Display().FramesShown() != frames;
        if (exiting && began) return Fail("a run began after the exit was confirmed");
        if (closing_ || !began) return;
        ++runs_;
        if (Running()) return Fail("the run goes on after START returned");
        // A run's result is named, marked when the run failed (not when a step among its events
        // did); one stopped before its first refresh leaves an empty chart, which the next file
        // bound names.
        Shows(boundName_, form_->Controller().ShownRunFailed());
        resultShown_ = failed_ || form_->Controller().ShownProfile().has_value();
        if (failed_ && failures_ == failures) return Fail("a run failed with no error shown");
        if (failures_ != failures || stopSeen_ || exitConfirmed_) return;
        if (!endSeen_) return Fail("a run ended with no STOP, failure or END PROCESSING");
        ++wholeRuns_;
        if (bound && !risky && bound->sequences >= 0 && !stopBoxSeen_ &&
            form_->Edit(1).text() != QString::number(bound->sequences))
            Fail("the counter shows " + form_->Edit(1).text().toStdString() + " after a run over " +
                 bound->name.toStdString() + ", not " + std::to_string(bound->sequences));
        if (form_->barra().Progress() != 100) Fail("the gauge is not full at the end of the file");
    }

    const InputFile* Bound() const {
        for (const InputFile& f : files_)
            if (f.name == boundName_) return &f;
        return nullptr;
    }

    void Stop() {
        Act(std::string("STOP") + (Running() ? " during the run" : ""),
            [&] { Click(Ui().Button2); });
    }

    // A name the open dialogs bind: the model of the title follows FileExists.
    void NoteBound(const QString& name, ReadingMode d) {
        if (name.isEmpty() || !QFileInfo(name).isFile()) return;
        boundName_ = name;
        boundMode_ = d;
        // The title names the result shown; only before any does it name the file bound.
        if (!resultShown_) shown_ = name;
    }

    void ChooseFile() {
        const ReadingMode d = ReadingMode(Below(3) + 1);
        QAction* items[] = {Ui().text, Ui().Fasta, Ui().Fastq};
        TOpenDialog& dialog = form_->Dialog(d);
        const InputFile& file = Pick(files_);
        const int how = Below(20);
        std::string what = "Open file > " + items[int(d) - 1]->text().toStdString();
        if (how == 0) {
            dialog.SetExecutor({});  // the real dialog: a later step answers it
            what += ", the real dialog";
        } else if (how < 3) {
            dialog.SetExecutor([](TOpenDialog&) { return false; });
            what += ", cancelled";
        } else {
            dialog.SetExecutor([name = file.name](TOpenDialog& od) {
                od.SetFileName(name);
                return true;
            });
            what += ": " + QFileInfo(file.name).fileName().toStdString();
        }
        const bool idle = !Running();
        Act(what, [&] { items[int(d) - 1]->trigger(); });
        if (idle) NoteBound(dialog.FileName(), d);
    }

    QPoint ChartPoint() {
        const QSize s = form_->grafico().size();
        return {Below(s.width() + 40) - 20, Below(s.height() + 40) - 20};
    }

    void ZoomDrag() {
        TChart& chart = form_->grafico();
        const QPoint a = ChartPoint(),
                     b = OneIn(3) ? a + QPoint(Below(9) - 4, Below(9) - 4) : ChartPoint();
        const bool leaveHeld = OneIn(6);
        Act("zoom drag " + std::to_string(a.x()) + "," + std::to_string(a.y()) + " to " +
                std::to_string(b.x()) + "," + std::to_string(b.y()) + (leaveHeld ? ", held" : ""),
            [&] {
                if (held_) QTest::mouseRelease(&chart, Qt::LeftButton, {}, a);
                QTest::mousePress(&chart, Qt::LeftButton, {}, a);
                QTest::mouseMove(&chart, (a + b) / 2);
                QTest::mouseMove(&chart, b);
                if (!leaveHeld) QTest::mouseRelease(&chart, Qt::LeftButton, {}, b);
            });
        held_ = leaveHeld;
    }

    void Wheel() {
        const int deltas[] = {120, -120, 60, -60, 480, -1200, 15};
        const int delta = deltas[Below(int(std::size(deltas)))];
        const QPoint p = ChartPoint();
        Act("wheel " + std::to_string(delta), [&] {
            QWheelEvent e(p, form_->grafico().mapToGlobal(p), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&form_->grafico(), &e);
        });
    }

    void Resize() {
        const QSize s(200 + Below(1300), 150 + Below(1000));
        Act("resize to " + std::to_string(s.width()) + "x" + std::to_string(s.height()),
            [&] { form_->resize(s); });
    }

    void PopUpMenu() {
        QMenu* menus[] = {Ui().APRI1, Ui().APRI2, &Results().EDIT1(), Ui().INFO1};
        QMenu* menu = menus[Below(4)];
        Act("pop up " + menu->title().trimmed().toStdString(),
            [&] { menu->popup(form_->mapToGlobal(QPoint(20, 20))); });
    }

    void ContextMenu() {
        const QPoint p = ChartPoint();
        Act("context menu on the chart", [&] {
            QContextMenuEvent e(QContextMenuEvent::Mouse, p, form_->grafico().mapToGlobal(p));
            QApplication::sendEvent(&form_->grafico(), &e);
        });
    }

    void ActOnPopup(QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        QList<QAction*> items;
        if (menu)
            for (QAction* a : menu->actions())
                if (a->isVisible() && !a->isSeparator()) items << a;
        if (!menu || items.isEmpty() || OneIn(3)) {
            actionLog.Add(seed_, actions_, "  Esc on the menu");
            QTest::keyClick(popup, Qt::Key_Escape);
            return;
        }
        QAction* a = items[Below(int(items.size()))];
        actionLog.Add(seed_, actions_, "  its item " + a->text().trimmed().toStdString());
        const bool idle = !Running();
        const ReadingMode dialogs[] = {ReadingMode::Text, ReadingMode::Fasta, ReadingMode::Fastq};
        QAction* opens[] = {Ui().text, Ui().Fasta, Ui().Fastq};
        const bool results = a == &Results().SaveProfile1() || a == &Results().SaveChart1() ||
                             a == &Results().SaveStatistics1() || a == &Results().OpenProfile1() ||
                             a == &Results().CompareOpen1();
        const bool opensProfile = a == &Results().OpenProfile1() && a->isEnabled();
        const long failures = failures_;
        allowFailure_ += results;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
        allowFailure_ -= results;
        if (opensProfile && failures_ == failures && !closing_) Shows(profileChoice_, false);
        for (int i = 0; i < 3; ++i)
            if (a == opens[i] && idle && a->isEnabled())
                NoteBound(form_->Dialog(dialogs[i]).FileName(), dialogs[i]);
    }

    void Answer(QWidget* modal) {
        if (auto* form = qobject_cast<TMessageForm*>(modal)) return AnswerMessage(form);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            actionLog.Add(seed_, actions_, "  error box: " + box->text().toStdString());
            lastAnswered_ = box;
            if (OneIn(2))
                QTest::keyClick(box, Qt::Key_Escape);
            else
                Click(box->button(QMessageBox::Ok));
            return;
        }
        if (auto* files = qobject_cast<QFileDialog*>(modal)) return AnswerFileDialog(files);
        actionLog.Add(seed_, actions_, "  closed " + modal->objectName().toStdString());
        modal->close();
    }

    void AnswerMessage(TMessageForm* form) {
        const auto* label = form->findChild<QLabel*>(QStringLiteral("Message"));
        const QString text = label ? label->text() : QString();
        lastAnswered_ = form;
        if (text == QStringLiteral("END PROCESSING !")) endSeen_ = true;
        // Shown only after a confirmed Exit: the window closes once it is answered.
        if (text == QStringLiteral("Closing application")) {
            closing_ = true;
            closingLevel_ = depth_ - 1;  // the action this answer runs inside
        }
        QList<QPushButton*> buttons;
        for (QPushButton* b : form->findChildren<QPushButton*>())
            if (b->isVisible()) buttons << b;
        std::string how;
        if (text.startsWith(QStringLiteral("You are closing"))) {
            const bool yes = OneIn(12);
            how = yes ? "Yes" : "No";
            if (yes) exitConfirmed_ = true;
            Click(form->findChild<QPushButton*>(QString::fromLatin1(yes ? "Yes" : "No")));
        } else if (OneIn(6)) {
            // Keys: the default and focused buttons, and the access letters.
            const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Space, Qt::Key_Y, Qt::Key_N,
                                    Qt::Key_A,      Qt::Key_R,     Qt::Key_I, Qt::Key_Right};
            const Qt::Key key = keys[Below(int(std::size(keys)))];
            how = "key " + QKeySequence(key).toString().toStdString();
            lastAnswered_ = nullptr;  // a key a dialog has no use for leaves it open
            QTest::keyClick(form->focusWidget() ? form->focusWidget() : form, key);
        } else if (OneIn(5) || buttons.isEmpty()) {
            how = "Esc";
            // Esc presses Cancel, No or OK: a dialog with none of them stays.
            if (!form->Button(mbCancel) && !form->Button(mbNo) && !form->Button(mbOK))
                lastAnswered_ = nullptr;
            QTest::keyClick(form, Qt::Key_Escape);
        } else {
            QPushButton* b = buttons[Below(int(buttons.size()))];
            how = b->objectName().toStdString();
            Click(b);
        }
        actionLog.Add(seed_, actions_, "  \"" + text.toStdString().substr(0, 80) + "\": " + how);
    }

    void AnswerFileDialog(QFileDialog* dialog) {
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        if (OneIn(3) || !buttons) {
            actionLog.Add(seed_, actions_, "  file dialog: Cancel");
            dialog->reject();
            return;
        }
        // Nothing the walk reads is written over.
        const QString name = dialog->acceptMode() == QFileDialog::AcceptSave
                                 ? QString::fromStdString((dir_.Path() / "out/real").string())
                                 : Pick(files_).name;
        actionLog.Add(seed_, actions_, "  file dialog: " + name.toStdString());
        if (auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            box->setText(name);
        QPushButton* accept = buttons->button(QDialogButtonBox::Open);
        if (!accept) accept = buttons->button(QDialogButtonBox::Save);
        if (accept && accept->isEnabled())
            Click(accept);
        else
            dialog->reject();
    }

    void Save(TSaveDialog& dialog, QAction& item, const std::vector<std::string>& names,
              int entries, bool profile) {
        const std::string chosen = Pick(names);
        const QString name = QString::fromStdString((dir_.Path() / "out" / chosen).string());
        const int entry = 1 + Below(entries);
        const bool cancel = OneIn(8);
        dialog.SetExecutor([=](TSaveDialog& d) {
            if (cancel) return false;
            d.SetFileName(name);
            d.SetFilterIndex(entry);
            return true;
        });
        TSaveDialog probe = dialog;
        probe.SetFileName(name);
        probe.SetFilterIndex(entry);
        const QString target = probe.NameToWrite();
        const bool existed = QFileInfo::exists(target);
        const bool risky = chosen.find('/') != std::string::npos;
        const bool enabled = item.isEnabled();
        const long failures = failures_;
        allowFailure_ += risky;
        Act(item.text().toStdString() + (cancel ? " cancelled" : " as " + chosen),
            [&] { item.trigger(); });
        allowFailure_ -= risky;
        if (cancel || !enabled || failures_ != failures || closing_) return;
        if (!existed && !QFileInfo(target).isFile())
            Fail("nothing was written to " + target.toStdString());
        else if (profile && !existed)
            profiles_.insert(target);
    }

    void SaveProfile() {
        Save(Results().ProfileSaveDialog(), Results().SaveProfile1(),
             {"profile", "profile.csv", "p2.CSV", "nodir/x.csv"}, 2, true);
    }

    void SaveChart() {
        Save(Results().ChartSaveDialog(), Results().SaveChart1(),
             {"chart", "chart.png", "chart.svg", "chart.pdf", "chart.jpg", "nodir/c.png"}, 3,
             false);
    }

    void OpenProfile() {
        std::vector<QString> names(profiles_.begin(), profiles_.end());
        for (const char* n : {"out/bad.csv", "out/chart.png", "out/none.csv", "reads.txt"})
            names.push_back(QString::fromStdString((dir_.Path() / n).string()));
        const QString name = Pick(names);
        const bool risky = !profiles_.count(name);
        SetProfileChoice(name);
        const bool enabled = Results().OpenProfile1().isEnabled();
        const long failures = failures_;
        allowFailure_ += risky;
        Act("Open profile " + QFileInfo(name).fileName().toStdString(),
            [&] { Results().OpenProfile1().trigger(); });
        allowFailure_ -= risky;
        if (enabled && failures_ == failures && !closing_) Shows(name, false);
    }

    // VIEW's items and FILE › Compare with profile, during a run as after it.
    void ViewOrCompare() {
        if (OneIn(3)) {
            std::vector<QString> names(profiles_.begin(), profiles_.end());
            names.push_back(QString::fromStdString((dir_.Path() / "out/bad.csv").string()));
            const QString name = Pick(names);
            Results().CompareOpenDialog().SetExecutor([name](TOpenDialog& d) {
                d.SetFileName(name);
                return true;
            });
            ++allowFailure_;  // its words may not be the boxes': refused with the reason
            Act("Compare with " + QFileInfo(name).fileName().toStdString(),
                [&] { Results().CompareOpen1().trigger(); });
            --allowFailure_;
            return;
        }
        if (OneIn(4)) return Act("Compare with None", [&] { Results().CompareNone1().trigger(); });
        TViewMenu& view = form_->View();
        QAction* items[] = {&view.ExpectedProfile1(),
                            &view.MarkBiased1(),
                            &view.ScaleItem(ProfileScale::Counts),
                            &view.ScaleItem(ProfileScale::PerThousand),
                            &view.ScaleItem(ProfileScale::Share),
                            &view.ScaleItem(ProfileScale::Ratio)};
        QAction* a = items[Below(int(std::size(items)))];
        Act("VIEW > " + a->text().toStdString(), [&] { a->trigger(); });
    }

    void Copy() {
        if (OneIn(2)) return Act("EDIT > Copy", [&] { Results().Copy1().trigger(); });
        Act("Ctrl+C on the chart", [&] {
            Click(&form_->grafico());
            QTest::keyClick(&form_->grafico(), Qt::Key_C, Qt::ControlModifier);
        });
    }

    void HelpOrInfo() {
        if (about_.isVisible() && OneIn(2))
            return Act("about box OK",
                       [&] { Click(about_.findChild<QPushButton*>(QStringLiteral("OKButton"))); });
        QAction* a = OneIn(2) ? Ui().Help1 : Ui().Info2;
        Act("HELP > " + a->text().toStdString(), [&] { a->trigger(); });
    }

    void Exit() {
        Act(std::string("Exit") + (Running() ? " during the run" : ""),
            [&] { Ui().Exit1->trigger(); });
    }

    void Key() {
        const Qt::Key keys[] = {Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Return,   Qt::Key_Space,
                                Qt::Key_Escape, Qt::Key_A,       Qt::Key_Backspace};
        const Qt::Key key = keys[Below(int(std::size(keys)))];
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form_.get();
        const bool start =
            !Running() && target == Ui().Button1 && (key == Qt::Key_Return || key == Qt::Key_Space);
        if (start) return Start();  // a run begins: its checks come with it
        Act("key " + QKeySequence(key).toString().toStdString() + " on " +
                target->objectName().toStdString(),
            [&] { QTest::keyClick(target, key); });
    }

    void Drop() {
        const InputFile& file = Pick(files_);
        const bool idle = !Running();
        Act("drop " + QFileInfo(file.name).fileName().toStdString(), [&] {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(file.name)});
            const QPoint p(300, 300);
            QDragEnterEvent enter(p, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &enter);
            QDropEvent drop(p, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &drop);
        });
        if (!idle) return;
        const std::string n = file.name.toStdString();
        const QString lower = file.name.toLower();
        const ReadingMode d = lower.endsWith(".fq") || lower.endsWith(".fq.gz") ? ReadingMode::Fastq
                              : lower.endsWith(".fa") || lower.endsWith(".fa.gz")
                                  ? ReadingMode::Fasta
                                  : ReadingMode::Text;
        NoteBound(file.name, d);
    }

    // Real time passes: timers of the window and of Qt get their turn.
    void Pause() {
        const int ms = Below(300);
        Act("wait " + std::to_string(ms) + " ms", [&] {
            pausing_ = true;
            QTest::qWait(ms);
            pausing_ = false;
        });
    }

    void MenuBarClick() {
        QMenu* menus[] = {Ui().APRI1, &Results().EDIT1(), Ui().INFO1};
        QMenu* menu = menus[Below(3)];
        QMenuBar* bar = form_->menuBar();
        Act("click " + menu->title().trimmed().toStdString() + " in the menu bar", [&] {
            QTest::mouseClick(bar, Qt::LeftButton, {},
                              bar->actionGeometry(menu->menuAction()).center());
        });
    }

    void DoubleClick() {
        const QPoint p = ChartPoint();
        Act("double click on the chart", [&] {
            QTest::mouseDClick(&form_->grafico(), OneIn(2) ? Qt::LeftButton : Qt::RightButton, {},
                               p);
        });
    }

    // The file of a run shrinks under it.
    void ShrinkVictim() {
        if (!Running() || boundName_ != victim_) return;
        Act("victim.txt shrinks",
            [&] { dir_.Write("victim.txt", victimText_.substr(0, victimText_.size() / 3)); });
    }

    std::uint64_t seed_;
    long seconds_;
    long maxActions_;
    long hangSeconds_;
    std::mt19937_64 rng_;
    test::TempDir dir_;
    std::vector<InputFile> files_;
    QString victim_;
    std::string victimText_;
    std::set<QString> profiles_;

    TAboutBox about_;
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<QObject> chain_;
    QString baseTitle_ = TForm1().windowTitle();
    static inline Monkey* current_ = nullptr;
    HandlerFailureSink previousSink_ = nullptr;

    std::chrono::steady_clock::time_point start_;
    std::atomic<long> steps_{0};
    std::atomic<bool> walking_{true};
    long actions_ = 0, runs_ = 0, wholeRuns_ = 0, sessions_ = 0, expectedFailures_ = 0,
         windDownSteps_ = 0;
    int depth_ = 0;  // actions under way: a step may run inside one that waits
    int closingLevel_ = 0;
    int allowFailure_ = 0;
    int runActivity_ = 1000;  // in a thousand steps of a run, how many act
    bool finished_ = false, windingDown_ = false, closing_ = false, held_ = false;
    long failures_ = 0;                        // that reached the sink
    std::vector<std::exception_ptr> allowed_;  // the last ones that came from bad files
    bool stopSeen_ = false, exitConfirmed_ = false, endSeen_ = false;
    bool stopBoxSeen_ = false, pausing_ = false;
    QPointer<QWidget> lastAnswered_;
    // The model of what the title names: the file bound last, or the profile opened last.
    void Shows(const QString& name, bool failed) {
        shown_ = name;
        resultShown_ = true;
        failed_ = failed;
    }

    QString boundName_, shown_, profileChoice_;
    bool resultShown_ = false, failed_ = false;
    ReadingMode boundMode_ = ReadingMode::Text;
    std::string failure_;
};

TEST(WindowMonkeyTest, RandomActionsKeepTheWindowWorking) {
    Monkey monkey;
    monkey.Walk();
    std::cout << monkey.Summary() << std::endl;
    EXPECT_TRUE(monkey.Failure().empty()) << monkey.Failure();
    EXPECT_GT(monkey.Runs(), 0) << "the walk began no run";
}

}  // namespace
}  // namespace kelmarin

#include "window_monkey_test.moc"
