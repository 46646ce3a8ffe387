// The file system calls of the write protocol, made as they are: what each
// implementation of the disk seam (disk.h) comes down to.
#pragma once

#include <sys/types.h>

#include <string_view>

namespace cm::sys {

int createFile(const char* path);
int openLockFile(const char* path);
bool writeAllAt(int fd, std::string_view bytes, off_t offset);
bool syncFile(int fd);
bool closeFile(int fd);
bool truncateFile(int fd, off_t size);
bool renameFile(const char* from, const char* to);
bool syncFolder(const char* folder);
bool syncFileSystem(const char* folder);
void removeFile(const char* path);

}  // namespace cm::sys
