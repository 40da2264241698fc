// The file operations of the system the game runs on. Each system defines
// them once, in its own folder: platform/posix/ (open, fsync, rename,
// flock) and platform/windows/ (wide-character Win32 calls). Everything
// else reaches them through the table in core/binary_file.h.
#pragma once

namespace kelvrin {

struct FileOperations;

// The system's own operations; the table in use unless a test puts in its
// own (setFileOperations). A constant object: safe to take at any time,
// even while other globals are still being built.
const FileOperations& systemFileOperations();

}  // namespace kelvrin
