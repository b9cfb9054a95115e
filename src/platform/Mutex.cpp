#include "platform/Mutex.h"

#include <cstdio>
#include <deque>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// A lock on a file stands for the mutex: the kernel drops it when its process ends.
struct TMutex {
    int Fd;
    bool Owned;
};

// Handles stay open until the process ends, as the program never closes them.
TMutex* NewHandle(int fd, bool owned) {
    static std::deque<TMutex> handles;
    return &handles.emplace_back(TMutex{fd, owned});
}

std::string LockPath(const char* name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string path = runtime && *runtime ? runtime : "/tmp";
    path += "/kalnor-mutex-" + std::to_string(getuid()) + "-";
    for (const char* c = name; *c; ++c) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(*c));
        path += hex;
    }
    return path;
}

} // namespace

HANDLE OpenMutexA(DWORD, BOOL, const char* lpName) {
    if (!lpName) {
        return nullptr;
    }
    const int fd = open(LockPath(lpName).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Nobody holds it: the name is only a leftover file.
        flock(fd, LOCK_UN);
        close(fd);
        return nullptr;
    }
    return NewHandle(fd, false);
}

HANDLE CreateMutexA(void*, BOOL bInitialOwner, const char* lpName) {
    if (!lpName) {
        return nullptr;
    }
    const int fd = open(LockPath(lpName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return nullptr;
    }
    const bool owned = bInitialOwner && flock(fd, LOCK_EX | LOCK_NB) == 0;
    return NewHandle(fd, owned);
}

BOOL ReleaseMutex(HANDLE hMutex) {
    auto* mutex = static_cast<TMutex*>(hMutex);
    if (!mutex || !mutex->Owned) {
        return FALSE;
    }
    flock(mutex->Fd, LOCK_UN);
    mutex->Owned = false;
    return TRUE;
}
