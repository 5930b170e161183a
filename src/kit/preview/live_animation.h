// CLiveAnimation: one animation read again and again, as watch reads it
// after each save: its art synced, its model read as preview reads it, and
// check's report, all in the shape the live page takes.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kit/preview/preview.h"
#include "kit/preview/preview_page.h"

/// Adds `fallback`, a check-shaped error line, to `problems` when none of
/// them is an error: a panel that stands for a failure must say so.
void AddErrorIfNone(std::vector<std::string>& problems, const std::string& fallback);

/// What the sync step of one read did.
struct CArtSync {
  std::vector<std::string> art;       // what it read (full paths), the art the projects record
                                      // among it: watched too
  std::vector<std::string> written;   // the files it wrote or removed (full paths)
  std::vector<std::string> problems;  // why it failed, check-shaped: `walk3.png: error: ...`;
                                      // none when it succeeded
};
/// The sync step: makes again, through each project's palette, the
/// pictures of the animation `anime` (as the command line names it) whose
/// art changed since they were made from it. The command layer hands it in.
using ArtSync = std::function<CArtSync(const std::string& anime)>;

/// What a read needs from the other rooms.
struct CLiveSteps {
  AnimationCheck check;
  ArtSync sync;
};

/// One read of the animation.
struct CLiveRead {
  /// The page's model (pictures inside) when it converts; null when not.
  std::shared_ptr<const std::string> model;
  /// check's lines when it does not convert, with the sync step's first.
  std::vector<std::string> problems;
  /// Every file whose change changes the animation (full paths).
  std::vector<std::string> watched;
  /// The files the sync step wrote (full paths).
  std::vector<std::string> written;
};

class CLiveAnimation {
 public:
  /// The animation `anime` (as the command line names it), shown with
  /// `settings` (its messages are check's, filled by each read).
  CLiveAnimation(std::string anime, CPageSettings settings, CLiveSteps steps);

  /// Syncs the art, then reads the animation as preview does and asks
  /// check about it. Its messages (errors included) go to standard error,
  /// as preview's do.
  CLiveRead Read();

  /// The model of a page that has no animation to show yet.
  std::string EmptyModel() const;

 private:
  const std::string m_strAnime;
  CPageSettings m_settings;
  const CLiveSteps m_steps;
  // What the last read watched: kept while the TAF itself cannot be read,
  // so that the files it names are still seen.
  std::vector<std::string> m_watched;
};
