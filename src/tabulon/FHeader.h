#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include "tabulon/TabulonTypes.h"

namespace grevlon {

// The optional picture band at the top of every page: 9552 x 2268 twips with one picture
// box, pbHeader, at its top-left corner.
class GREVLON_EXPORT FHeader {
public:
    static constexpr qint16 kWidth = 9552;
    static constexpr qint16 kHeight = 2268;

    bool IsEnabled() const { return m_IsEnabled; }
    void setIsEnabled(bool v) { m_IsEnabled = v; }

    QString HeaderPath() const { return m_HeaderPath; }
    // Clears the picture, then loads `path` (when not empty) at its natural size. A picture
    // larger than the band is dropped again and not used. A file that cannot be loaded
    // throws voltaris::IoError naming it (the picture stays cleared).
    void setHeaderPath(const QString& path);

    // The picture in use (null when none) and its box within the band, in twips.
    bool HasPicture() const { return !m_picture.isNull(); }
    const QImage& Picture() const { return m_picture; }
    QRect PictureBox() const { return m_box; }

private:
    bool m_IsEnabled = false;
    QString m_HeaderPath;
    QImage m_picture;
    QRect m_box;
};

}  // namespace grevlon
