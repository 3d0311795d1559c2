// voltaris report: the program itself run on a configuration of the archive, its PDF read
// back with pdftotext.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "CliTestSupport.h"
#include "TestSupport.h"
#include "cli/Cli.h"

using namespace voltaris;

namespace {

// The footer's page text of page 1 ("1/2").
const QRegularExpression kPageNumber(QStringLiteral("\\b1/[0-9]+\\b"));

struct Outcome {
    QString out, err;
    int status = -1;
};

class ReportCommand : public testing::Test {
protected:
    void SetUp() override {
        settings = home.file("settings.ini");
        const Outcome created =
            inProcess({"create", "--json",
                       QStringLiteral(VOLTARIS_SOURCE_DIR "/resources/demo-configuration.json")});
        ASSERT_EQ(created.status, cli::kDone) << created.err.toStdString();
        id = created.out.trimmed();
    }

    // Commands that end before any page is drawn run in this process.
    Outcome inProcess(const QStringList& args) {
        Outcome r;
        QString in;
        QTextStream out(&r.out), err(&r.err), inStream(&in);
        qputenv("VOLTARIS_SETTINGS", settings.toLocal8Bit());
        cli::Context ctx{out, err, inStream, false, VOLTARIS_BIN_DIR};
        r.status = cli::run(QStringList{"--home", home.path()} + args, ctx);
        qunsetenv("VOLTARIS_SETTINGS");
        return r;
    }

    // The program as installers run it: it sets up the graphical platform itself.
    Outcome program(const QStringList& args) {
        const test::CliRun r = test::RunProgram(home.path(), settings, args);
        return {r.out, r.err, r.status};
    }

    static QString pdfText(const QString& pdf) {
        QProcess p;
        p.start("pdftotext", {"-layout", pdf, "-"});
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return QStringLiteral("<pdftotext failed>");
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    test::TempDir home, files;
    QString settings;
    QString id;
};

TEST_F(ReportCommand, PrintsTheStoredOptionsAndTheFlagsOverrideThem) {
    test::writeFile(settings,
                    "[COption]\n"
                    "m_bPrintHeaderPage=0\n"
                    "m_HeaderPagePath=/nowhere/logo.bmp\n"
                    "m_bPrintNotePiePagina=1\n"
                    "m_NotePiePagina1=Stored note one\n"
                    "m_NotePiePagina2=Stored note two\n"
                    "m_bPrintPageNumber=1\n");
    const QString pdf = files.file("demo.pdf");
    const Outcome stored = program({"report", id, "--pdf", pdf});
    ASSERT_EQ(stored.status, cli::kDone) << stored.err.toStdString();
    EXPECT_TRUE(stored.out.contains(pdf));
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) not installed";
    QString text = pdfText(pdf);
    for (const char* expected :
         {"LIST OF INSTRUMENT PARAMETER SETUP", "Demo - Cabina Nord", "KM6.1.x.R2.KX", "100.5",
          "Virtual alarm setup linked to output 1", "Pulse output setup 2", "12.50 Pulses/Kvarh",
          "Stored note one", "Stored note two"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected << "\n"
                                                            << text.toStdString();

    EXPECT_TRUE(text.contains(kPageNumber)) << text.toStdString();

    const Outcome overridden = program({"report", id, "--pdf", pdf, "--force", "--notes",
                                        "Quadro elettrico B", "--no-page-numbers"});
    ASSERT_EQ(overridden.status, cli::kDone) << overridden.err.toStdString();
    text = pdfText(pdf);
    EXPECT_TRUE(text.contains("Quadro elettrico B"));
    EXPECT_TRUE(text.contains("Stored note two"));
    EXPECT_FALSE(text.contains("Stored note one"));
    EXPECT_FALSE(text.contains(kPageNumber));

    const Outcome bare = program({"report", id, "--pdf", pdf, "--force", "--no-notes"});
    ASSERT_EQ(bare.status, cli::kDone) << bare.err.toStdString();
    text = pdfText(pdf);
    EXPECT_FALSE(text.contains("Stored note two"));
    EXPECT_TRUE(text.contains(kPageNumber));
}

TEST_F(ReportCommand, RefusesBeforeDrawing) {
    const QString pdf = files.file("kept.pdf");
    test::writeFile(pdf, "keep me");
    const struct {
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {{"report", id}, cli::kBadUsage, "--pdf"},
        {{"report", id, "--pdf", pdf}, cli::kFailed, "--force"},
        {{"report", "9999", "--pdf", files.file("none.pdf")}, cli::kFailed, "9999"},
        {{"report", id, "--pdf", files.file("x.pdf"), "--notes", "a", "--no-notes"},
         cli::kBadUsage,
         "exclude"},
        {{"report", id, "--pdf", files.file("x.pdf"), "--picture", "a.bmp", "--no-picture"},
         cli::kBadUsage,
         "exclude"},
    };
    for (const auto& c : cases) {
        const Outcome r = inProcess(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
    }
    EXPECT_EQ(test::readFile(pdf), QByteArray("keep me"));
    EXPECT_FALSE(QFile::exists(files.file("none.pdf")));
}

TEST_F(ReportCommand, AMissingPictureFailsWithoutWritingTheFile) {
    const QString pdf = files.file("picture.pdf");
    const Outcome r = program({"report", id, "--pdf", pdf, "--picture", files.file("missing.png")});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_TRUE(r.err.contains("missing.png")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

}  // namespace
