// Where a dual camera puts the rear recording of a moment: under the front
// file's name with the last character before the extension turned into 'R'
// (MOVA0010.MP4 -> MOVA001R.MP4), beside the front file or, failing that,
// in the sibling folder whose last character is turned into 'R' as well
// (DCIM/CAMF -> DCIM/CAMR). Playback and the file operations share this
// lookup, so that what is copied, deleted or renamed with a front file is
// what the player shows beside it.
#pragma once

#include <QString>

namespace kolvex {

// The existing rear file of a front file, or "" when there is none. Paths
// use '/'; doubled separators before the file name are skipped. A path
// whose file name has no extension after its first character, or that has
// no folder at all, has no rear file.
QString FindRearFile(const QString& frontPath);

// The rear name the first rule gives for a front file name or path: the
// character before the last '.' becomes 'R'. "" when there is no such
// character.
QString RearNameBeside(const QString& front);

} // namespace kolvex
