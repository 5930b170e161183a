// The text of the project files new writes: NAME.tpf, listing the
// pictures, and each TAF that shows them, with comments saying what each
// key means and where the project came from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// One picture of the project: its name and its files beside the TPF.
struct CProjectPicture {
  std::string name;
  std::string tmf;
  std::string tlf;
};

/// One key frame: from frame `start` on, `picture` is on view.
struct CProjectKey {
  int64_t start = 0;
  std::string picture;
};

/// `text` as a comment may carry it: every control character (a line end
/// would end the comment and start a key) becomes '?'.
std::string CommentText(std::string text);

/// The TPF listing `pictures`. `origin`, when not empty, says in the
/// opening comment where the project came from ("From the sheet walk.json.").
std::string MakeTpfText(const std::string& origin, const std::vector<CProjectPicture>& pictures);

/// The TAF of project `tpf` that shows `keys` in a frame sequence of
/// `length` frames, without a camera grid; `origin` as for MakeTpfText.
std::string MakeTafText(const std::string& origin, const std::string& tpf,
                        const std::vector<CProjectKey>& keys, int64_t length);
