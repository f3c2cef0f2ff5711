#include "viewer/VersionCheck.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <stdlib.h>
#include <unistd.h>

namespace version {

std::string SiteRoot(const char* overrideRoot, std::string_view builtinRoot) {
    std::string root =
        overrideRoot && *overrideRoot ? std::string(overrideRoot) : std::string(builtinRoot);
    if (root.empty() || root.back() != '/') root += '/';
    return root;
}

std::string VersionsUrl(std::string_view siteRoot) {
    std::string url(siteRoot);
    if (url.empty() || url.back() != '/') url += '/';
    url += VersionsPath;
    return url;
}

int VersionNumber(std::string_view s) {
    if (s.empty()) return 0;
    int result = 0;
    // The first character of a component, weighted; false when it is no digit.
    auto add = [&](int weight) {
        if (s.front() == '.') return true;
        if (s.front() < '0' || s.front() > '9') return false;
        result += weight * (s.front() - '0');
        return true;
    };
    if (!add(100)) return result;
    for (const int weight : {10, 1}) {
        const auto dot = s.find('.');
        if (dot == std::string_view::npos) return result;
        s.remove_prefix(dot + 1);
        if (s.empty()) return result;
        if (!add(weight)) return result;
    }
    return result;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string PublishedVersionIn(std::string_view answer, std::string_view key) {
    if (answer.size() < 3) return {};
    if (answer.substr(0, 3).find('<') != std::string_view::npos) return {};
    for (const std::string_view line : Lines(answer)) {
        const auto eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0) continue;
        if (line.substr(0, eq) == key) return std::string(line.substr(eq + 1));
    }
    return {};
}

namespace {

// A new file of the user's own in the temporary folder, removed with the object.
class PrivateTemporaryFile {
  public:
    PrivateTemporaryFile() {
        std::error_code error;
        std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        if (error) folder = "/tmp";
        std::string name = (folder / "korvanta-versions-XXXXXX").string();
        // mkstemp creates the file new, readable and writable by the user alone.
        const int fd = mkstemp(name.data());
        if (fd < 0) return;
        ::close(fd);
        path_ = name;
    }
    ~PrivateTemporaryFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    PrivateTemporaryFile(const PrivateTemporaryFile&) = delete;
    PrivateTemporaryFile& operator=(const PrivateTemporaryFile&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

} // namespace

std::string FetchPublishedVersion(std::string_view key, const std::string& url,
                                  const Download& download) {
    PrivateTemporaryFile file;
    if (!file.ok() || !download) return {};
    if (!download(url, file.path())) return {};
    std::ifstream in(file.path(), std::ios::binary);
    if (!in) return {};
    const std::string answer((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    if (in.bad()) return {};
    return PublishedVersionIn(answer, key);
}

} // namespace version
