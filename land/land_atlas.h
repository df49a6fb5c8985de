// Which GSHHG shorelines this machine has, the one fit for a scale, and the masks of those in use.
//
// The files are looked for, resolution by resolution, in /usr/share/gmt-gshhg (the Debian packages
// gmt-gshhg-low, -high and -full), then /usr/share/gmt/coast (the Debian package gmt-common, which
// the program gmt brings, with all five resolutions); the first folder holding a resolution's
// file gives it. The environment variable VESTRAND_GSHHG_DIR, when set, names the folders to look
// in instead (separated by ':'; set and empty: none).
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "gshhg_file.h"
#include "land_mask.h"

namespace vestrand::land {

class Atlas {
 public:
  // Looks for the files in `folders`, in order.
  explicit Atlas(std::vector<std::string> folders);

  // The Debian folders, or those of the environment variable.
  static std::vector<std::string> standardFolders();
  // One atlas of the standard folders for the whole program, made on first use.
  static const Atlas& standard();

  const std::vector<std::string>& folders() const { return folders_; }
  // The path of a resolution's file, empty when no folder holds a readable one.
  const std::string& file(Resolution r) const;
  bool installed(Resolution r) const { return !file(r).empty(); }
  std::vector<Resolution> installedResolutions() const;

  // The resolution fit to show features of `detailNm` nautical miles: the coarsest whose
  // tolerance is within the detail, or the finest installed coarser than that when it is
  // missing, or else the coarsest installed finer. Nothing when none is installed.
  // @param[in] detailNm the smallest distance that matters, >= 0: two pixels of a picture, or a
  //   400th of an area's width; 0 asks for the finest installed
  std::optional<Resolution> choose(double detailNm) const;

  // The mask of a resolution, opened on first use and kept while the atlas lives.
  // @throws DataError when the resolution is not installed or its file cannot be read
  std::shared_ptr<const LandMask> mask(Resolution r) const;

 private:
  std::vector<std::string> folders_;
  std::vector<std::string> files_;  // by resolution
  mutable std::mutex opening_;
  mutable std::map<Resolution, std::shared_ptr<const LandMask>> masks_;
};

// The smallest distance that matters for drawing an area `extentNm` wide: a 400th of it, two
// pixels of a picture 800 pixels wide. Passed to Atlas::choose.
double detailForExtent(double extentNm);

}  // namespace vestrand::land
