// The wind and the current that move a drifting object, wherever and whenever the drift asks:
// from forecast files, from constant values, or from files with constants outside their extent.
//
// The drift integrates its datums step by step and the simulation moves every particle at every
// step; both ask Forcing::sample. A constant wind or current and gridded fields sit behind the
// same call: a quantity without files gives its constant; one with files interpolates them
// (field.h) and, outside every file's extent, either reports Source::Outside (the caller refuses
// with outsideText) or gives the constant, as the outside policy says. Sampling allocates nothing,
// calls nothing virtual and is safe from many threads at once.
//
// Units: positions in degrees (north and east positive), times in seconds since
// 1970-01-01T00:00:00 UTC (field_time.h), components in m/s toward east (u) and north (v).
#pragma once

#include <string>
#include <vector>

#include "field.h"

namespace vestrand::fields {

// Reads a forecast file of either kind, told apart by its first bytes: NetCDF (the classic
// formats, netCDF-4/HDF5) or GRIB.
// @throw FieldFileError naming the file and the reason; a file that is neither says so
std::vector<Field> readFieldFile(const std::string& path);

// Where a sample's wind or current came from.
enum class Source : unsigned char {
  None,      // no file and no constant for this quantity
  Field,     // interpolated from a file
  Constant,  // the constant: no file was given, or outside the files with OutsidePolicy::Constant
  Missing,   // inside a file, where every grid value around is missing (land for a current)
  Outside,   // outside every file's extent or times, with OutsidePolicy::Refuse
};

struct ForcingSample {
  bool hasWind = false;  // windU and windV hold a value (Source Field or Constant)
  double windU = 0.0, windV = 0.0;
  bool hasCurrent = false;
  double curU = 0.0, curV = 0.0;
  Source windSource = Source::None;
  Source currentSource = Source::None;
};

// What to do outside the files' extent: refuse (the default), or take the constant there.
enum class OutsidePolicy { Refuse, Constant };

class Forcing {
 public:
  // The constants, m/s toward east and north; without one a quantity has none.
  void setConstantWind(double u, double v);
  void setConstantCurrent(double u, double v);
  void setOutsidePolicy(OutsidePolicy policy) { policy_ = policy; }

  // Adds a field to the wind's or the current's files, as its quantity says (see FieldSet for
  // how files combine). @throw FieldFileError beyond the memory bound
  void add(Field field);

  const FieldSet& windFields() const { return wind_.fields; }
  const FieldSet& currentFields() const { return current_.fields; }
  OutsidePolicy outsidePolicy() const { return policy_; }

  // The wind and current at a position and time.
  // @param[in] lat degrees, -90..90; lon degrees, any value; time seconds since the epoch
  ForcingSample sample(double lat, double lon, double time) const noexcept {
    ForcingSample s;
    s.windSource = wind_.sample(lat, lon, time, policy_, s.windU, s.windV);
    s.hasWind = s.windSource == Source::Field || s.windSource == Source::Constant;
    s.currentSource = current_.sample(lat, lon, time, policy_, s.curU, s.curV);
    s.hasCurrent = s.currentSource == Source::Field || s.currentSource == Source::Constant;
    return s;
  }

  // The message for a sample whose wind or current is Source::Outside: the position, the time,
  // every file of the quantity with its extent and times.
  std::string outsideText(Quantity quantity, double lat, double lon, double time) const;

 private:
  struct Part {
    FieldSet fields;
    bool hasConstant = false;
    double u = 0.0, v = 0.0;

    Source sample(double lat, double lon, double time, OutsidePolicy policy, double& su,
                  double& sv) const noexcept {
      if (!fields.empty()) {
        switch (fields.sample(lat, lon, time, su, sv)) {
          case Cover::Value:
            return Source::Field;
          case Cover::Missing:
            return Source::Missing;
          case Cover::Outside:
            if (policy == OutsidePolicy::Refuse || !hasConstant) return Source::Outside;
            break;
        }
      }
      if (!hasConstant) return Source::None;
      su = u;
      sv = v;
      return Source::Constant;
    }
  };
  Part wind_, current_;
  OutsidePolicy policy_ = OutsidePolicy::Refuse;
};

// Reads the files given for the wind and for the current into one Forcing, each file once even
// when named twice, in one list or in both; a wind file's currents and a current file's winds are
// left aside (a file named in both lists gives each its own).
// @throw FieldFileError naming the file: it cannot be read (readFieldFile), or a file given for
//   the wind holds no wind (for the current, no current)
Forcing readForcing(const std::vector<std::string>& windFiles,
                    const std::vector<std::string>& currentFiles);

// Helpers for people and reports.
inline constexpr double kMetresPerSecondInKnots = 1852.0 / 3600.0;  // one knot, m/s
// The direction a vector points toward, degrees true in [0, 360); 0 for a zero vector.
double towardDegrees(double u, double v);
// The direction a wind blows from, degrees true in [0, 360); 0 for calm.
double fromDegrees(double u, double v);
// The components of a motion toward `degrees` true at `knots`, m/s.
void componentsOf(double degrees, double knots, double& u, double& v);

}  // namespace vestrand::fields
