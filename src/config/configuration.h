#pragma once
// Loading the form from a configuration file and saving it into one.
//
// A load reads the file once and takes all 242 values from it; a save reads
// the file once, applies the 242 updates in table order in memory (the bytes
// come out exactly as 242 single private-profile writes would leave them)
// and replaces the file in one atomic step. Failures are silent, as the
// window shows none: a file that cannot be read loads like an empty one, and
// a save that cannot write leaves the old file as it was.

#include "config/config_entries.h"
#include "config/form.h"
#include "config/profile_file.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvenix {

// The form as the file at path gives it. A missing or unreadable file, a
// folder or bytes that are no INI file give every text empty and every
// combo box its first item.
FormSnapshot loadConfiguration(const std::filesystem::path& path);

// Writes the 242 values of form into the file at path, keeping every other
// line of an existing file. False when nothing was written.
bool saveConfiguration(const std::filesystem::path& path, const FormSnapshot& form);

// The two halves of the above on a document in memory.
FormSnapshot formFromProfile(const ProfileFile& file);
void writeFormToProfile(ProfileFile& file, const FormSnapshot& form);

// The value an entry has in the file for this form: a text as it stands, a
// combo selection as signed decimal ("-1" for none).
std::string configValue(const FormSnapshot& form, const ConfigEntry& entry);

// Puts a value read from the file into the entry's control.
void setConfigValue(FormSnapshot& form, const ConfigEntry& entry, std::string_view value);

// The selection a combo box of itemCount items takes for a stored index:
// the leading integer of the text (full-width forms allowed, no number is
// 0), clamped so that past the end gives the last item and -1 or lower
// gives no selection (-1). A box without items stays without a selection.
int selectionFromIndexText(std::string_view value, int itemCount);

// One value of the file at path, the way a single GetPrivateProfileStringA
// call reads it ("" for anything missing).
std::string readProfileString(const std::filesystem::path& path, std::string_view section,
                              std::string_view key);

// One value written into the file at path, the way a single
// WritePrivateProfileStringA call writes it; the file is replaced
// atomically. False when the file could not be written.
bool writeProfileString(const std::filesystem::path& path, std::string_view section,
                        std::string_view key, std::string_view value);

} // namespace tarvenix
