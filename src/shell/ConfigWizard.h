#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace voltaris {
class Archive;
}

namespace voltaris::shell {

// What the configuration wizard edits: a new configuration, a stored one, or the
// instrument's configuration (the reserved id 2).
inline constexpr int kModeNew = 0;
inline constexpr int kModeEdit = 1;
inline constexpr int kModeInstrument = 2;

// Runs the configuration wizard in `mode` on configuration `id` (named `name` in the
// list; ignored for a new one) and saves it when the user ends with End: the id saved (the
// new one in mode 0), nullopt when the wizard was cancelled. Before End is accepted the whole
// configuration is checked; its problems are listed and the wizard stays open.
std::optional<qint32> EditNewProgramma(QWidget* parent, Archive& archive, int mode, qint32 id,
                                       const QString& name);

}  // namespace voltaris::shell
