#include <gtest/gtest.h>

#include <QObject>
#include <QPixmap>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QWidget>
#include <memory>

#include "TraceCapture.h"
#include "base/Errors.h"
#include "base/ResString.h"
#include "controls/CTrayIcon.h"

using namespace voltaris;
using namespace voltaris::controls;

namespace {

QIcon solidIcon(Qt::GlobalColor color) {
    QPixmap p(16, 16);
    p.fill(color);
    return QIcon(p);
}

// Stands for an engine or a link: the one signal the tray binder follows.
class FakeLine : public QObject {
    Q_OBJECT
signals:
    void lineOpened(bool open);
};

const auto withTray = [] { return true; };
const auto withoutTray = [] { return false; };

qint32 platformError(qint32 code) {
    return ProgramError::kObjectErrorBase + 29000 + code;
}

}  // namespace

TEST(CTrayIcon, WithoutANotificationAreaNothingIsShownAndNothingFails) {
    test::TraceCapture trace;
    QWidget owner;
    CTrayIcon tray(withoutTray);
    ASSERT_NO_THROW(tray.Create(&owner, solidIcon(Qt::red), "Voltaris"));
    EXPECT_FALSE(tray.IsShown());
    EXPECT_EQ(tray.findChild<QSystemTrayIcon*>(), nullptr);
    // The values are kept: the caller reads back what it set.
    EXPECT_EQ(tray.Tip(), "Voltaris");
    EXPECT_EQ(tray.Owner(), &owner);
    tray.setTip("Other");
    EXPECT_EQ(tray.Tip(), "Other");
    EXPECT_TRUE(trace.messages.entries().isEmpty());
}

TEST(CTrayIcon, TheRealProbeOffscreenFindsNoTray) {
    // The tests run on the offscreen platform, which has no notification area.
    QWidget owner;
    CTrayIcon tray;
    ASSERT_NO_THROW(tray.Create(&owner, solidIcon(Qt::red), "Voltaris"));
    EXPECT_FALSE(tray.IsShown());
}

TEST(CTrayIcon, RefusesANullWindowOrIcon) {
    QWidget owner;
    struct Case {
        const char* what;
        QWidget* owner;
        QIcon icon;
        qint32 number;
        int text;
    };
    const Case cases[] = {
        {"null window", nullptr, solidIcon(Qt::red), platformError(6), 2912},
        {"null icon", &owner, QIcon(), platformError(13), 2913},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTrayIcon tray(withTray);
        try {
            tray.Create(c.owner, c.icon, "Voltaris");
            ADD_FAILURE() << "no error";
        } catch (const ProgramError& e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_TRUE(e.source().endsWith(".Windows")) << e.source().toStdString();
            EXPECT_EQ(e.message(), ResString(c.text));
        }
        EXPECT_FALSE(tray.IsShown());
    }
}

TEST(CTrayIcon, ShownIconFollowsTipAndIcon) {
    QWidget owner;
    CTrayIcon tray(withTray);
    tray.Create(&owner, solidIcon(Qt::red), "Voltaris");
    ASSERT_TRUE(tray.IsShown());
    auto* shown = tray.findChild<QSystemTrayIcon*>();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->toolTip(), "Voltaris");

    tray.setTip("Line open");
    EXPECT_EQ(shown->toolTip(), "Line open");
    const QIcon green = solidIcon(Qt::green);
    tray.setIcon(green);
    EXPECT_EQ(shown->icon().cacheKey(), green.cacheKey());
    EXPECT_EQ(tray.Icon().cacheKey(), green.cacheKey());

    // A null icon is refused and the shown one stays.
    EXPECT_THROW(tray.setIcon(QIcon()), ProgramError);
    EXPECT_EQ(shown->icon().cacheKey(), green.cacheKey());

    tray.Destroy();
    EXPECT_FALSE(tray.IsShown());
    EXPECT_EQ(tray.findChild<QSystemTrayIcon*>(), nullptr);
    tray.Destroy();  // twice: nothing more
}

TEST(CTrayIcon, TipIsCutTo63Characters) {
    struct Case {
        QString tip;
        QString kept;
    };
    const QString sixtyThree(63, u'a');
    const QString pair = QString::fromUtf8("\xF0\x9F\x94\x8C");  // one character, two units
    const Case cases[] = {
        {"", ""},
        {sixtyThree, sixtyThree},
        {sixtyThree + "b", sixtyThree},
        // The 63rd unit would split a character in two: the whole character goes.
        {QString(62, u'a') + pair, QString(62, u'a')},
        {QString(61, u'a') + pair + "b", QString(61, u'a') + pair},
    };
    for (const Case& c : cases) {
        CTrayIcon tray(withTray);
        tray.setTip(c.tip);
        EXPECT_EQ(tray.Tip(), c.kept) << c.tip.size();
    }
    QWidget owner;
    CTrayIcon tray(withTray);
    tray.Create(&owner, solidIcon(Qt::red), sixtyThree + "tail");
    EXPECT_EQ(tray.findChild<QSystemTrayIcon*>()->toolTip(), sixtyThree);
}

