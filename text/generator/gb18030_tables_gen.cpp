// Writes the GB18030 mapping tables declared in text/gb18030_tables.h as a
// C++ source file. Run at build time:
//
//   lcr_gb18030_tables_gen OUTPUT.cpp
//
// The mapping is the one of the system's iconv ("GB18030" <-> "UTF-16LE"),
// asked for every two-byte code, every four-byte code of the Basic
// Multilingual Plane and every BMP character. glibc's mapping is not quite
// one-to-one: a few private use characters have no code (their old two-byte
// codes now give real characters), some four-byte codes are rejected, and a
// few supplementary characters have a two-byte code as well as their
// four-byte one. Those left-over codes are handed to the left-over private
// use characters, so that the final mapping is a one-to-one correspondence
// between all Unicode scalar values and the valid byte sequences; the
// program's text then survives any decode/encode round trip.
//
// The pairing gives a private use character the code that used to belong to
// the character now sitting on its old two-byte code (the rule GB18030-2022
// follows for the same characters): the left-over codes are ordered by the
// two-byte code of their former character, the private use characters by
// code point, as the private use characters were once laid over the two-byte
// codes in that order.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t kFourByteBmpCount = 39420;
constexpr std::uint32_t kSupplementaryBase = 189000;

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

class Converter {
public:
    static std::optional<Converter> open(const char* to, const char* from) {
        iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            return std::nullopt;
        }
        return Converter(IconvHandle(cd));
    }

    // The whole of `input` converted, or nothing when iconv rejects any of it.
    std::optional<std::string> convert(std::string_view input) const {
        iconv(m_cd.get(), nullptr, nullptr, nullptr, nullptr);
        std::string out(16, '\0');
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* dst = out.data();
        std::size_t outLeft = out.size();
        if (iconv(m_cd.get(), &in, &inLeft, &dst, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0 ||
            iconv(m_cd.get(), nullptr, nullptr, &dst, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    explicit Converter(IconvHandle cd) : m_cd(std::move(cd)) {}
    IconvHandle m_cd;
};

// Byte codes are handled as numbers with the first byte highest: A1A1,
// 81308130.
std::uint32_t fourByteCode(std::uint32_t linear) {
    return (0x81 + linear / 12600) << 24 | (0x30 + linear / 1260 % 10) << 16 |
           (0x81 + linear / 10 % 126) << 8 | (0x30 + linear % 10);
}

std::uint32_t linearIndex(std::uint32_t code) {
    return ((code >> 24) - 0x81) * 12600 + ((code >> 16 & 0xFF) - 0x30) * 1260 +
           ((code >> 8 & 0xFF) - 0x81) * 10 + ((code & 0xFF) - 0x30);
}

bool isFourByte(std::uint32_t code) {
    return code > 0xFFFF;
}

std::string codeBytes(std::uint32_t code) {
    std::string bytes;
    for (int shift = isFourByte(code) ? 24 : 8; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<char>(code >> shift & 0xFF));
    }
    return bytes;
}

std::optional<std::uint32_t> codeFromBytes(const std::string& bytes) {
    if (bytes.size() != 2 && bytes.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t code = 0;
    for (char c : bytes) {
        code = code << 8 | static_cast<unsigned char>(c);
    }
    return code;
}

std::string utf16le(char32_t cp) {
    std::string out;
    auto put = [&out](std::uint32_t unit) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    };
    if (cp < 0x10000) {
        put(cp);
    } else {
        put(0xD800 + ((cp - 0x10000) >> 10));
        put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
    return out;
}

// The one scalar value in a UTF-16LE string, if it holds exactly one.
std::optional<char32_t> singleScalar(const std::string& bytes) {
    auto unit = [&bytes](std::size_t k) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * k])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * k + 1])) << 8;
    };
    if (bytes.size() == 2 && (unit(0) < 0xD800 || unit(0) > 0xDFFF)) {
        return unit(0);
    }
    if (bytes.size() == 4 && unit(0) >= 0xD800 && unit(0) < 0xDC00 && unit(1) >= 0xDC00 &&
        unit(1) < 0xE000) {
        return 0x10000 + ((unit(0) - 0xD800) << 10) + (unit(1) - 0xDC00);
    }
    return std::nullopt;
}

bool isBmpScalar(char32_t cp) {
    return cp < 0x10000 && (cp < 0xD800 || cp > 0xDFFF);
}

struct Mapping {
    std::map<std::uint32_t, char32_t> decode;  // code -> character
    std::map<char32_t, std::uint32_t> encode;  // character -> code
};

class TableBuilder {
public:
    TableBuilder(const Converter& toUtf16, const Converter& toGb)
        : m_toUtf16(toUtf16), m_toGb(toGb) {}

