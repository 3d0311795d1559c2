#include "tabulon/FHeader.h"

#include <QFileInfo>
#include <QImageReader>
#include <cmath>

namespace grevlon {

namespace {

// Twips of `pixels` at `dotsPerMetre` (a picture that states no resolution counts as 96 dpi).
int naturalTwips(int pixels, int dotsPerMetre) {
    const double dpi = dotsPerMetre > 0 ? dotsPerMetre * 0.0254 : 96.0;
    return int(std::lround(pixels * 1440.0 / dpi));
}

}  // namespace

void FHeader::setHeaderPath(const QString& path) {
    m_HeaderPath = path;
    m_picture = QImage();
    m_box = QRect();
    if (path.isEmpty())
        return;
    // The reader says "File not found" for a folder.
    if (QFileInfo(path).isDir())
        throw voltaris::IoError(
            QStringLiteral("Cannot load the header picture %1: it is a folder").arg(path));
    QImageReader reader(path);
    QImage img = reader.read();
    if (img.isNull())
        throw voltaris::IoError(QStringLiteral("Cannot load the header picture %1: %2")
                                    .arg(path, reader.errorString()));
    const QRect box(0, 0, naturalTwips(img.width(), img.dotsPerMeterX()),
                    naturalTwips(img.height(), img.dotsPerMeterY()));
    if (box.width() > kWidth || box.height() > kHeight)
        return;
    m_picture = img;
    m_box = box;
}

}  // namespace grevlon
