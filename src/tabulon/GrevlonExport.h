#pragma once

#include <QtGlobal>

// Symbols of libGrevlon that hosts may use; everything else stays inside the library.
#if defined(GREVLON_BUILDING)
#define GREVLON_EXPORT Q_DECL_EXPORT
#else
#define GREVLON_EXPORT Q_DECL_IMPORT
#endif