    bool build(Mapping& result) {
        askIconv();
        keepConsistentPairs(result);
        return pairLeftOvers(result) && verify(result);
    }

private:
    void askIconv() {
        for (std::uint32_t lead = 0x81; lead <= 0xFE; ++lead) {
            for (std::uint32_t trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail != 0x7F) {
                    addCode(lead << 8 | trail);
                }
            }
        }
        for (std::uint32_t linear = 0; linear < kFourByteBmpCount; ++linear) {
            addCode(fourByteCode(linear));
        }
        for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
            if (isBmpScalar(cp)) {
                addChar(cp);
            }
        }
        // A supplementary character with a two-byte code: its four-byte code
        // is part of the question too.
        std::vector<char32_t> supplementary;
        for (const auto& [code, cp] : m_iconvDecode) {
            if (cp >= 0x10000) {
                supplementary.push_back(cp);
            }
        }
        for (char32_t cp : supplementary) {
            addCode(fourByteCode(kSupplementaryBase + (cp - 0x10000)));
            addChar(cp);
        }
    }

    void addCode(std::uint32_t code) {
        m_codes.push_back(code);
        if (auto utf16 = m_toUtf16.convert(codeBytes(code))) {
            if (auto cp = singleScalar(*utf16)) {
                m_iconvDecode[code] = *cp;
            }
        }
    }

    void addChar(char32_t cp) {
        if (auto bytes = m_toGb.convert(utf16le(cp))) {
            if (auto code = codeFromBytes(*bytes)) {
                m_iconvEncode[cp] = *code;
            }
        }
    }

    // A code and a character belong together when iconv maps each to the
    // other.
    void keepConsistentPairs(Mapping& result) const {
        for (const auto& [code, cp] : m_iconvDecode) {
            auto it = m_iconvEncode.find(cp);
            if (it != m_iconvEncode.end() && it->second == code) {
                result.decode[code] = cp;
                result.encode[cp] = code;
            }
        }
    }

    // The character a left-over code stood for before it was given up.
    std::optional<char32_t> formerChar(std::uint32_t code, const Mapping& result) const {
        if (auto it = m_iconvDecode.find(code); it != m_iconvDecode.end()) {
            return it->second;
        }
        if (!isFourByte(code) || linearIndex(code) >= kFourByteBmpCount) {
            return std::nullopt;
        }
        // Four-byte BMP codes follow the code point order in runs; continue
        // the run of the nearest assigned code before this one.
        for (std::uint32_t linear = linearIndex(code); linear-- > 0;) {
            auto it = result.decode.find(fourByteCode(linear));
            if (it != result.decode.end()) {
                return it->second + (linearIndex(code) - linear);
            }
        }
        return std::nullopt;
    }

    bool pairLeftOvers(Mapping& result) const {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> freeCodes;  // (order key, code)
        for (std::uint32_t code : m_codes) {
            if (result.decode.count(code) != 0) {
                continue;
            }
            std::uint32_t key = code;
            if (auto former = formerChar(code, result)) {
                if (auto it = result.encode.find(*former); it != result.encode.end()) {
                    key = it->second;
                }
            }
            freeCodes.emplace_back(key, code);
        }
        std::sort(freeCodes.begin(), freeCodes.end());
        std::vector<char32_t> homeless;
        for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
            if (isBmpScalar(cp) && result.encode.count(cp) == 0) {
                homeless.push_back(cp);
            }
        }
        if (homeless.size() > freeCodes.size()) {
            std::fprintf(stderr, "gb18030 tables: %zu characters without a code, %zu free codes\n",
                         homeless.size(), freeCodes.size());
            return false;
        }
        for (std::size_t k = 0; k < homeless.size(); ++k) {
            result.decode[freeCodes[k].second] = homeless[k];
            result.encode[homeless[k]] = freeCodes[k].second;
        }
        return true;
    }

    // Every BMP scalar value has a code that gives it back, every code's
    // character has that code, and a four-byte code gives a character of its
    // own range: a BMP one below U+10000's code, otherwise the supplementary
    // character at its place or a BMP character that took the place over.
    static bool verify(const Mapping& result) {
        for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
            if (!isBmpScalar(cp)) {
                continue;
            }
            auto code = result.encode.find(cp);
            auto back = code == result.encode.end() ? result.decode.end()
                                                    : result.decode.find(code->second);
            if (back == result.decode.end() || back->second != cp) {
                std::fprintf(stderr, "gb18030 tables: U+%04X does not round-trip\n",
                             static_cast<unsigned>(cp));
                return false;
            }
        }
        for (const auto& [code, cp] : result.decode) {
            auto back = result.encode.find(cp);
            bool ok = back != result.encode.end() && back->second == code;
            if (isFourByte(code)) {
                std::uint32_t linear = linearIndex(code);
                ok = ok && (linear < kFourByteBmpCount
                                ? cp < 0x10000
                                : cp < 0x10000 || cp - 0x10000 == linear - kSupplementaryBase);
            }
            if (!ok) {
                std::fprintf(stderr, "gb18030 tables: code %08X does not round-trip\n", code);
                return false;
            }
        }
        return true;
    }

    const Converter& m_toUtf16;
    const Converter& m_toGb;
    std::vector<std::uint32_t> m_codes;
    std::map<std::uint32_t, char32_t> m_iconvDecode;
    std::map<char32_t, std::uint32_t> m_iconvEncode;
};

