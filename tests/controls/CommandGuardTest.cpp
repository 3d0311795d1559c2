#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <functional>
#include <new>
#include <stdexcept>

#include "TraceCapture.h"
#include "base/CTraceCode.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "controls/BusyPointer.h"
#include "controls/CommandGuard.h"

using namespace voltaris;
using namespace voltaris::controls;

namespace {

using Icon = UserMessages::Icon;

// Records, with each message, whether a busy pointer was still on when it was shown.
class PointerProbe : public RecordingMessages {
public:
    void show(Icon icon, const QString& title, const QString& text) override {
        busyWhenShown << (HourGlassOn() || QApplication::overrideCursor() != nullptr);
        RecordingMessages::show(icon, title, text);
    }
    QList<bool> busyWhenShown;
};

QString unexpected() {
    return FormatResString(2910, g_Trace().BugFileName());
}

struct GuardForm {
    QWidget window;
    GuardForm() { window.setObjectName("FMain"); }
};

}  // namespace

TEST(RunCommand, EachKindOfFailureIsReportedOnceAndTheProgramGoesOn) {
    struct Case {
        const char* what;
        std::function<void()> command;
        bool result;
        // The boxes the user sees: none, or one with the error icon and the program's title,
        // or the failed check's own box (shown by the check, not by the guard).
        int boxes;
        QString title;
        QString text;
        QString traceHas;
    };
    const QString program = ResString(301);
    const Case cases[] = {
        {"ends normally", [] {}, true, 0, {}, {}, {}},
        {"archive error", [] { throw VoltarisError("The table CAlarm1 lacks configuration 7."); },
         false, 1, program, "The table CAlarm1 lacks configuration 7.",
         "Comando interrotto in FMain: The table CAlarm1 lacks configuration 7."},
        {"file error", [] { throw IoError("Cannot write /data/a.ZLA: disk full"); }, false, 1,
         program, "Cannot write /data/a.ZLA: disk full", "disk full"},
        {"program error", [] { HourGlass(nullptr); }, false, 1, program,
         "HourGlass: Object doesn't have mouse pointer", "errore -2147208503"},
        {"failed check with text", [] { g_Trace().BugAssert(false, "Riga mancante"); }, false, 1,
         CTraceCode::AssertTitle(), "Riga mancante", "dopo un controllo fallito: Riga mancante"},
        {"failed check without text",
         [] { g_Trace().BugAssert(false, ""); },
         false,
         0,
         {},
         {},
         "dopo un controllo fallito"},
        {"runtime fault", [] { throw std::length_error("basic_string::_M_create"); }, false, 1,
         program, unexpected(), "da un errore imprevisto: basic_string::_M_create"},
        {"out of memory", [] { throw std::bad_alloc(); }, false, 1, program, unexpected(),
         "da un errore imprevisto"},
        {"error without text", [] { throw VoltarisError(""); }, false, 1, program, unexpected(),
         "Comando interrotto in FMain"},
        {"anything else", [] { throw 42; }, false, 1, program, unexpected(),
         "da un errore sconosciuto"},
    };
    GuardForm form;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TraceCapture trace;
        EXPECT_EQ(RunCommand(&form.window, c.command), c.result);
        const auto& shown = trace.messages.entries();
        ASSERT_EQ(shown.size(), c.boxes);
        if (c.boxes == 1) {
            EXPECT_EQ(shown[0].icon, Icon::Error);
            EXPECT_EQ(shown[0].title, c.title);
            EXPECT_EQ(shown[0].text, c.text);
            // Never the internal text of a fault of the runtime.
            EXPECT_FALSE(shown[0].text.contains("basic_string"));
            EXPECT_FALSE(shown[0].text.contains("bad_alloc"));
        }
        if (!c.traceHas.isEmpty()) {
            EXPECT_TRUE(trace.lines.join('\n').contains(c.traceHas))
                << trace.lines.join('\n').toStdString();
        } else {
            EXPECT_TRUE(trace.lines.isEmpty());
        }
    }
}

TEST(RunCommand, TakesTheBusyPointerOffBeforeTheBox) {
    const struct {
        const char* what;
        std::function<void(QWidget*)> command;
    } cases[] = {
        {"toggled",
         [](QWidget* w) {
             HourGlass(w);
             throw IoError("lost");
         }},
        {"scoped",
         [](QWidget*) {
             BusyPointer busy;
             throw IoError("lost");
         }},
        {"both, nested",
         [](QWidget* w) {
             BusyPointer outer;
             HourGlass(w);
             BusyPointer inner;
             throw std::runtime_error("lost");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TraceCapture trace;
        PointerProbe probe;
        ScopedMessages sink(&probe);
        QWidget window;
        window.setCursor(Qt::IBeamCursor);
        EXPECT_FALSE(RunCommand(&window, [&] { c.command(&window); }));
        ASSERT_EQ(probe.busyWhenShown.size(), 1);
        EXPECT_FALSE(probe.busyWhenShown[0]);
        EXPECT_FALSE(HourGlassOn());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(BusyPointer::Depth(), 0);
        EXPECT_EQ(window.cursor().shape(), Qt::IBeamCursor);
    }
}

TEST(RunCommand, LeavesAloneABusyPointerItDidNotPutOn) {
    test::TraceCapture trace;
    QWidget window;
    HourGlass(&window);  // an outer command's pointer, with a dialog of it running
    EXPECT_FALSE(RunCommand(&window, [] { throw IoError("inner"); }));
    EXPECT_TRUE(HourGlassOn());
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    // A command that ends normally keeps what it chose to show.
    ResetHourGlass();
    EXPECT_TRUE(RunCommand(&window, [&] { HourGlass(&window); }));
    EXPECT_TRUE(HourGlassOn());
    ResetHourGlass();
}

TEST(RunCommand, AFailedDialogCommandLeavesItsWindowCommandRunning) {
    test::TraceCapture trace;
    QWidget window;
    QWidget dialog;
    bool dialogResult = true;
    bool after = false;
    const bool outer = RunCommand(&window, [&] {
        dialogResult = RunCommand(&dialog, [] { throw IoError("The port is gone."); });
        after = true;
    });
    EXPECT_TRUE(outer);
    EXPECT_FALSE(dialogResult);
    EXPECT_TRUE(after);
    EXPECT_EQ(trace.messages.entries().size(), 1);
}

TEST(RunCommand, ASinkThatFailsDoesNotEscape) {
    struct Throwing : UserMessages {
        void show(Icon, const QString&, const QString&) override {
            throw std::runtime_error("no display");
        }
        Answer askYesNo(Icon, const QString&, const QString&) override { return Answer::No; }
    } throwing;
    test::TraceCapture trace;
    ScopedMessages sink(&throwing);
    bool result = true;
    EXPECT_NO_THROW(result = RunCommand(nullptr, [] { throw IoError("Disk full."); }));
    EXPECT_FALSE(result);
    EXPECT_TRUE(trace.lines.join('\n').contains("Disk full."));
}
