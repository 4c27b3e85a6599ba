// Small helpers on file paths and files, shared by the engine, the training
// library and the programs. Paths are 8-bit strings with '/' between
// components; an extension is the text after the last '.' of the last
// component.
//
// path_directory, path_file_name and path_with_extension return text in one
// buffer per helper and per thread, overwritten by the next call of the same
// helper: copy the result before calling it again. They return null when
// the argument is null or the result would not fit in kPathMax bytes.
#pragma once

#include <cstddef>

namespace pathutil {

// Room for a path and its terminating NUL.
inline constexpr std::size_t kPathMax = 4096;

// Directory of the file's absolute path, without a trailing '/'. A relative
// name is resolved against the current directory ("." and ".." folded);
// the file need not exist. A file in the root directory gives "/".
const char* path_directory(const char* file);

// The text after the last '/', or the whole path when it has none.
const char* path_file_name(const char* path);

// The text after the last '.' of the last component (a pointer into `path`),
// or "" when that component has no '.'.
const char* path_extension(const char* path);

// `path` with its extension replaced by `ext`. An empty or null `ext` cuts
// the '.' and the extension off; a last component without '.' gets "." and
// `ext` appended (nothing when `ext` is empty).
const char* path_with_extension(const char* path, const char* ext);

// 1 if the file exists and can be opened for reading, else 0.
int file_exists(const char* name);

// Deletes the file: 1 when it was removed, 0 otherwise.
int delete_file(const char* name);

}  // namespace pathutil
