// Reading the whole input and writing the output of the conversion command:
// byte sinks over file descriptors and an output file that replaces its
// target only once everything has been written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/export.h"

namespace kotoha::conv {

// The longest input the codec's 32-bit lengths can hold, in bytes.
inline constexpr std::uint64_t kMaxInputBytes = 0xFFFFFFFFu;

// Reads the whole of path ("-" for standard input) into bytes. On failure
// returns false and sets error to one line naming the input and the cause;
// an input longer than kMaxInputBytes is a failure.
bool ReadWholeInput(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// A sink writing to a file descriptor it does not own. Short writes are
// continued and interrupted writes retried; any other failure (a closed
// pipe, a full disk) makes Write return false and is kept in error().
class FdSink : public ByteSink {
  public:
    explicit FdSink(int fd) : fd_(fd) {}
    bool Write(const std::uint8_t* bytes, std::size_t count) override;
    // errno of the first failed write; 0 while every write succeeded.
    int error() const { return error_; }

  private:
    int fd_;
    int error_ = 0;
};

// The output named by -o. For a path that is absent or names a regular file,
// the bytes go to a temporary file in the same directory, which Commit
// flushes to disk and renames over the target; the target therefore holds
// either its old content or the whole new one. An existing target keeps its
// permission bits; a new one gets 0666 less the umask. A symbolic link is
// followed, so the file it points to is replaced. Any other existing
// target (a device, a pipe) is written directly. Destroying the object
// before Commit succeeded removes the temporary file.
class OutputFile {
  public:
    explicit OutputFile(std::string path) : path_(std::move(path)) {}
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file (or opens the non-regular target).
    bool Open(std::string& error);
    // Where the bytes go; valid after Open succeeded.
    FdSink& sink() { return sink_; }
    // The message for a failed write through sink().
    std::string WriteError() const;
    // Flushes, closes and renames the temporary file over the target.
    bool Commit(std::string& error);

  private:
    void Discard();

    std::string path_;      // as the user named it, for messages
    std::string target_;    // the file replaced: path_ with links resolved
    std::string tempPath_;  // empty when writing the target directly
    int fd_ = -1;
    FdSink sink_{-1};
};

}  // namespace kotoha::conv
