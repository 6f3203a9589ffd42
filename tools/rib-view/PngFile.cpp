#include "PngFile.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace ribview {
namespace {

std::string folderOf(const std::string &path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string cannotWrite(const std::string &path, const std::string &why) {
  return "cannot write '" + path + "': " + why;
}

// libpng reports errors by longjmp: nothing with a destructor lives in this function.
const char *encode(FILE *file, int width, int height, const uint8_t *rgba) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return "out of memory";
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return "out of memory";
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return "the PNG encoder failed";
  }
  png_init_io(png, file);
  // Fast settings, fixed: the default level and adaptive filters take as long as drawing a
  // million triangles, for files a third smaller.
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y)
    png_write_row(png, const_cast<png_bytep>(rgba + size_t(y) * width * 4));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return nullptr;
}

} // namespace

std::string unwritable(const std::string &path) {
  const std::string folder = folderOf(path);
  struct stat info;
  if (stat(folder.c_str(), &info) != 0) return cannotWrite(path, std::strerror(errno));
  if (!S_ISDIR(info.st_mode)) return cannotWrite(path, std::strerror(ENOTDIR));
  if (access(folder.c_str(), W_OK) != 0) return cannotWrite(path, std::strerror(errno));
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
    return cannotWrite(path, "it is a folder");
  return "";
}

std::string writePng(const std::string &path, int width, int height,
                     const std::vector<uint8_t> &rgba) {
  std::string temporary = folderOf(path) + "/.rib-view-XXXXXX";
  const int fd = mkstemp(&temporary[0]);
  if (fd < 0) return cannotWrite(path, std::strerror(errno));
  // mkstemp makes the file for its owner alone; the picture gets the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  FILE *file = fdopen(fd, "wb");
  if (!file) {
    const int error = errno;
    close(fd);
    unlink(temporary.c_str());
    return cannotWrite(path, std::strerror(error));
  }
  errno = 0;
  const char *problem = encode(file, width, height, rgba.data());
  // A full disk shows in the stream's error state and errno, whichever step met it.
  const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
  int error = errno ? errno : EIO;
  const bool closed = std::fclose(file) == 0;
  if (flushed && !closed) error = errno;
  std::string why = !flushed || !closed ? std::strerror(error) : problem ? problem : "";
  if (why.empty() && std::rename(temporary.c_str(), path.c_str()) != 0) why = std::strerror(errno);
  if (why.empty()) return "";
  unlink(temporary.c_str());
  return cannotWrite(path, why);
}

} // namespace ribview
