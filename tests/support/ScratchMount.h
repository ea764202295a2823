#pragma once
// A small tmpfs mounted for one test: a full disk at a known size, or a folder that even root cannot
// write once it is remounted read-only. Needs the right to mount (root); tests skip without it.
#include <QString>
#include <QTemporaryDir>

namespace pwtest {

class ScratchMount {
public:
    explicit ScratchMount(qint64 sizeBytes);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool mounted() const { return mounted_; }
    QString path(const QString& relative = QString()) const;
    bool makeReadOnly();
    // Fills what is left of the disk with a file named "filler", so that no further byte fits.
    void fillUp();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

}  // namespace pwtest

// Skips the current test when the scratch mount could not be made.
#define PW_REQUIRE_MOUNT(m) \
    if (!(m).mounted())     \
    GTEST_SKIP() << "cannot mount a scratch file system here"
