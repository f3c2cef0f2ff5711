// One bounded HTTP download into a file, on the GUI thread.
#pragma once

#include "app/Platform.h"

#include <QString>

// Fetches `url` (http or https) into the existing file `file`, replacing its
// contents, within the limits. The HTTP status is not looked at. Redirects to
// http or https are followed up to limits.maxRedirects times. While it runs
// the windows keep painting and timers run; user input waits. False on any
// failure (also when the time or size bound is exceeded).
bool HttpDownloadToFile(const QString& url, const QString& file,
                        const Platform::DownloadLimits& limits);
