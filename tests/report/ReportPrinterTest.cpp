// The report engine on a configuration of a real archive, driven by the virtual clock.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <memory>

#include "ArchiveSupport.h"
#include "base/Clock.h"
#include "model/Configuration.h"
#include "report/ReportPrinter.h"

using namespace voltaris;

namespace {

class ReportPrinterTest : public test::ArchiveFixture {
protected:
    void SetUp() override {
        ArchiveFixture::SetUp();
        Configuration c;
        c.UsoInstr().setNomeProgramma("Cabina Sud");
        c.UsoInstr().setInstrModel(0x00240004);
        c.DigOutConfig().setDigOut1(1);
        c.DigOutConfig().setNumAlarm1(16);
        c.DigOutConfig().setDigOut2(1);
        c.DigOutConfig().setNumAlarm2(16);
        id = c.create(archive);
        options.setPrintPageNumber(true);
        engine = std::make_unique<ReportPrinter>(archive, clock);
        engine->setConfiguration(id);
        engine->setOptions(options);
        QObject::connect(engine.get(), &Engine::progress, [this](int v, int min, int max) {
            steps.append({v, min, max});
        });
        QObject::connect(engine.get(), &Engine::message,
                         [this](int, const QString& text, int) { messages.append(text); });
        QObject::connect(engine.get(), &Engine::finished,
                         [this](const EngineOutcome& o) { outcomes.append(o.status); });
    }

    VirtualClock clock;
    COption options;
    qint32 id = 0;
    std::unique_ptr<ReportPrinter> engine;
    QList<QList<int>> steps;
    QStringList messages;
    QList<EngineOutcome::Status> outcomes;
};

TEST_F(ReportPrinterTest, PrintsOnePagePerTurnWithProgress) {
    const QString pdf = dir.file("report.pdf");
    engine->setPdfFile(pdf);
    ASSERT_TRUE(engine->start());
    EXPECT_FALSE(engine->start());  // refused while running
    // Started at once, but only the first page is printed before the caller's loop turns.
    EXPECT_EQ(engine->pagesPrinted(), 1);
    clock.runUntilIdle();

    ASSERT_EQ(outcomes, QList<EngineOutcome::Status>{EngineOutcome::Done})
        << messages.join('\n').toStdString();
    const int pages = engine->pageCount();
    ASSERT_GE(pages, 2);
    EXPECT_EQ(engine->pagesPrinted(), pages);
    QList<QList<int>> expected;
    for (int p = 0; p <= pages; ++p)
        expected.append({p, 0, pages});
    EXPECT_EQ(steps, expected);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(engine->errorText().isEmpty());
    ASSERT_TRUE(QFile::exists(pdf));

    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) not installed";
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Cabina Sud"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("%1/%1").arg(pages))) << text.toStdString();
}

TEST_F(ReportPrinterTest, PageRangeIsCutToTheDocument) {
    engine->setPdfFile(dir.file("range.pdf"));
    engine->setPageRange(2, 999);
    ASSERT_TRUE(engine->start());
    clock.runUntilIdle();
    ASSERT_EQ(outcomes, QList<EngineOutcome::Status>{EngineOutcome::Done});
    EXPECT_EQ(engine->pagesPrinted(), engine->pageCount() - 1);
    EXPECT_EQ(steps.constLast(), (QList<int>{engine->pageCount() - 1, 0, engine->pageCount() - 1}));
}

TEST_F(ReportPrinterTest, CancelBetweenPagesEndsWithoutAFile) {
    const QString pdf = dir.file("cancelled.pdf");
    engine->setPdfFile(pdf);
    ASSERT_TRUE(engine->start());
    // The open job writes to a temporary file; the PDF appears only when the job is done.
    EXPECT_FALSE(QFile::exists(pdf));
    engine->cancel();
    clock.runUntilIdle();
    EXPECT_EQ(outcomes, QList<EngineOutcome::Status>{EngineOutcome::Cancelled});
    EXPECT_EQ(engine->pagesPrinted(), 1);
    EXPECT_TRUE(
        QDir(dir.path()).entryList({"cancelled.pdf*"}, QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ReportPrinterTest, DeletedWhileRunningLeavesNoFile) {
    const QString pdf = dir.file("abandoned.pdf");
    engine->setPdfFile(pdf);
    ASSERT_TRUE(engine->start());
    engine.reset();
    clock.runUntilIdle();
    EXPECT_TRUE(outcomes.isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportPrinterTest, FailuresAreReportedAsMessages) {
    QImage tooLarge(2000, 2000, QImage::Format_RGB32);
    tooLarge.fill(Qt::red);
    ASSERT_TRUE(tooLarge.save(dir.file("large.png")));

    const struct {
        const char* name;
        QString pdf;
        QString picture;
        const char* says;
    } cases[] = {
        {"unwritable file", dir.file("no/such/folder/r.pdf"), QString(), "no/such/folder/r.pdf"},
        {"missing picture", dir.file("p.pdf"), dir.file("missing.png"), "missing.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        outcomes.clear();
        messages.clear();
        COption o;
        o.setPrintHeaderPage(!c.picture.isEmpty());
        o.setHeaderPagePath(c.picture);
        engine->setOptions(o);
        engine->setPdfFile(c.pdf);
        ASSERT_TRUE(engine->start());
        clock.runUntilIdle();
        EXPECT_EQ(outcomes, QList<EngineOutcome::Status>{EngineOutcome::Failed});
        EXPECT_TRUE(engine->errorText().contains(QLatin1String(c.says)))
            << engine->errorText().toStdString();
        EXPECT_EQ(messages, QStringList{engine->errorText()});
        EXPECT_FALSE(engine->outcome().error);
        EXPECT_FALSE(QFile::exists(c.pdf));
    }

    // A model outside the catalogue: the check has shown its text, the report says what it means.
    outcomes.clear();
    messages.clear();
    Configuration unknown;
    unknown.UsoInstr().setInstrModel(0x00FF0004);
    engine->setConfiguration(unknown.create(archive));
    engine->setOptions(COption());
    engine->setPdfFile(dir.file("unknown.pdf"));
    ASSERT_TRUE(engine->start());
    clock.runUntilIdle();
    EXPECT_EQ(outcomes, QList<EngineOutcome::Status>{EngineOutcome::Failed});
    EXPECT_TRUE(engine->errorText().contains(QStringLiteral("not in the catalogue")));
    EXPECT_FALSE(QFile::exists(dir.file("unknown.pdf")));
    engine->setConfiguration(id);

    // A picture larger than the band is left out with a warning; the report still prints.
    outcomes.clear();
    messages.clear();
    COption o;
    o.setPrintHeaderPage(true);
    o.setHeaderPagePath(dir.file("large.png"));
    engine->setOptions(o);
    engine->setPdfFile(dir.file("large.pdf"));
    ASSERT_TRUE(engine->start());
    clock.runUntilIdle();
    EXPECT_EQ(outcomes, QList<EngineOutcome::Status>{EngineOutcome::Done});
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().contains(QStringLiteral("left out")));
}

}  // namespace
