#pragma once

#include <sys/stat.h>
#include <sys/types.h>

// While one lives, the files and folders the program creates are for the
// user alone: files 0600, folders 0700. Autosave copies and downloads are
// made under one, wherever they go.
class PrivateFiles {
public:
    PrivateFiles()
        : m_previous(::umask(077))
    {}
    ~PrivateFiles() { ::umask(m_previous); }

    PrivateFiles(const PrivateFiles &) = delete;
    PrivateFiles &operator=(const PrivateFiles &) = delete;

private:
    mode_t m_previous;
};
