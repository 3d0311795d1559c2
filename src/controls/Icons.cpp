#include "controls/Icons.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <QtMath>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace voltaris::controls {

namespace {

constexpr int kFinalPageSize = 96;

// The main window's toolbar keys; each one's drawing is named after it in lower case.
constexpr std::array kToolbarKeys = {"ViewZel2Var", "NewProg",         "EditProg",
                                     "DelProg",     "SendProg",        "RxTxProg",
                                     "ResetAll",    "ResetAllCounter", "ResetMaxMinDMD"};

QString DrawingFile(const QString& name) {
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

// One drawing of a picture and the grid it was made on (the larger side of its view box).
struct Drawing {
    int grid;
    QString file;
};

// A small icon scaled down from a large drawing smears its one-pixel lines, so some
// pictures carry drawings made on the small grids themselves ("name-16.svg",
// "name-24.svg") beside the main one. Smallest grid first.
std::vector<Drawing> DrawingsOf(const QString& name) {
    std::vector<Drawing> drawings;
    for (const QString& file : {QStringLiteral(":/icons/%1-16.svg").arg(name),
                                QStringLiteral(":/icons/%1-24.svg").arg(name), DrawingFile(name)}) {
        if (!QFile::exists(file))
            continue;
        const QSizeF box = QSvgRenderer(file).viewBoxF().size();
        drawings.push_back({qCeil(qMax(box.width(), box.height())), file});
    }
    std::sort(drawings.begin(), drawings.end(),
              [](const Drawing& a, const Drawing& b) { return a.grid < b.grid; });
    return drawings;
}

// The picture drawn to fill `pixels`, keeping its proportions and centred.
QImage Render(const QString& file, const QSize& pixels) {
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(file);
    if (!renderer.isValid())
        return image;
    const QSizeF drawn = renderer.viewBoxF().size().scaled(QSizeF(pixels), Qt::KeepAspectRatio);
    const QPointF corner((pixels.width() - drawn.width()) / 2,
                         (pixels.height() - drawn.height()) / 2);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(corner, drawn));
    return image;
}

qreal EffectiveRatio(qreal devicePixelRatio) {
    if (devicePixelRatio > 0)
        return devicePixelRatio;
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QPixmap RenderPixmap(const QString& file, const QSizeF& logical, qreal devicePixelRatio) {
    const qreal ratio = EffectiveRatio(devicePixelRatio);
    const QSize pixels(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    if (pixels.isEmpty())
        return {};
    QPixmap pixmap = QPixmap::fromImage(Render(file, pixels));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

// Draws the icon for the very pixels asked (the toolbar, the tray and a high-density screen
// each ask their own), never by enlarging a bitmap.
class SvgIconEngine final : public QIconEngine {
public:
    explicit SvgIconEngine(std::vector<Drawing> drawings) : m_drawings(std::move(drawings)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty())
            return {};
        const QString file = FileFor(qMin(size.width(), size.height()));
        const QString cacheKey = QStringLiteral("voltaris-icon|%1|%2x%3|%4")
                                     .arg(file)
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(int(mode));
        QPixmap pixmap;
        if (QPixmapCache::find(cacheKey, &pixmap))
            return pixmap;
        pixmap = QPixmap::fromImage(Render(file, size));
        // Disabled and selected looks come from the style, as for any other icon.
        auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
        if (mode != QIcon::Normal && app) {
            QStyleOption option;
            option.palette = QApplication::palette();
            pixmap = app->style()->generatedIconPixmap(mode, pixmap, &option);
        }
        QPixmapCache::insert(cacheKey, pixmap);
        return pixmap;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap drawn = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
        drawn.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, drawn);
    }

    QIconEngine* clone() const override { return new SvgIconEngine(m_drawings); }
    QString key() const override { return QStringLiteral("voltaris-svg"); }

private:
    // The smallest drawing at least as large as asked: shrinking a finer drawing a little
    // keeps more of its shape than enlarging a coarser one.
    const QString& FileFor(int pixels) const {
        for (const Drawing& drawing : m_drawings) {
            if (drawing.grid >= pixels)
                return drawing.file;
        }
        return m_drawings.back().file;
    }

    std::vector<Drawing> m_drawings;
};

QIcon DrawnIcon(const QString& name) {
    std::vector<Drawing> drawings = DrawingsOf(name);
    if (drawings.empty())
        return {};
    return QIcon(new SvgIconEngine(std::move(drawings)));
}

}  // namespace

QIcon ProgramIcon() {
    return DrawnIcon(QStringLiteral("voltaris"));
}

QIcon ToolbarIcon(const QString& key) {
    for (const char* known : kToolbarKeys) {
        if (key.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return DrawnIcon(QString::fromLatin1(known).toLower());
    }
    return {};
}

QIcon IconResource(int id) {
    switch (id) {
        case kProgramIconId:
            return ProgramIcon();
        case kTraySerialIconId:
            return DrawnIcon(QStringLiteral("tray-serial"));
        case kTrayModemIconId:
            return DrawnIcon(QStringLiteral("tray-modem"));
        default:
            return {};
    }
}

QPixmap LogoPixmap(int height, qreal devicePixelRatio) {
    if (height < 1)
        return {};
    const QString file = DrawingFile(QStringLiteral("logo"));
    const QSizeF box = QSvgRenderer(file).viewBoxF().size();
    if (box.isEmpty())
        return {};
    return RenderPixmap(file, QSizeF(std::round(height * box.width() / box.height()), height),
                        devicePixelRatio);
}

QPixmap FinalPagePixmap(qreal devicePixelRatio) {
    return RenderPixmap(DrawingFile(QStringLiteral("final-page")),
                        QSizeF(kFinalPageSize, kFinalPageSize), devicePixelRatio);
}

}  // namespace voltaris::controls
