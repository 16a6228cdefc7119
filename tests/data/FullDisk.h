#pragma once

#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>

#include "data/SafeFile.h"

// A disk that fills up: while the object lives, the safe-write helper's writes go through until
// limit bytes are written, then fail with ENOSPC as a full disk does.
class CFullDisk {
public:
    explicit CFullDisk(size_t limit)
    {
        SetSafeWriteFunctionForTesting(
            [this, limit](int fd, const void* data, size_t size) -> ssize_t {
                if (m_written >= limit) {
                    errno = ENOSPC;
                    return -1;
                }
                const ssize_t done = ::write(fd, data, std::min(size, limit - m_written));
                if (done > 0) m_written += static_cast<size_t>(done);
                return done;
            });
    }
    ~CFullDisk() { SetSafeWriteFunctionForTesting({}); }
    CFullDisk(const CFullDisk&) = delete;
    CFullDisk& operator=(const CFullDisk&) = delete;

    // Bytes that reached the disk so far (over all files written).
    size_t Written() const { return m_written; }

private:
    size_t m_written = 0;
};
