#include "common/config_file.h"

#include "common/conversion.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/ini_file.h"

namespace kv {

std::string ConfigurationFileFor(std::string_view programFile) {
    std::string name = UpperCase(programFile);
    const size_t sep = name.rfind('/');
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && (sep == std::string::npos || dot > sep))
        name.erase(dot);
    return name + ".KVC";
}

Tcfg Tcfg::Create() {
    return CreateFile(ConfigurationFileFor(platform::files::programFile()));
}

Tcfg Tcfg::CreateFile(std::string_view name) {
    Tcfg cfg;
    cfg.diskName_ = Trim(name);
    if (ExtractFilePath(cfg.diskName_).empty())
        cfg.diskName_ = platform::files::programFolder() + cfg.diskName_;
    cfg.FileName = UpperCase(cfg.diskName_);
    cfg.Section = FileNameWithoutExtension(ExtractFileName(cfg.FileName));
    return cfg;
}

void Tcfg::SetSection(std::string_view name) {
    Section = UpperCase(name);
}

void Tcfg::WriteValue(std::string_view section, std::string_view key, std::string_view value) {
    try {
        platform::ini::writeValue(diskName_, section, key, Trim(UpperCase(value)));
    } catch (const platform::Error&) {
        throw platform::Error("Unable to write to " + FileName);
    }
}

std::string Tcfg::ReadValue(std::string_view section, std::string_view key) const {
    return UpperCase(platform::ini::readValue(diskName_, section, key));
}

std::int32_t Tcfg::ReadSectionInteger(std::string_view section, std::string_view key) const {
    const std::string text = ReadValue(UpperCase(section), UpperCase(key));
    return text.empty() ? 0 : StrToInt(text);
}

bool Tcfg::ReadSectionBool(std::string_view section, std::string_view key) const {
    return ReadValue(UpperCase(section), UpperCase(key)) == "YES";
}

std::string Tcfg::ReadSectionString(std::string_view section, std::string_view key) const {
    return ReadValue(UpperCase(section), UpperCase(key));
}

void Tcfg::WriteSectionInteger(std::string_view section, std::string_view key, std::int32_t n) {
    WriteValue(UpperCase(section), UpperCase(key), std::to_string(n));
}

void Tcfg::WriteSectionBool(std::string_view section, std::string_view key, bool b) {
    WriteValue(UpperCase(section), UpperCase(key), b ? "YES" : "NO");
}

void Tcfg::WriteSectionString(std::string_view section, std::string_view key, std::string_view s) {
    WriteValue(UpperCase(section), UpperCase(key), s);
}

std::vector<std::string> Tcfg::ReadKeyNames() const {
    std::vector<std::string> keys = platform::ini::keyNames(diskName_, Section);
    for (std::string& key : keys)
        key = UpperCase(key);
    return keys;
}

std::int32_t Tcfg::ReadInteger(std::string_view key) const {
    return ReadSectionInteger(Section, key);
}
bool Tcfg::ReadBool(std::string_view key) const {
    return ReadSectionBool(Section, key);
}
std::string Tcfg::ReadString(std::string_view key) const {
    return ReadSectionString(Section, key);
}
void Tcfg::WriteInteger(std::string_view key, std::int32_t n) {
    WriteSectionInteger(Section, key, n);
}
void Tcfg::WriteBool(std::string_view key, bool b) {
    WriteSectionBool(Section, key, b);
}
void Tcfg::WriteString(std::string_view key, std::string_view s) {
    WriteSectionString(Section, key, s);
}

void TcfgSave::WriteInteger(std::string_view key, std::int32_t n) {
    WriteString(key, std::to_string(n));
}

void TcfgSave::WriteBool(std::string_view key, bool b) {
    WriteString(key, b ? "YES" : "NO");
}

void TcfgSave::WriteString(std::string_view key, std::string_view s) {
    entries_.push_back({UpperCase(key), Trim(UpperCase(s))});
}

void TcfgSave::Commit() const {
    try {
        platform::ini::writeValues(
            cfg_.diskName_, cfg_.Section, entries_,
            base_ == Base::Fresh ? platform::ini::Keep::Nothing : platform::ini::Keep::OtherLines);
    } catch (const platform::Error&) {
        throw platform::Error("Unable to write to " + cfg_.FileName);
    }
}

}  // namespace kv
