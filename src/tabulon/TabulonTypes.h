#pragma once

#include <QString>
#include <QtGlobal>

#include "tabulon/GrevlonExport.h"

// The base error class is header-only; its type information must match the host's.
#pragma GCC visibility push(default)
#include "base/Errors.h"
#pragma GCC visibility pop

namespace grevlon {

// Language of the button tips and of the continuation text.
enum eLanguage : qint16 { lIta = 0, lEng = 1, lEsp = 2, lDeu = 3, lFra = 4 };

// Where the next page is drawn.
enum ePrintPreview : qint16 { otPrinter = 0, otPreview = 1 };

// Order of the records across side-by-side column groups.
enum eDataProgressMode : qint16 { dpmVertical = 0, dpmHorizontal = 1 };

// Any error raised by the printing library; the message names what was wrong.
class GREVLON_EXPORT TabulonError : public voltaris::VoltarisError {
public:
    using VoltarisError::VoltarisError;
};

// A row set was asked for a field it does not have, a value it cannot convert, or a row
// it does not hold.
class GREVLON_EXPORT RowSetError : public TabulonError {
public:
    using TabulonError::TabulonError;
};

// The document cannot be laid out: a missing style row or table row, or a geometry that
// does not fit 16 bits.
class GREVLON_EXPORT LayoutError : public TabulonError {
public:
    using TabulonError::TabulonError;
};

// Offsets of the library's own texts; the id of a text is language * 100 + offset.
enum LanguageTextOffset : int {
    kNextPageTip = 110,
    kPreviousPageTip = 111,
    kClosePreviewTip = 112,
    kPrintTip = 113,
    kContinuationText = 114,
};

// The library's text at `offset` in `language` (empty when the id is not in its table).
GREVLON_EXPORT QString LanguageText(eLanguage language, int offset);
// The library's text with this id.
GREVLON_EXPORT QString GrevlonString(int id);

// Millimetres to twips and back, with the factor the margins are exchanged with.
inline constexpr float kTwipsPerMillimetre = 56.686f;

}  // namespace grevlon
