// The stand-in for the Windows registry behind the configuration store's
// registry kind (which this program never selects): a small key-value file
// that keeps the registry's key layout. A value's full key path is the
// registry key, a backslash and the value's name, for example
// "岚川软件\岚川·正则表达式助手\主界面\选择框多行模式".
//
// File format, GB18030: one line per value, the key path, "=", the value,
// LF; "%", "=", CR and LF inside either are written as %25, %3D, %0D, %0A.
// Lines that are not in this form are skipped. The file is rewritten whole
// and atomically at every write.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace lcr {

class RegistryStandIn {
public:
    explicit RegistryStandIn(std::filesystem::path file) : m_file(std::move(file)) {}

    // The value's text, nothing when it does not exist or cannot be read.
    std::optional<std::u16string> read(std::u16string_view keyPath) const;
    // Creates or replaces the value; false when the file could not be written.
    bool write(std::u16string_view keyPath, std::u16string_view value) const;

    const std::filesystem::path& file() const { return m_file; }

private:
    std::filesystem::path m_file;
};

}  // namespace lcr
