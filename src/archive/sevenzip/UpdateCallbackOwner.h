#pragma once
// What the update callback tells the writer that made it. The events are raised on the thread that
// called Add; the rest may be asked from the library's threads.
#include <QString>

#include <cstdint>

namespace pw {

class UpdateCallbackOwner {
public:
    virtual void FileAdded(const QString& name, qint64 size) = 0;
    virtual void Progressed(const QString& name, qint64 archivePos, qint64 filePos) = 0;
    virtual void Cancelled(const QString& name) = 0;
    // The stored name of item `index`, which the owner may change; asked only when RenamesItems() was
    // true as the callback was made.
    virtual void RenameItem(std::uint32_t index, QString& name) = 0;
    virtual bool RenamesItems() const = 0;
    virtual bool StopRequested() const = 0;
    // From the library's threads, as they release a file they could not read.
    virtual void FileUnread(const QString& path, qint32 error) = 0;

protected:
    ~UpdateCallbackOwner() = default;
};

}  // namespace pw
