// Running the new-version check from the windows.
#pragma once

#include <QString>

struct Program;

namespace viewer {

// The address of the version list: under the maker's site, or under the
// root named by KORVANTA_SITE_URL when that is set.
QString VersionsListUrl();
// The version published for this program, or empty on any failure. Shows the
// busy cursor while it runs; the windows keep painting and their input waits.
QString FetchPublishedVersion(Program& program);
// The published version is newer than the program's own.
bool IsNewerRelease(const Program& program, const QString& published);

} // namespace viewer
