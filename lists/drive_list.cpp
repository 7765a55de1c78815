#include "drive_list.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <set>

namespace kolvex {

namespace {

// File systems that never hold a card's recordings although they may sit
// on a block device: compressed package images and the like.
bool IsPackageImage(const QString& type) {
    return type == QLatin1String("squashfs") || type == QLatin1String("erofs") ||
           type == QLatin1String("cramfs");
}

bool IsNetworkType(const QString& type) {
    static const std::set<QString> network = {
        QStringLiteral("nfs"),        QStringLiteral("nfs4"),       QStringLiteral("cifs"),
        QStringLiteral("smb3"),       QStringLiteral("smbfs"),      QStringLiteral("sshfs"),
        QStringLiteral("fuse.sshfs"), QStringLiteral("9p"),         QStringLiteral("ceph"),
        QStringLiteral("glusterfs"),  QStringLiteral("davfs"),      QStringLiteral("fuse.davfs"),
        QStringLiteral("afs"),        QStringLiteral("fuse.rclone")};
    return network.count(type) != 0;
}

bool IsUsable(const VolumeInfo& v) {
    if (!v.valid || !v.ready || v.mountPoint.isEmpty())
        return false;
    // A real file system lives on a block device; memory and pseudo file
    // systems ("tmpfs", "proc") and network shares ("host:/path",
    // "//host/share") do not.
    if (!v.device.startsWith(QLatin1String("/dev/")))
        return false;
    if (IsNetworkType(v.fileSystemType))
        return false;
    return !(v.readOnly && IsPackageImage(v.fileSystemType));
}

bool ComesFirst(const VolumeInfo& v) {
    const QString& m = v.mountPoint;
    return v.removable || m.startsWith(QLatin1String("/media/")) ||
           m.startsWith(QLatin1String("/run/media/")) || m == QLatin1String("/mnt") ||
           m.startsWith(QLatin1String("/mnt/"));
}

// Whether the block device is a card or a stick: the kernel's removable
// flag of the disk, a disk behind USB, or a memory-card slot.
bool IsRemovableDevice(const QString& device) {
    const QString name = QFileInfo(device).fileName();
    if (name.isEmpty())
        return false;
    if (name.startsWith(QLatin1String("mmcblk")))
        return true;
    const QString path = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (path.isEmpty())
        return false;
    if (path.contains(QLatin1String("/usb")))
        return true;
    for (const QString& disk : {path, QFileInfo(path).path()}) {
        QFile flag(disk + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.read(1) == "1";
    }
    return false;
}

} // namespace

std::vector<VolumeInfo> MountedVolumes() {
    std::vector<VolumeInfo> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        VolumeInfo v;
        v.mountPoint = storage.rootPath();
        v.device = QString::fromLocal8Bit(storage.device());
        v.fileSystemType = QString::fromLatin1(storage.fileSystemType());
        v.label = storage.name();
        v.valid = storage.isValid();
        v.ready = storage.isReady();
        v.readOnly = storage.isReadOnly();
        v.removable = v.device.startsWith(QLatin1String("/dev/")) && IsRemovableDevice(v.device);
        volumes.push_back(v);
    }
    return volumes;
}

std::vector<DriveItem> BuildDriveItems(const std::vector<VolumeInfo>& volumes) {
    std::vector<const VolumeInfo*> usable;
    std::set<QString> seen;
    for (const VolumeInfo& v : volumes) {
        if (IsUsable(v) && seen.insert(v.mountPoint).second)
            usable.push_back(&v);
    }
    std::stable_sort(usable.begin(), usable.end(), [](const VolumeInfo* a, const VolumeInfo* b) {
        const bool aFirst = ComesFirst(*a), bFirst = ComesFirst(*b);
        if (aFirst != bFirst)
            return aFirst;
        return a->mountPoint < b->mountPoint;
    });
    std::vector<DriveItem> items;
    for (const VolumeInfo* v : usable) {
        const QString text = v->label.isEmpty()
                                 ? v->mountPoint
                                 : v->mountPoint + QStringLiteral("    [") + v->label + u']';
        items.push_back({text, v->mountPoint});
    }
    return items;
}

} // namespace kolvex
