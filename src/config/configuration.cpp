#include "configuration.h"

#include "config/atomic_file.h"
#include "link/gbk_text.h"

#include <cstddef>

namespace tarvenix {

namespace {

// Learning rows are numbered from 1 in the table, from 0 in the form.
std::size_t rowIndex(const ConfigEntry& entry)
{
    return static_cast<std::size_t>(entry.row - 1);
}

// The document a read starts from: the file's bytes, or an empty document
// for anything that cannot be read.
ProfileFile profileAt(const std::filesystem::path& path)
{
    const FileBytes file = readFileBytes(path);
    return ProfileFile(file.bytes);
}

// Applies change to the document of the file at path and writes it back in
// one step. A file that exists but cannot be read is not overwritten with
// what would be a fresh document.
template <typename Change>
bool updateFile(const std::filesystem::path& path, Change change)
{
    const FileBytes file = readFileBytes(path);
    if (file.status == FileBytes::Status::failed)
        return false;
    ProfileFile profile(file.bytes);
    change(profile);
    return replaceFileAtomically(path, profile.bytes());
}

} // namespace

int selectionFromIndexText(std::string_view value, int itemCount)
{
    if (itemCount <= 0)
        return -1;
    const int n = parseLeadingInt(value);
    if (n < 0)
        return -1;
    return n < itemCount ? n : itemCount - 1;
}

std::string configValue(const FormSnapshot& form, const ConfigEntry& entry)
{
    switch (entry.control) {
    case ConfigControl::portEdit:
        return form.portText;
    case ConfigControl::baudEdit:
        return form.baudText;
    case ConfigControl::keyRowDataEdit:
        return form.keyRows[rowIndex(entry)].dataText;
    case ConfigControl::keyRowKeyCombo:
        return std::to_string(form.keyRows[rowIndex(entry)].keyIndex);
    case ConfigControl::keyRowStateCombo:
        return std::to_string(form.keyRows[rowIndex(entry)].stateIndex);
    case ConfigControl::voiceRowPhraseCombo:
        return std::to_string(form.voiceRows[rowIndex(entry)].phraseIndex);
    case ConfigControl::voiceRowDataEdit:
        return form.voiceRows[rowIndex(entry)].dataText;
    }
    return {};
}

void setConfigValue(FormSnapshot& form, const ConfigEntry& entry, std::string_view value)
{
    const int selection = selectionFromIndexText(value, choiceCount(entry.control));
    switch (entry.control) {
    case ConfigControl::portEdit:
        form.portText = value;
        break;
    case ConfigControl::baudEdit:
        form.baudText = value;
        break;
    case ConfigControl::keyRowDataEdit:
        form.keyRows[rowIndex(entry)].dataText = value;
        break;
    case ConfigControl::keyRowKeyCombo:
        form.keyRows[rowIndex(entry)].keyIndex = selection;
        break;
    case ConfigControl::keyRowStateCombo:
        form.keyRows[rowIndex(entry)].stateIndex = selection;
        break;
    case ConfigControl::voiceRowPhraseCombo:
        form.voiceRows[rowIndex(entry)].phraseIndex = selection;
        break;
    case ConfigControl::voiceRowDataEdit:
        form.voiceRows[rowIndex(entry)].dataText = value;
        break;
    }
}

FormSnapshot formFromProfile(const ProfileFile& file)
{
    FormSnapshot form;
    for (const ConfigEntry& entry : configEntries())
        setConfigValue(form, entry, file.read(entry.section, entry.key));
    return form;
}

void writeFormToProfile(ProfileFile& file, const FormSnapshot& form)
{
    std::vector<std::string> values;
    values.reserve(configEntries().size());
    std::vector<ProfileFile::Update> updates;
    updates.reserve(configEntries().size());
    for (const ConfigEntry& entry : configEntries())
        values.push_back(configValue(form, entry));
    for (std::size_t i = 0; i < values.size(); ++i)
        updates.push_back({configEntries()[i].section, configEntries()[i].key, values[i]});
    file.writeAll(updates);
}

FormSnapshot loadConfiguration(const std::filesystem::path& path)
{
    return formFromProfile(profileAt(path));
}

bool saveConfiguration(const std::filesystem::path& path, const FormSnapshot& form)
{
    return updateFile(path, [&form](ProfileFile& profile) { writeFormToProfile(profile, form); });
}

std::string readProfileString(const std::filesystem::path& path, std::string_view section,
                              std::string_view key)
{
    return profileAt(path).read(section, key);
}

bool writeProfileString(const std::filesystem::path& path, std::string_view section,
                        std::string_view key, std::string_view value)
{
    return updateFile(path, [&](ProfileFile& profile) { profile.write(section, key, value); });
}

} // namespace tarvenix
