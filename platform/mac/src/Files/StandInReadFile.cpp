// Whole-file reads for the stand-in's own readers (preferences, icons, images).
#include "iStandInFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace standin_files {

namespace {

// Closes the descriptor it holds.
class FileDescriptor {
public:
  explicit FileDescriptor(int fd) : m_Fd(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (m_Fd >= 0)
      ::close(m_Fd);
  }
  int Get() const { return m_Fd; }

private:
  int m_Fd;
};

}  // namespace

bool ReadRegularFile(const std::string& path, std::size_t maxSize, std::string* bytes) {
  // Non-blocking, so that a FIFO or a device put in the file's place cannot stall the open; only
  // a regular file is then read.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.Get() < 0)
    return false;
  struct stat st;
  if (::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
      static_cast<unsigned long long>(st.st_size) > maxSize)
    return false;
  std::string read(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t done = 0;
  while (done < read.size()) {
    const ssize_t got = ::read(file.Get(), &read[done], read.size() - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return false;
    done += static_cast<std::size_t>(got);
  }
  bytes->swap(read);
  return true;
}

}  // namespace standin_files
