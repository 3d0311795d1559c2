// voltaris-render-icons OUT_DIR: writes every picture of the program as PNG, at each size it
// is shown at, through the same calls the windows use, plus two contact sheets: all
// pictures at their real size on a light and a dark ground, and the small icons enlarged
// pixel by pixel to judge their sharpness.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <vector>

#include "controls/Icons.h"

using namespace voltaris::controls;

namespace {

struct IconEntry {
    QString name;
    QIcon icon;
    std::vector<int> sizes;
};

std::vector<IconEntry> Icons() {
    std::vector<IconEntry> out;
    out.push_back({"voltaris", ProgramIcon(), {16, 24, 32, 48, 64, 128, 256}});
    for (const char* key : {"ViewZel2Var", "NewProg", "EditProg", "DelProg", "SendProg", "RxTxProg",
                            "ResetAll", "ResetAllCounter", "ResetMaxMinDMD"})
        out.push_back({QString(key).toLower(), ToolbarIcon(key), {16, 24, 32}});
    out.push_back({"tray-serial", IconResource(kTraySerialIconId), {16, 22, 32}});
    out.push_back({"tray-modem", IconResource(kTrayModemIconId), {16, 22, 32}});
    return out;
}

QImage Opaque(const QSize& size, const QColor& ground) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    return image;
}

// Every icon at every size in a row, once on a light ground and once on a dark one (the
// tray and a dark theme), with a disabled copy of each toolbar icon.
QImage ContactSheet(const std::vector<IconEntry>& icons, const QPixmap& logo,
                    const QPixmap& finalPage) {
    const int rowHeight = 72, margin = 12;
    const int width = 1100;
    const int height = margin * 2 + int(icons.size()) * rowHeight + logo.height() + 140;
    QImage sheet = Opaque(QSize(width, height), QColor("#F3F5F7"));
    QPainter p(&sheet);
    p.fillRect(QRect(width / 2, 0, width / 2, height), QColor("#2B2F36"));
    int y = margin;
    for (const IconEntry& entry : icons) {
        for (int half = 0; half < 2; ++half) {
            int x = margin + half * width / 2;
            for (int size : entry.sizes) {
                if (size > 64)
                    continue;
                p.drawPixmap(x, y, entry.icon.pixmap(QSize(size, size)));
                x += size + 12;
            }
            p.drawPixmap(x, y, entry.icon.pixmap(QSize(24, 24), QIcon::Disabled));
            x += 36;
            p.setPen(half ? Qt::white : Qt::black);
            p.drawText(x, y + 16, entry.name);
        }
        y += rowHeight;
    }
    p.drawPixmap(margin, y, logo);
    p.drawPixmap(width / 2 + margin, y, finalPage);
    return sheet;
}

// Each icon at its two smallest sizes, enlarged eight times without smoothing, two icons a
// row: what a pixel of them is.
QImage ZoomSheet(const std::vector<IconEntry>& icons) {
    const int zoom = 8, cell = 24 * zoom + 16;
    const int rows = (int(icons.size()) + 1) / 2;
    QImage sheet = Opaque(QSize(cell * 4 + 8, rows * cell + 8), QColor("#FFFFFF"));
    QPainter p(&sheet);
    for (int i = 0; i < int(icons.size()); ++i) {
        int x = 8 + (i % 2) * 2 * cell;
        const int y = 8 + (i / 2) * cell;
        for (int size : {icons[i].sizes[0], icons[i].sizes[1]}) {
            const QImage small = icons[i].icon.pixmap(QSize(size, size)).toImage();
            p.fillRect(QRect(x, y, size * zoom, size * zoom), QColor("#E9EDF1"));
            p.drawImage(QRect(x, y, size * zoom, size * zoom), small);
            x += cell;
        }
    }
    return sheet;
}

bool Save(const QImage& image, const QString& path) {
    if (!image.save(path)) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: voltaris-render-icons OUT_DIR\n";
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(".")) {
        QTextStream(stderr) << "cannot create " << out.path() << "\n";
        return 1;
    }
    bool ok = true;
    const std::vector<IconEntry> icons = Icons();
    for (const IconEntry& entry : icons) {
        if (entry.icon.isNull()) {
            QTextStream(stderr) << "no icon " << entry.name << "\n";
            ok = false;
            continue;
        }
        for (int size : entry.sizes)
            ok &= Save(entry.icon.pixmap(QSize(size, size)).toImage(),
                       out.filePath(QStringLiteral("%1-%2.png").arg(entry.name).arg(size)));
        ok &= Save(entry.icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage(),
                   out.filePath(QStringLiteral("%1-24-disabled.png").arg(entry.name)));
    }
    for (int height : {48, 64, 96})
        ok &= Save(LogoPixmap(height, 1).toImage(),
                   out.filePath(QStringLiteral("logo-%1.png").arg(height)));
    ok &= Save(FinalPagePixmap(1).toImage(), out.filePath("final-page.png"));
    ok &= Save(FinalPagePixmap(2).toImage(), out.filePath("final-page@2x.png"));
    ok &= Save(ContactSheet(icons, LogoPixmap(64, 1), FinalPagePixmap(1)),
               out.filePath("contact-sheet.png"));
    ok &= Save(ZoomSheet(icons), out.filePath("contact-sheet-zoom.png"));
    return ok ? 0 : 1;
}
