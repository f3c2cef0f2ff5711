#include "geo/Bitmap.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace geo {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string ErrorText(std::string_view what, const std::string& path, int error) {
    return std::string(what) + " " + path + ": " + std::strerror(error);
}

} // namespace

std::vector<uint8_t> EncodeBmp4(const PaletteImage& image) {
    const uint32_t width = static_cast<uint32_t>(std::max(0, image.width));
    const uint32_t height = static_cast<uint32_t>(std::max(0, image.height));
    const uint32_t rowBytes = (width * 4 + 31) / 32 * 4;
    const uint32_t headerBytes = 14 + 40 + 16 * 4;
    const uint32_t imageBytes = rowBytes * height;

    std::vector<uint8_t> out;
    out.reserve(headerBytes + imageBytes);
    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    Put32(out, headerBytes + imageBytes);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, headerBytes);
    // BITMAPINFOHEADER: bottom-up, uncompressed, 96 dpi
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 3780);
    Put32(out, 3780);
    Put32(out, 16);
    Put32(out, 16);
    for (uint32_t c : Palette) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
        out.push_back(static_cast<uint8_t>((c >> 16) & 0xFF));
        out.push_back(0);
    }
    const bool complete = image.indices.size() == static_cast<size_t>(width) * height;
    for (uint32_t row = height; row-- > 0;) {
        const size_t start = out.size();
        for (uint32_t x = 0; x < width; x += 2) {
            auto index = [&](uint32_t col) -> uint8_t {
                if (!complete || col >= width) return 0;
                const uint8_t v = image.indices[static_cast<size_t>(row) * width + col];
                return v < 16 ? v : 0;
            };
            out.push_back(static_cast<uint8_t>((index(x) << 4) | index(x + 1)));
        }
        while (out.size() - start < rowBytes)
            out.push_back(0);
    }
    return out;
}

std::string WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (path.empty()) return "no output file name given";
    // A file its owner protected from writing is not replaced behind its
    // back by the rename (which only needs the folder's permission). Read-only
    // for everyone counts as protected also for the administrator.
    struct stat old {};
    const bool exists = stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (exists && (access(path.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0))
        return ErrorText("cannot write", path, EACCES);

    // A short temporary name in the same folder, so that a name close to the
    // longest the file system allows can still be written.
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string tmpl = (slash == std::string::npos ? std::string() : folder) + ".kv.XXXXXX";
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) return ErrorText("cannot create a temporary file beside", path, errno);

    // The new file gets the old file's permissions, or the usual ones.
    mode_t mode;
    if (exists) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);

    auto fail = [&](std::string_view what, int error) {
        close(fd);
        unlink(tmpl.c_str());
        return ErrorText(what, path, error);
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail("cannot write", errno);
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0) return fail("cannot flush", errno);
    if (close(fd) != 0) {
        const int error = errno;
        unlink(tmpl.c_str());
        return ErrorText("cannot write", path, error);
    }
    if (rename(tmpl.c_str(), path.c_str()) != 0) {
        const int error = errno;
        unlink(tmpl.c_str());
        return ErrorText("cannot write", path, error);
    }
    // Make the rename itself durable.
    const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return {};
}

std::string WriteBmp4(const PaletteImage& image, const std::string& path) {
    return WriteFileAtomically(path, EncodeBmp4(image));
}

} // namespace geo
