#pragma once

// Saves the player's current picture in the format its file name asks for.
//
// libVLC 3 writes every snapshot as PNG whatever the extension, so a
// "shot.jpg" straight from TakeSnapshot would be a PNG in disguise. libVLC
// writes into a private temporary file and we write the user's file from it,
// replacing an existing file only once the new picture is complete; libVLC's
// own path handling never sees the user's file name.

#include <QString>

class CVlcPlayer;

// True when path now holds the picture at the video's own size; false (and
// path untouched) when the player is unusable, shows no picture, or the
// format named by the extension cannot be written.
bool SaveSnapshot(CVlcPlayer& player, const QString& path);
