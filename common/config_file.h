#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ini_file.h"

// A program's settings file, reached one value at a time: section and key names and every
// stored value are upper case, values are stored trimmed, booleans are "YES" and "NO".
// The object holds no open file; each read or write opens the file and closes it again.
namespace kv {

class Tcfg {
  public:
    // Names the file after the running program: its path in upper case with ".KVC" in place
    // of its extension (appended when the program file has none).
    static Tcfg Create();
    static Tcfg CreateFile(std::string_view name);

    void SetSection(std::string_view name);

    // Base access, section and key used exactly as given.
    void WriteValue(std::string_view section, std::string_view key, std::string_view value);
    std::string ReadValue(std::string_view section, std::string_view key) const;

    std::int32_t ReadInteger(std::string_view key) const;
    std::int32_t ReadSectionInteger(std::string_view section, std::string_view key) const;
    bool ReadBool(std::string_view key) const;
    bool ReadSectionBool(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view key) const;
    std::string ReadSectionString(std::string_view section, std::string_view key) const;

    // The keys of the selected section, upper case, in the file's order.
    std::vector<std::string> ReadKeyNames() const;

    void WriteInteger(std::string_view key, std::int32_t n);
    void WriteSectionInteger(std::string_view section, std::string_view key, std::int32_t n);
    void WriteBool(std::string_view key, bool b);
    void WriteSectionBool(std::string_view section, std::string_view key, bool b);
    void WriteString(std::string_view key, std::string_view s);
    void WriteSectionString(std::string_view section, std::string_view key, std::string_view s);

    std::string FileName;  // full path, upper case
    std::string Section;   // upper case

  private:
    friend class TcfgSave;
    Tcfg() = default;
    // The name as given, for the disk: an existing file is found whatever the case of its
    // name, and keeps that name; a new one is created as the program spells it.
    std::string diskName_;
};

// The writes of one save of a Tcfg's section, gathered and then written by Commit in one atomic
// replace of the whole file, so the file holds all of them or none. Values are stored as the
// single writes store them. Fresh builds the file from these keys alone, as a save that deleted
// the old file first would; Update keeps every other line of the file.
class TcfgSave {
  public:
    enum class Base { Update, Fresh };
    TcfgSave(const Tcfg& cfg, Base base) : cfg_(cfg), base_(base) {}

    void WriteInteger(std::string_view key, std::int32_t n);
    void WriteBool(std::string_view key, bool b);
    void WriteString(std::string_view key, std::string_view s);

    // Raises platform::Error "Unable to write to <FileName>"; the file is then as it was.
    void Commit() const;

  private:
    Tcfg cfg_;
    Base base_;
    std::vector<platform::ini::Entry> entries_;
};

// The file name Tcfg::Create derives from a program file.
std::string ConfigurationFileFor(std::string_view programFile);

}  // namespace kv
