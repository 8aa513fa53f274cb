#include "zip/base/DosDateTime.h"

#include <algorithm>

namespace kd {

namespace {

struct DosFields {
    int year, month, day, hour, minute, second;
};

DosFields unpack(std::uint32_t v) {
    const std::uint32_t date = v >> 16, time = v & 0xFFFF;
    return {static_cast<int>(date >> 9) + 1980, static_cast<int>((date >> 5) & 15),
            static_cast<int>(date & 31),        static_cast<int>(time >> 11),
            static_cast<int>((time >> 5) & 63), static_cast<int>(time & 31) * 2};
}

std::uint32_t pack(const DosFields& f) {
    const auto date = static_cast<std::uint32_t>(((f.year - 1980) << 9) | (f.month << 5) | f.day);
    const auto time = static_cast<std::uint32_t>((f.hour << 11) | (f.minute << 5) | (f.second / 2));
    return date << 16 | time;
}

std::uint32_t packLimited(DosFields f) {
    if (f.year < 1980)
        return pack({1980, 1, 1, 0, 0, 0});
    if (f.year > 2107)
        return pack({2107, 12, 31, 23, 59, 58});
    return pack(f);
}

} // namespace

std::uint32_t DosDateTimeClamp(std::uint32_t value) {
    const DosFields f = unpack(value);
    const DosFields c{std::clamp(f.year, 1980, 2099), std::clamp(f.month, 1, 12),
                      std::clamp(f.day, 1, 31),       std::min(f.hour, 23),
                      std::min(f.minute, 59),         std::min(f.second, 58)};
    const bool changed = c.year != f.year || c.month != f.month || c.day != f.day ||
                         c.hour != f.hour || c.minute != f.minute || c.second != f.second;
    return changed ? pack(c) : value;
}

std::optional<TDateTime> DosDateTimeToDateTime(std::uint32_t value) {
    const DosFields f = unpack(value);
    if (!isValidDate(f.year, f.month, f.day) || f.hour > 23 || f.minute > 59 || f.second > 59)
        return std::nullopt;
    return encodeDateTime({f.year, f.month, f.day, f.hour, f.minute, f.second, 0});
}

std::uint32_t DateTimeToDosDateTime(TDateTime value) {
    const DateParts p = decodeDateTime(value);
    return packLimited({p.year, p.month, p.day, p.hour, p.minute, p.second});
}

namespace {

std::uint32_t packLocal(bool converted, const LocalFields& f) {
    if (!converted)
        return pack({1980, 1, 1, 0, 0, 0});
    return packLimited({f.year, f.month, f.day, f.hour, f.minute, std::min(f.second, 59)});
}

} // namespace

std::uint32_t UnixTimeToDosDateTime(std::time_t value) {
    LocalFields fields;
    return packLocal(LocalTimeOf(value, fields), fields);
}

std::uint32_t UnixTimeToDosDateTime(std::time_t value, LocalTimeCache& cache) {
    LocalFields fields;
    return packLocal(cache.Convert(value, fields), fields);
}

} // namespace kd
