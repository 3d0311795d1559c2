#pragma once

namespace voltaris {

// Program version: major, minor, revision (the revision selects the report language).
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 107;
inline constexpr int kVersionRevision = 1;

}  // namespace voltaris
