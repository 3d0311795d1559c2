#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "controls/Icons.h"

using namespace voltaris::controls;

namespace {

const std::vector<const char*> kToolbarKeys = {"ViewZel2Var", "NewProg",         "EditProg",
                                               "DelProg",     "SendProg",        "RxTxProg",
                                               "ResetAll",    "ResetAllCounter", "ResetMaxMinDMD"};

QImage Argb(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// What a picture drawn into `image` looks like, in the terms the checks below need.
struct Coverage {
    int opaque = 0;
    int distinctOpaqueColours = 0;
    QRect visible;  // bounding box of the pixels that are not fully transparent
};

Coverage Measure(const QImage& image) {
    Coverage c;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            if (qAlpha(px) == 0)
                continue;
            c.visible = c.visible.united(QRect(x, y, 1, 1));
            if (qAlpha(px) == 255) {
                ++c.opaque;
                colours.insert(px);
            }
        }
    }
    c.distinctOpaqueColours = int(colours.size());
    return c;
}

// One picture at one size as a window asks for it: the image and the device pixels it
// must have.
struct RenderCase {
    std::string name;
    std::function<QPixmap()> render;
    QSize pixels;
};

void PrintTo(const RenderCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<RenderCase> RenderCases() {
    std::vector<RenderCase> cases;
    auto icon = [&](const std::string& name, std::function<QIcon()> make,
                    std::initializer_list<int> sizes) {
        for (int s : sizes)
            cases.push_back({name + "_" + std::to_string(s),
                             [make, s] { return make().pixmap(QSize(s, s)); }, QSize(s, s)});
    };
    // Title bars, task bar and the about box take the program icon at many sizes.
    icon("Program", [] { return ProgramIcon(); }, {16, 20, 24, 32, 48, 64, 256});
    icon("ProgramById", [] { return IconResource(kProgramIconId); }, {16, 32});
    for (const char* key : kToolbarKeys)
        icon(key, [key] { return ToolbarIcon(key); }, {16, 24, 32});
    icon("TraySerial", [] { return IconResource(kTraySerialIconId); }, {16, 22, 32});
    icon("TrayModem", [] { return IconResource(kTrayModemIconId); }, {16, 22, 32});
    // A high-density screen asks for twice the pixels.
    cases.push_back({"NewProg_24_at_2x",
                     [] { return ToolbarIcon("NewProg").pixmap(QSize(24, 24), 2.0); },
                     QSize(48, 48)});
    cases.push_back({"TraySerial_16_at_2x",
                     [] { return IconResource(kTraySerialIconId).pixmap(QSize(16, 16), 2.0); },
                     QSize(32, 32)});
    // The logo keeps the proportions of its drawing (232 x 56).
    for (int height : {48, 64, 96}) {
        for (int ratio : {1, 2}) {
            const int width = qRound(height * 232.0 / 56.0);
            cases.push_back({"Logo_" + std::to_string(height) + "_x" + std::to_string(ratio),
                             [height, ratio] { return LogoPixmap(height, ratio); },
                             QSize(width * ratio, height * ratio)});
        }
    }
    cases.push_back({"FinalPage_x1", [] { return FinalPagePixmap(1); }, QSize(96, 96)});
    cases.push_back({"FinalPage_x2", [] { return FinalPagePixmap(2); }, QSize(192, 192)});
    return cases;
}

class PictureRenders : public ::testing::TestWithParam<RenderCase> {};

// Each picture is really drawn at the size asked: the right number of pixels, a solid
// body (not a faint or empty image), more than one colour (not a filled square), and
// spread over its box (a drawing whose view box does not match its grid would sit small
// in a corner).
TEST_P(PictureRenders, FillsTheSizeAskedWithADrawing) {
    const RenderCase& c = GetParam();
    const QPixmap pixmap = c.render();
    ASSERT_FALSE(pixmap.isNull());
    const QImage image = Argb(pixmap);
    ASSERT_EQ(image.size(), c.pixels);

    const Coverage cover = Measure(image);
    const int area = image.width() * image.height();
    EXPECT_GE(cover.opaque, area / 20) << "too few opaque pixels";
    EXPECT_GE(cover.distinctOpaqueColours, 2) << "a single colour";
    EXPECT_GE(cover.visible.width(), image.width() * 6 / 10);
    EXPECT_GE(cover.visible.height(), image.height() * 6 / 10);
}

INSTANTIATE_TEST_SUITE_P(Icons, PictureRenders, ::testing::ValuesIn(RenderCases()),
                         [](const auto& info) { return info.param.name; });

TEST(Icons, PixmapsCarryTheirDeviceRatio) {
    const QPixmap logo = LogoPixmap(64, 2);
    EXPECT_EQ(logo.devicePixelRatio(), 2.0);
    EXPECT_EQ(logo.deviceIndependentSize().height(), 64.0);
    const QPixmap page = FinalPagePixmap(2);
    EXPECT_EQ(page.devicePixelRatio(), 2.0);
    EXPECT_EQ(page.deviceIndependentSize(), QSizeF(96, 96));
    // No ratio given: the application's (1 on the offscreen platform).
    EXPECT_EQ(LogoPixmap(64).devicePixelRatio(), qApp->devicePixelRatio());
    EXPECT_EQ(FinalPagePixmap().height(), qRound(96 * qApp->devicePixelRatio()));
}

TEST(Icons, LogoOfNoHeightIsNull) {
    for (int height : {0, -1, -64})
        EXPECT_TRUE(LogoPixmap(height, 1).isNull()) << height;
}

TEST(Icons, UnknownToolbarKeysGiveANullIcon) {
    // Picture names that are not toolbar keys, menu commands without a button, near misses.
    for (const char* key :
         {"", "Unknown", "ViewZel2Var ", " NewProg", "NewProgs", "voltaris", "tray-serial", "logo",
          "final-page", "newprog-16", "ResetMinMax", "ResetDMD", "../icons/newprog"}) {
        const QIcon icon = ToolbarIcon(QString::fromLatin1(key));
        EXPECT_TRUE(icon.isNull()) << key;
        EXPECT_TRUE(icon.pixmap(QSize(24, 24)).isNull()) << key;
    }
}

TEST(Icons, UnknownResourceIdsGiveANullIcon) {
    for (int id : {-1, 0, 1, 101, 9999, 10003, 32767})
        EXPECT_TRUE(IconResource(id).isNull()) << id;
}

TEST(Icons, ToolbarKeysMatchWithoutRegardToCase) {
    for (const char* key : kToolbarKeys) {
        const QString k = QString::fromLatin1(key);
        const QImage expected = Argb(ToolbarIcon(k).pixmap(QSize(24, 24)));
        for (const QString& variant : {k.toLower(), k.toUpper()}) {
            const QIcon icon = ToolbarIcon(variant);
            ASSERT_FALSE(icon.isNull()) << variant.toStdString();
            EXPECT_EQ(Argb(icon.pixmap(QSize(24, 24))), expected) << variant.toStdString();
        }
    }
}

// A key mapped to another key's drawing, or two drawings left identical, would still pass
// every check above; the toolbar would show two equal buttons.
TEST(Icons, EveryButtonAndTrayStateLooksDifferent) {
    std::vector<std::pair<std::string, QIcon>> icons;
    for (const char* key : kToolbarKeys)
        icons.emplace_back(key, ToolbarIcon(key));
    icons.emplace_back("program", ProgramIcon());
    icons.emplace_back("tray serial", IconResource(kTraySerialIconId));
    icons.emplace_back("tray modem", IconResource(kTrayModemIconId));
    for (int size : {16, 24}) {
        for (size_t i = 0; i < icons.size(); ++i) {
            for (size_t j = i + 1; j < icons.size(); ++j) {
                EXPECT_NE(Argb(icons[i].second.pixmap(QSize(size, size))),
                          Argb(icons[j].second.pixmap(QSize(size, size))))
                    << icons[i].first << " and " << icons[j].first << " at " << size;
            }
        }
    }
}

// Small sizes come from the drawings made on the small grids; larger ones from the
// smallest drawing that is at least as large, shrunk rather than enlarged.
TEST(Icons, EachSizeIsDrawnFromTheNearestDrawing) {
    struct Case {
        QIcon icon;
        int pixels;
        const char* file;
    };
    const Case cases[] = {
        {ToolbarIcon("NewProg"), 16, ":/icons/newprog-16.svg"},
        {ToolbarIcon("NewProg"), 12, ":/icons/newprog-16.svg"},
        {ToolbarIcon("NewProg"), 20, ":/icons/newprog.svg"},
        {ToolbarIcon("NewProg"), 32, ":/icons/newprog.svg"},
        {ToolbarIcon("ResetMaxMinDMD"), 16, ":/icons/resetmaxmindmd-16.svg"},
        {ProgramIcon(), 16, ":/icons/voltaris-16.svg"},
        {ProgramIcon(), 20, ":/icons/voltaris-24.svg"},
        {ProgramIcon(), 24, ":/icons/voltaris-24.svg"},
        {ProgramIcon(), 32, ":/icons/voltaris.svg"},
        {IconResource(kTrayModemIconId), 16, ":/icons/tray-modem-16.svg"},
        {IconResource(kTrayModemIconId), 22, ":/icons/tray-modem.svg"},
    };
    for (const Case& c : cases) {
        QImage expected(c.pixels, c.pixels, QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        QSvgRenderer renderer(QString::fromLatin1(c.file));
        ASSERT_TRUE(renderer.isValid()) << c.file;
        {
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter);
        }
        EXPECT_EQ(Argb(c.icon.pixmap(QSize(c.pixels, c.pixels))),
                  expected.convertToFormat(QImage::Format_ARGB32))
            << c.file << " at " << c.pixels;
    }
}

// Toolbar buttons are painted on high-density screens through QIcon::paint: the icon must
// be drawn for the device pixels, not drawn small and enlarged.
TEST(Icons, PaintingOnADenseScreenUsesItsPixels) {
    const QIcon icon = ToolbarIcon("SendProg");
    QImage painted(48, 48, QImage::Format_ARGB32_Premultiplied);
    painted.setDevicePixelRatio(2.0);
    painted.fill(Qt::transparent);
    {
        QPainter painter(&painted);
        icon.paint(&painter, QRect(0, 0, 24, 24));
    }
    painted.setDevicePixelRatio(1.0);
    EXPECT_EQ(painted.convertToFormat(QImage::Format_ARGB32), Argb(icon.pixmap(QSize(48, 48))));
}

// Edit, Delete and Transmit are disabled while the list is empty: they must look it.
TEST(Icons, DisabledToolbarIconsLookDisabled) {
    for (const char* key : kToolbarKeys) {
        const QIcon icon = ToolbarIcon(key);
        const QImage normal = Argb(icon.pixmap(QSize(24, 24)));
        const QImage disabled = Argb(icon.pixmap(QSize(24, 24), QIcon::Disabled));
        ASSERT_EQ(disabled.size(), normal.size()) << key;
        EXPECT_NE(disabled, normal) << key;
        EXPECT_GT(Measure(disabled).visible.width(), 12) << key;
    }
}

}  // namespace
