// The new-version check's rules: where the version list is, how the
// program's line is found in it and how version texts compare. Plain C++.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace version {

// The key of this program in the published list ("korvanta=2.2.1").
inline constexpr std::string_view ProgramKey = "korvanta";
// The list's place under the root of the maker's web site.
inline constexpr std::string_view VersionsPath = "index_fichiers/versions.txt";
// The environment variable that replaces the site's root (mirrors, tests).
inline constexpr const char* SiteUrlVariable = "KORVANTA_SITE_URL";

// The site root: `overrideRoot` when given and not empty, else `builtinRoot`;
// a "/" is added when it does not end with one.
std::string SiteRoot(const char* overrideRoot, std::string_view builtinRoot);
// The address of the version list under a site root.
std::string VersionsUrl(std::string_view siteRoot);

// A version text as a number: 100 x the first character of the first
// component + 10 x that of the second + that of the third, each only while it
// is a digit ("2.2.1" 221, "3.0" 300, "2.10.0" 210, "10.0.0" 100, "" 0).
int VersionNumber(std::string_view text);
// A published version is newer when its number is strictly greater.
inline bool IsNewer(std::string_view published, std::string_view own) {
    return VersionNumber(published) > VersionNumber(own);
}

// The lines of a text, ending at CR LF, LF or CR.
std::vector<std::string_view> Lines(std::string_view text);
// The version of `key` in a downloaded answer: everything after the first
// "=" of the first line whose text up to that "=" is exactly the key (the "="
// at position 2 or later). Empty for an answer shorter than 3 bytes, one with
// a "<" in its first 3 bytes (a web page), or one without the key's line.
std::string PublishedVersionIn(std::string_view answer, std::string_view key);

// Fetches `url` into the file named by its second argument; false on failure.
using Download = std::function<bool(const std::string& url, const std::string& file)>;
// The version published for `key` at `url`, empty on any failure. The answer
// goes into a private temporary file of the system's temporary folder
// (readable by the user alone), which is removed before it returns, whatever
// happens; no file of the current folder is touched.
std::string FetchPublishedVersion(std::string_view key, const std::string& url,
                                  const Download& download);

} // namespace version
