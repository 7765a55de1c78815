// The "drives" the open dialog offers: the mounted file systems that can
// hold a camera's recordings, memory cards and other removable media
// first.
#pragma once

#include <QString>

#include <vector>

namespace kolvex {

// What the dialog needs to know of one mounted file system.
struct VolumeInfo {
    QString mountPoint;
    QString device;         // e.g. "/dev/sdb1", "tmpfs", "server:/export"
    QString fileSystemType; // e.g. "vfat", "ext4", "tmpfs", "nfs4"
    QString label;          // the volume's name; empty when it has none
    bool valid = true;
    bool ready = true;
    bool readOnly = false;
    bool removable = false;
};

struct DriveItem {
    QString text;       // "<mount point>    [<label>]", or the mount point alone
    QString mountPoint; // what the dialog returns as the drive
};

// The system's mounted file systems.
std::vector<VolumeInfo> MountedVolumes();

// The items of the drive list: real, ready file systems (no pseudo, memory
// or network file systems, no read-only package images), removable media
// and anything under /media, /run/media or /mnt first, each part sorted by
// mount point.
std::vector<DriveItem> BuildDriveItems(const std::vector<VolumeInfo>& volumes);

} // namespace kolvex
