// Where the colour databases are: the Pantone recipes among the bundle's resources (one file per
// byte order) and the user's own database in the Preferences folder, which is made when missing
// and set aside when it cannot be read.
#pragma once

#include <string>

class MKRX_ColorDatabaseFiles {
public:
  enum UserDatabaseOutcome {
    kUserDatabaseLoaded,
    kUserDatabaseCreated,
    // An unreadable file was renamed (kSetAsideSuffix appended) and an empty one started, so
    // that the next saved colour does not overwrite what it still holds.
    kUserDatabaseSetAside,
  };

  static constexpr const char* kUserDatabaseFilename = "com.nolt.krx.colordb";
  static constexpr const char* kSetAsideSuffix = ".unreadable";

  static bool IsLittleEndian();
  // "PantoneLE.colordb" on a little-endian processor, "Pantone.colordb" otherwise.
  static const char* PantoneResourceName();
  // The POSIX path of the bundle's Pantone database; empty when the bundle lacks it.
  static std::string PantonePath();
  // The user database's POSIX path in the user's Preferences folder (not created); empty when
  // there is no such folder.
  static std::string UserDatabasePath();
  // Makes the database at path the user's database, creating it empty when there is none.
  static UserDatabaseOutcome OpenUserDatabase(std::string const& path);

  MKRX_ColorDatabaseFiles() = delete;
};
