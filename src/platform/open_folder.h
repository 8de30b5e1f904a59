#pragma once

#include <QString>
#include <functional>

// Shows `folder` in the desktop's file manager. Where that cannot be done (no
// file manager is set up, or the desktop's opener is missing or fails),
// `could_not` is called, later, from the event loop, so the caller can say
// where the folder is instead of doing nothing visible. `opener` is the
// desktop's opener program on Linux (tests hand in their own).
void open_folder(const QString& folder, std::function<void()> could_not,
                 const QString& opener = QStringLiteral("xdg-open"));
