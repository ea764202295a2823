#pragma once
// What the installer probes look at, read once from a start file and bounded whatever its size: the
// PE layout, the first part of the image (where the installer's own code and strings are), the first part
// of the overlay (the data after the image, where most installers keep their payload), and on request
// resources and version strings.
#include "platform/version/ByteSource.h"
#include "platform/version/PeImage.h"
#include "platform/version/PeResources.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>
#include <span>
#include <vector>

namespace pw {

class InstallerEvidence {
public:
    // How much of the image and of the overlay is read.
    static constexpr size_t kHeadWindow = 1024 * 1024;
    static constexpr size_t kOverlayWindow = 64 * 1024;

    // `fileName` gives the extension; the bytes come from `source`.
    InstallerEvidence(ByteSource& source, const QString& fileName);

    const QString& LowerExtension() const { return extension_; }
    // The first bytes of the file (a few hundred whatever it is; for an image, up to kHeadWindow of it).
    std::span<const uint8_t> Head() const { return head_; }
    bool IsPe() const { return isPe_; }
    PeImage& Image() { return image_; }
    uint64_t OverlayOffset() const { return image_.ImageEnd(); }
    // Up to kOverlayWindow bytes from OverlayOffset(); empty when nothing follows the image.
    std::span<const uint8_t> Overlay() const { return overlay_; }

    // True when `marker` appears in Head(), as single-byte text or as UTF-16LE.
    bool HeadHolds(const QByteArray& marker) const;
    // The first `limit` bytes of a resource of the image.
    std::optional<std::vector<uint8_t>> Resource(const ResourceId& type, const ResourceId& name, size_t limit);
    // The string `name` of the first translation of the version resource; empty when there is none.
    QString VersionString(const QString& name);

private:
    ByteSource& source_;
    QString extension_;
    PeImage image_;
    bool isPe_ = false;
    std::vector<uint8_t> head_;
    std::vector<uint8_t> overlay_;
    std::optional<std::vector<uint8_t>> version_;
    bool versionRead_ = false;
};

// True when `bytes` holds `marker`.
bool Holds(std::span<const uint8_t> bytes, const QByteArray& marker);
// True when `bytes` begin with `marker`.
bool StartsWith(std::span<const uint8_t> bytes, const QByteArray& marker);
// Where `marker` first appears in `bytes` from `from`, or npos.
size_t Find(std::span<const uint8_t> bytes, const QByteArray& marker, size_t from = 0);

}  // namespace pw
