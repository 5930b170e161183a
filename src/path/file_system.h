// The file-system seam: everything flipdeck asks of the operating system
// about paths. One implementation per system (file_system_posix.cpp,
// file_system_win32.cpp), chosen by the build; nothing else in flipdeck
// tests which system it runs on. A path holding a NUL byte (a TAF value may)
// names nothing here: the system would see it cut short, another file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "path/path_style.h"

struct FileStatus {
  bool exists = false;
  bool isDirectory = false;
};

/// The path rules of the system flipdeck was built for.
PathStyle HostPathStyle();

/// `path` spelled for the file system. On POSIX every '\\' becomes '/', so
/// project files written on Windows open unchanged: `tex\a.tmf` -> `tex/a.tmf`.
/// On Windows the path is returned as it is.
std::string ToNativePath(const std::string& path);

/// Whether `path` names an existing object and whether that is a directory
/// (links followed). Missing, unreadable or NUL-holding paths: both false.
FileStatus GetFileStatus(const std::string& path);

/// The absolute form of `path` against the working directory, "." and ".."
/// resolved lexically (no link resolution), a trailing separator kept; the
/// empty path gives the working directory. Returns false and leaves `full`
/// empty when the result does not fit the system's limit (259 characters on
/// Windows, PATH_MAX - 1 on POSIX) or the working directory is unknown.
/// POSIX, working directory /work: `a\..\b\.\c.tmf` -> `/work/b/c.tmf`.
bool GetFullPath(const std::string& path, std::string& full);

/// Whether two full paths (as GetFullPath gives them) spell one name the way
/// the file system compares names: byte for byte on POSIX; ignoring case on
/// Windows, by the system's own case table, so `OUT.C` is `out.c` and `\xc9.C`
/// is `\xe9.c` (É and é in the Western code page).
bool IsSamePathName(const std::string& a, const std::string& b);

/// What tells one existing file from another whatever its name: the device
/// and inode on POSIX (hard and symbolic links share them), the volume and
/// file index on Windows.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t file = 0;
  bool operator==(const FileIdentity&) const = default;
};

/// The identity of the existing file `path` names; false when it cannot be
/// examined (missing, unreadable, NUL-holding).
bool GetFileIdentity(const std::string& path, FileIdentity& identity);

/// Deletes `path` when it names a regular file or a symbolic link (the link,
/// never its target); devices, FIFOs, directories and missing files are left
/// alone, since an output named /dev/null must survive a run as root. Never
/// reports.
void RemoveOutputFile(const std::string& path);

/// Whether a file renamed onto `path` would take the place of nothing or of
/// a regular file. False for a symbolic link (the rename would replace the
/// link itself, which may be the system's, as /dev/stdout is), a directory,
/// a device (/dev/null, NUL) or a FIFO: an output named so is written in
/// place, through the link, into the device or the pipe a reader waits on.
bool IsReplaceable(const std::string& path);

/// Creates `path` as a new empty file. False when it cannot, with `taken`
/// true when that is because something has the name already.
bool CreateNewFile(const std::string& path, bool& taken);

/// Renames the file `from` to `to` in the same directory, replacing a file
/// `to` names. False when the system refuses.
bool MoveFileOnto(const std::string& from, const std::string& to);

/// Calls `visit` with the name of every entry of the directory `dir` ("" is
/// the working directory) but "." and "..", one at a time, so that a huge
/// directory costs no memory; `visit` may delete the entry it is given.
/// False when the directory cannot be read.
bool VisitDirectory(const std::string& dir, const std::function<void(const std::string&)>& visit);

/// Deletes `path` when it names a regular file itself (not a link, a
/// directory, a device). Never reports.
void RemoveRegularFile(const std::string& path);
