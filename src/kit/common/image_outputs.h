// What a kit command may write over. A picture is somebody's art until
// proven otherwise: a file named as one kind of image never receives
// another kind (a GIF over `walk1.png`), and a PNG is replaced only when
// the command line asks for it. Each check runs before anything is written.
#pragma once

#include <string>
#include <string_view>

/// The kind of image the extension of `path` names, lower case and without
/// its dot: `walk1.PNG` -> "png", `tex/a.tmf` -> "tmf"; "" for a name that
/// names none (`walk.html`, `walk`).
std::string ImageExtension(const std::string& path);

/// Refuses to write `what` (say "the GIF") to `target` when its name is
/// that of an image of another kind than `own`, the extension `what` takes
/// ("gif", "html"). False after the message, which names the file and the
/// extension to give. (`walk1.png`, "gif") -> refused; (`walk.gif`, "gif")
/// and (`walk`, "gif") pass.
bool CheckImageName(const std::string& target, std::string_view own, std::string_view what);

/// Refuses to replace `target` when it holds a PNG picture, by its name or
/// by its first bytes, unless `force`; `canForce` says whether the command
/// has --force to offer. False after the message.
bool CheckPngOverwrite(const std::string& target, bool force, bool canForce);
