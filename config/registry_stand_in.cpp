#include "config/registry_stand_in.h"

#include <map>

#include "config/document_file.h"
#include "text/gb18030.h"

namespace lcr {

namespace {

std::string escape(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        switch (c) {
            case '%':
                out += "%25";
                break;
            case '=':
                out += "%3D";
                break;
            case '\r':
                out += "%0D";
                break;
            case '\n':
                out += "%0A";
                break;
            default:
                out += c;
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::optional<std::string> unescape(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '%') {
            out += bytes[i];
            continue;
        }
        const int high = i + 1 < bytes.size() ? hexValue(bytes[i + 1]) : -1;
        const int low = i + 2 < bytes.size() ? hexValue(bytes[i + 2]) : -1;
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

using Values = std::map<std::string, std::string>;

Values readValues(const std::filesystem::path& file) {
    Values values;
    const std::string content = readRegularFile(file, kMaxDocumentBytes).value_or(std::string());
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find('\n', pos);
        if (end == std::string::npos) {
            end = content.size();
        }
        const std::string_view line(content.data() + pos, end - pos);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            std::optional<std::string> key = unescape(line.substr(0, equals));
            std::optional<std::string> value = unescape(line.substr(equals + 1));
            if (key && value) {
                values.emplace(std::move(*key), std::move(*value));
            }
        }
        pos = end + 1;
    }
    return values;
}

}  // namespace

std::optional<std::u16string> RegistryStandIn::read(std::u16string_view keyPath) const {
    const Values values = readValues(m_file);
    const auto it = values.find(encodeGb18030(keyPath));
    if (it == values.end()) {
        return std::nullopt;
    }
    return decodeGb18030(it->second);
}

bool RegistryStandIn::write(std::u16string_view keyPath, std::u16string_view value) const {
    Values values = readValues(m_file);
    values[encodeGb18030(keyPath)] = encodeGb18030(value);
    std::string content;
    for (const auto& [key, stored] : values) {
        content += escape(key) + "=" + escape(stored) + "\n";
    }
    return writeFileAtomically(m_file, content) == FileStatus::Ok;
}

}  // namespace lcr
