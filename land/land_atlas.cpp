#include "land_atlas.h"

#include <unistd.h>

#include <cstdlib>

namespace vestrand::land {

Atlas::Atlas(std::vector<std::string> folders) : folders_(std::move(folders)) {
  for (Resolution r : kResolutions) {
    files_.emplace_back();
    for (const std::string& folder : folders_) {
      if (folder.empty()) continue;
      const std::string path = folder + (folder.back() == '/' ? "" : "/") + shoreFileName(r);
      if (access(path.c_str(), R_OK) == 0) {
        files_.back() = path;
        break;
      }
    }
  }
}

std::vector<std::string> Atlas::standardFolders() {
  std::vector<std::string> folders;
  const char* named = std::getenv("VESTRAND_GSHHG_DIR");
  if (named == nullptr) return {"/usr/share/gmt-gshhg", "/usr/share/gmt/coast"};
  const std::string list = named;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t end = std::min(list.find(':', start), list.size());
    if (end > start) folders.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return folders;
}

const Atlas& Atlas::standard() {
  static const Atlas atlas(standardFolders());
  return atlas;
}

const std::string& Atlas::file(Resolution r) const {
  return files_[static_cast<std::size_t>(r)];
}

std::vector<Resolution> Atlas::installedResolutions() const {
  std::vector<Resolution> found;
  for (Resolution r : kResolutions) {
    if (installed(r)) found.push_back(r);
  }
  return found;
}

std::optional<Resolution> Atlas::choose(double detailNm) const {
  // Coarsest first: the wanted one is the coarsest within the detail, full when none is.
  std::size_t wanted = kResolutions.size() - 1;
  for (std::size_t i = 0; i < kResolutions.size(); ++i) {
    if (resolutionToleranceNm(kResolutions[i]) <= detailNm) {
      wanted = i;
      break;
    }
  }
  for (std::size_t i = wanted + 1; i-- > 0;) {
    if (installed(kResolutions[i])) return kResolutions[i];
  }
  for (std::size_t i = wanted + 1; i < kResolutions.size(); ++i) {
    if (installed(kResolutions[i])) return kResolutions[i];
  }
  return std::nullopt;
}

std::shared_ptr<const LandMask> Atlas::mask(Resolution r) const {
  const std::lock_guard lock(opening_);
  auto& mask = masks_[r];
  if (!mask) {
    if (!installed(r)) {
      throw DataError(std::string("the ") + resolutionName(r) + " resolution shorelines (" +
                      shoreFileName(r) + ") are not installed: install the Debian package " +
                      resolutionPackage(r));
    }
    mask = std::make_shared<const LandMask>(r, file(r));
  }
  return mask;
}

double detailForExtent(double extentNm) {
  return extentNm / 400.0;
}

}  // namespace vestrand::land
