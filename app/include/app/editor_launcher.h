#pragma once

#include <QString>

namespace quobrel {

// Opens a file in a plain-text editor without waiting for it: the command in
// QUOBREL_EDITOR when set, otherwise the first installed of the common desktop editors,
// otherwise the desktop's default opener. The path goes as one argument, never through a
// shell. Returns false when no editor could be started.
bool OpenInTextEditor(const QString& path);

}  // namespace quobrel
