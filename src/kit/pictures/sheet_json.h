// The JSON that sprite editors and packers write beside a sheet PNG, read
// into a sheet description. `frames` is either an array of objects, each
// with its `filename`, or an object keyed by frame name, taken in file
// order; each frame has `frame` {x, y, w, h} and `duration` (milliseconds),
// and may have `rotated`, `trimmed`, `spriteSourceSize` {x, y, w, h} and
// `sourceSize` {w, h}. `meta.image` names the sheet PNG relative to the
// JSON, `meta.size` {w, h} may give its size, and `meta.frameTags` lists the
// tags {name, from, to, direction, repeat}. Members the sheet does not use
// are passed over: exporters add some between versions.
#pragma once

#include <string>
#include <string_view>

#include "kit/pictures/sheet_description.h"

/// Reads the description from `text`; `fileName` is the JSON's name in
/// messages and `sheet.source`. On failure `failure` names the line and
/// column of text that is no JSON ("walk.json:3:14"), or the member at
/// fault ("frames[3].frame.w: is -2, less than 0"), and `sheet` is empty.
/// Every frame is checked against its own picture and, when `meta.size`
/// is given, against the sheet; without it, LoadSheetImage checks them
/// against the PNG. Nothing throws.
bool ReadSheetJson(std::string_view text, const std::string& fileName, CSheetDescription& sheet,
                   CSheetFailure& failure);

/// The same, from the file `path`: "cannot be opened" when it cannot, and
/// a file of more than kMaxSheetJsonBytes is refused before it is read.
bool LoadSheetJson(const std::string& path, CSheetDescription& sheet, CSheetFailure& failure);