// Byte code to the table form: first byte in the lowest 8 bits.
std::uint32_t packFirstByteLow(std::uint32_t code) {
    if (!isFourByte(code)) {
        return (code >> 8) | (code & 0xFF) << 8;
    }
    return (code >> 24) | (code >> 8 & 0xFF00) | (code << 8 & 0xFF0000) | (code & 0xFF) << 24;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

class SourceWriter {
public:
    template <typename T>
    void array(const char* declaration, const std::vector<T>& values) {
        m_text += declaration;
        m_text += " = {";
        for (std::size_t k = 0; k < values.size(); ++k) {
            m_text += k % 12 == 0 ? "\n    " : " ";
            char buf[16];
            std::snprintf(buf, sizeof buf, "0x%X,", static_cast<unsigned>(values[k]));
            m_text += buf;
        }
        m_text += "\n};\n\n";
    }

    void line(const std::string& text) { m_text += text + "\n"; }

    bool writeTo(const std::string& path) const {
        std::string temporary = path + ".tmp";
        std::unique_ptr<FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
        if (!file || std::fwrite(m_text.data(), 1, m_text.size(), file.get()) != m_text.size() ||
            std::fclose(file.release()) != 0) {
            return false;
        }
        return std::rename(temporary.c_str(), path.c_str()) == 0;
    }

private:
    std::string m_text;
};

bool writeSource(const Mapping& mapping, const std::string& path) {
    std::vector<std::uint16_t> twoByte(0x8000, 0);
    std::vector<std::uint16_t> fourByteBmp(kFourByteBmpCount, 0);
    std::vector<std::uint32_t> encode(0x10000, 0);
    struct Exception {
        char32_t codePoint;
        std::uint32_t twoByteCode;
        char32_t fourByteChar;
    };
    std::vector<Exception> exceptions;

    for (std::uint32_t u = 0; u < 0x80; ++u) {
        encode[u] = u;
    }
    for (const auto& [code, cp] : mapping.decode) {
        if (!isFourByte(code)) {
            if (cp < 0x10000) {
                twoByte[code - 0x8000] = static_cast<std::uint16_t>(cp);
            } else {
                auto partner =
                    mapping.decode.find(fourByteCode(kSupplementaryBase + (cp - 0x10000)));
                exceptions.push_back(
                    {cp, code, partner == mapping.decode.end() ? 0 : partner->second});
            }
        } else if (linearIndex(code) < kFourByteBmpCount) {
            fourByteBmp[linearIndex(code)] = static_cast<std::uint16_t>(cp);
        }
        if (cp < 0x10000) {
            encode[cp] = packFirstByteLow(code);
        }
    }

    SourceWriter out;
    out.line("// Generated by text/generator/gb18030_tables_gen.cpp from the system's iconv.");
    out.line("// Do not edit.");
    out.line("#include \"text/gb18030_tables.h\"");
    out.line("");
    out.line("namespace lcr::gb18030 {");
    out.line("");
    out.array("const char16_t kTwoByteDecode[0x8000]", twoByte);
    out.array("const char16_t kFourByteBmpDecode[kFourByteBmpCount]", fourByteBmp);
    out.array("const std::uint32_t kEncode[0x10000]", encode);
    out.line("const SupplementaryTwoByte kSupplementaryTwoByte[] = {");
    for (const Exception& e : exceptions) {
        char buf[80];
        std::snprintf(buf, sizeof buf, "    {0x%X, 0x%X, 0x%X},",
                      static_cast<unsigned>(e.codePoint), e.twoByteCode,
                      static_cast<unsigned>(e.fourByteChar));
        out.line(buf);
    }
    if (exceptions.empty()) {
        out.line("    {0, 0, 0},");
    }
    out.line("};");
    out.line("const std::size_t kSupplementaryTwoByteCount = " + std::to_string(exceptions.size()) +
             ";");
    out.line("");
    out.line("}  // namespace lcr::gb18030");
    return out.writeTo(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    auto toUtf16 = Converter::open("UTF-16LE", "GB18030");
    auto toGb = Converter::open("GB18030", "UTF-16LE");
    if (!toUtf16 || !toGb) {
        std::fprintf(stderr, "gb18030 tables: iconv has no GB18030 converter\n");
        return 1;
    }
    Mapping mapping;
    if (!TableBuilder(*toUtf16, *toGb).build(mapping)) {
        return 1;
    }
    if (!writeSource(mapping, argv[1])) {
        std::fprintf(stderr, "gb18030 tables: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