TEST(CTrayIcon, SecondCreateReplacesTheIcon) {
    QWidget owner;
    CTrayIcon tray(withTray);
    tray.Create(&owner, solidIcon(Qt::red), "one");
    tray.Create(&owner, solidIcon(Qt::red), "two");
    const auto shown = tray.findChildren<QSystemTrayIcon*>();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first()->toolTip(), "two");
}

TEST(CTrayIcon, IconGoesWithItsWindow) {
    auto owner = std::make_unique<QWidget>();
    CTrayIcon tray(withTray);
    tray.Create(owner.get(), solidIcon(Qt::red), "Voltaris");
    ASSERT_TRUE(tray.IsShown());
    owner.reset();
    EXPECT_FALSE(tray.IsShown());
    EXPECT_EQ(tray.Owner(), nullptr);
}

TEST(CTrayIcon, ActivationIsNotifiedWithTheIconId) {
    QWidget owner;
    CTrayIcon first(withTray);
    CTrayIcon tray(withTray);
    EXPECT_NE(first.ID(), tray.ID());
    EXPECT_EQ(tray.Message(), tray.ID());
    tray.Create(&owner, solidIcon(Qt::red), "Voltaris");
    QSignalSpy spy(&tray, &CTrayIcon::Notify);
    auto* shown = tray.findChild<QSystemTrayIcon*>();
    ASSERT_NE(shown, nullptr);
    const std::pair<QSystemTrayIcon::ActivationReason, qint32> cases[] = {
        {QSystemTrayIcon::Trigger, 0x0202}, {QSystemTrayIcon::DoubleClick, 0x0203},
        {QSystemTrayIcon::Context, 0x0205}, {QSystemTrayIcon::MiddleClick, 0x0208},
        {QSystemTrayIcon::Unknown, 0},
    };
    for (const auto& [reason, code] : cases)
        emit shown->activated(reason);
    ASSERT_EQ(spy.size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(spy.at(i).at(0).toInt(), tray.ID());
        EXPECT_EQ(spy.at(i).at(1).toInt(), cases[i].second);
    }
}

TEST(LinkTrayIcon, FollowsTheLineWithTheProgramTitleAsTip) {
    QWidget owner;
    FakeLine line;
    LinkTrayIcon binder(&owner, solidIcon(Qt::red), withTray);
    binder.follow(&line, &FakeLine::lineOpened);
    EXPECT_FALSE(binder.trayIcon().IsShown());

    emit line.lineOpened(true);
    ASSERT_TRUE(binder.trayIcon().IsShown());
    EXPECT_EQ(binder.trayIcon().Tip(), ResString(301));
    EXPECT_EQ(binder.trayIcon().findChild<QSystemTrayIcon*>()->toolTip(), ResString(301));
    // The link reports the same state again: still one icon.
    emit line.lineOpened(true);
    EXPECT_EQ(binder.trayIcon().findChildren<QSystemTrayIcon*>().size(), 1);

    emit line.lineOpened(false);
    EXPECT_FALSE(binder.trayIcon().IsShown());
    // Baud detection opens and closes the line several times.
    emit line.lineOpened(true);
    EXPECT_TRUE(binder.trayIcon().IsShown());
    emit line.lineOpened(false);
    EXPECT_FALSE(binder.trayIcon().IsShown());
}

TEST(LinkTrayIcon, WithoutANotificationAreaFollowsQuietly) {
    test::TraceCapture trace;
    QWidget owner;
    FakeLine line;
    LinkTrayIcon binder(&owner, solidIcon(Qt::red), withoutTray);
    binder.follow(&line, &FakeLine::lineOpened);
    emit line.lineOpened(true);
    EXPECT_FALSE(binder.trayIcon().IsShown());
    EXPECT_EQ(binder.trayIcon().findChild<QSystemTrayIcon*>(), nullptr);
    emit line.lineOpened(false);
    EXPECT_TRUE(trace.messages.entries().isEmpty());
}

TEST(LinkTrayIcon, RefusesANullOwnerOrIconAtOnceAndNeverWhenTheLineOpens) {
    EXPECT_THROW(LinkTrayIcon(nullptr, solidIcon(Qt::red), withTray), ProgramError);
    QWidget window;
    EXPECT_THROW(LinkTrayIcon(&window, QIcon(), withTray), ProgramError);

    auto owner = std::make_unique<QWidget>();
    LinkTrayIcon binder(owner.get(), solidIcon(Qt::red), withTray);
    owner.reset();
    EXPECT_NO_THROW(binder.setLineOpen(true));
    EXPECT_FALSE(binder.trayIcon().IsShown());
}

#include "CTrayIconTest.moc"
