// Program text between the core (std::u16string) and Qt (QString): both are
// UTF-16, so crossing is a copy of code units, or no copy for a view.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace lcr {

// A view of a QString's code units, valid while the QString lives unchanged.
inline std::u16string_view viewOf(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

inline std::u16string toU16(const QString& s) {
    return std::u16string(viewOf(s));
}

inline QString toQString(std::u16string_view s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

}  // namespace lcr
